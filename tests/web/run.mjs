// Runs a program built for WebAssembly under node, as a native one runs:
//   node tests/web/run.mjs PROGRAM.wasm [ARGUMENT...]
// Standard input is read whole first; output goes out as the program writes
// it; the exit status is the program's. CTest and checker/check.cmake use it as
// the emulator for the WebAssembly build, through the host the page uses
// (web/wasi.mjs).
import { readFileSync, writeSync } from "node:fs";
import { runWasi } from "../../web/wasi.mjs";

const [file, ...rest] = process.argv.slice(2);
const module = new WebAssembly.Module(readFileSync(file));
let stdin;
try {
  stdin = readFileSync(0);
} catch {
  stdin = new Uint8Array(); // no standard input at all
}

function write(fd, bytes) {
  for (let at = 0; at < bytes.length;) {
    try {
      at += writeSync(fd, bytes, at);
    } catch (e) {
      if (e.code !== "EAGAIN")
        return false; // a full disk, a closed pipe
    }
  }
  return true;
}

try {
  process.exitCode = runWasi(module, { args: [file, ...rest], stdin, write }).status;
} catch (e) {
  writeSync(2, `${file}: crashed: ${e.message}\n`);
  process.exitCode = 134;
}
