// Makes the page that runs the programs in a browser: one self-contained HTML
// file with the programs built for WebAssembly, their sources, what programs.json
// says of them and every case, all taken from the project's own files, with its
// modules bundled in; and beside it, in clang/, the compiler that the page loads on
// the first compile of a student's version, pruned to what WebAssembly programs
// need and packed.
//   node web/make_page.mjs SOURCE_DIR WASM_DIR OUTPUT.html
// It needs web/node_modules (npm ci in web/).
import { readFileSync, readdirSync, existsSync, writeFileSync, mkdirSync, copyFileSync, rmSync } from "node:fs";
import { createHash } from "node:crypto";
import { pathToFileURL } from "node:url";
import { createRequire } from "node:module";
import { gzipSync } from "node:zlib";
import { execFile } from "node:child_process";
import { dirname, join } from "node:path";

const [source, wasmDir, output] = process.argv.slice(2);
const text = (path) => readFileSync(join(source, path), "utf8");
const base64 = (bytes) => Buffer.from(bytes).toString("base64");

// The programs, as programs.json describes them: what each does and shows, its main
// module and other modules, a sample input and, for a program that reads them, arguments.
const programs = JSON.parse(text("programs.json")).map((facts) => ({
  name: facts.name,
  about: facts.does,
  shows: facts.shows.replace(/`/g, ""),
  input: facts.input,
  args: facts.arguments ?? [],
  arguments: "arguments" in facts,
  modules: facts.modules ?? [], // the other modules the main module is linked with
  main: facts.main,
}));

const generatedBytes = [];
for (const p of programs) {
  // Its source files: the lesson (the main module) first, the other modules, their
  // headers, the reading header last, then a header it includes from another folder.
  const files = readdirSync(join(source, p.name)).filter((f) => /\.(cpp|h)$/.test(f)).sort();
  const rank = (f) => (f === p.main ? 0 : f === "read_input.h" ? 3 : f.endsWith(".cpp") ? 1 : 2);
  files.sort((x, y) => rank(x) - rank(y));
  p.sources = files.map((f) => ({ name: `${p.name}/${f}`, text: text(`${p.name}/${f}`) }));
  for (const [, include] of p.sources.map((s) => s.text).join("\n").matchAll(/#include "\.\.\/([^"]+)"/g))
    p.sources.push({ name: include, text: text(include) });
  delete p.main;
  p.code = readFileSync(join(wasmDir, `${p.name}.wasm`)).length; // its bytes in the page's `code`
  p.cases = [];
  // The generated cases, many and larger: their bytes travel in one stream of their own
  // (below), and here only their names, sizes and arguments.
  p.generated = [];
  const drawn = join(source, "checker/cases", p.name, "generated");
  if (existsSync(drawn)) {
    for (const out of readdirSync(drawn).filter((f) => f.endsWith(".out")).sort()) {
      const name = out.slice(0, -4);
      const file = (ending) => (existsSync(join(drawn, name + ending)) ? readFileSync(join(drawn, name + ending)) : Buffer.alloc(0));
      const [input, output, args] = [file(".in"), file(".out"), file(".args")];
      generatedBytes.push(input, output);
      p.generated.push({ name, sizes: [input.length, output.length],
                         args: args.length === 0 ? [] : args.toString("utf8").replace(/\n$/, "").split("\n") });
    }
  }
  for (const kind of ["behaviour", "own", "refusal"]) {
    const dir = join(source, "checker/cases", p.name, kind);
    if (!existsSync(dir))
      continue;
    for (const out of readdirSync(dir).filter((f) => f.endsWith(".out")).sort()) {
      const name = out.slice(0, -4);
      const file = (ending) => (existsSync(join(dir, name + ending)) ? readFileSync(join(dir, name + ending)) : null);
      const args = file(".args");
      p.cases.push({
        kind,
        name,
        in: base64(file(".in") ?? []),
        out: base64(file(".out")),
        err: base64(file(".err") ?? []),
        args: args === null || args.length === 0 ? [] : args.toString("utf8").replace(/\n$/, "").split("\n"),
        ...(file(".note") ? { note: file(".note").toString("utf8").split("\n")[0] } : {}),
      });
    }
  }
}

const modules = join(source, "web/node_modules");
if (!existsSync(join(modules, "esbuild")))
  throw new Error(`${modules}: missing; run npm ci in web/ first`);
const require = createRequire(join(source, "web/package.json"));
const esbuild = require("esbuild");
// The page's own modules, bundled: the controller (app.mjs and what it imports), run as
// the page opens; the editor (CodeMirror), loaded once the first screen is painted; and
// the worker that runs the programs (run-worker.mjs, with the WASI host).
const bundle = (entry, globalName) => esbuild.buildSync({
  entryPoints: [join(source, "web", entry)], bundle: true, minify: true, format: "iife", globalName,
  write: false, legalComments: "none", nodePaths: [modules], target: "es2022",
}).outputFiles[0].text.replace(/<\/script/gi, "<\\/script");

// The one compile line a student's version is built with, here and natively
// (checker/flags.txt), and what a program for wasm32-wasip1 needs (its `wasm-c++` line):
// no exceptions (its C++ library has none), and a C++ header that brings in only what it
// must, as with g++'s library: a missing #include fails here as it would there, and
// compiles take a third of the time.
const line = Object.fromEntries(text("checker/flags.txt").trim().split("\n").map((l) => {
  const [language, ...words] = l.split(/\s+/);
  return [language, words];
}));
// The checks for undefined behaviour stop a program with a trap where it goes wrong (there
// is no library to report it here), each at its own place, which the debugging
// information gives back with the check's reason and the calls that led there: its line
// tables are all that takes, and cost a compile far less than the whole of it.
const checks = line.checks.map((f) => f.replace(/^-fno-sanitize-recover=/, "-fsanitize-trap=").replace(/^-g$/, "-gline-tables-only"));
checks.push("-fno-sanitize-merge");
const flags = { c: [...line.c, ...checks], "c++": [...line["c++"], ...checks, ...line["wasm-c++"]], link: line.link };

// The compiler, pruned: the headers and libraries of the other targets it carries are
// most of its resource archive, and no program here can use them.
const compiler = join(modules, "@yowasp/clang/gen");
const clangDir = join(dirname(output), "clang");
rmSync(clangDir, { recursive: true, force: true });
mkdirSync(clangDir, { recursive: true });
for (const f of readdirSync(compiler).filter((f) => f.endsWith(".wasm")))
  copyFileSync(join(compiler, f), join(clangDir, f));
// Its file system in memory copies the whole file on every write, so that writing a
// precompiled header (9 MB, 4 KB a write) took longer than making it: grow it by doubling.
const slowWrite = `  write(contents) {
    const offset = Number(this.offset);
    const newData = new Uint8Array(Math.max(this.file.data.length, offset + contents.length));
    newData.set(this.file.data);
    newData.subarray(offset).set(contents);
    this.file.data = newData;
    this.offset += BigInt(contents.length);
  }`;
const fastWrite = `  write(contents) {
    const offset = Number(this.offset), file = this.file;
    const length = Math.max(file.data.length, offset + contents.length);
    if (file.data.buffer !== file.grown || file.data.byteOffset !== 0 || file.grown.byteLength < length) {
      const grown = new Uint8Array(Math.max(length, 2 * file.data.length, 65536));
      grown.set(file.data);
      file.grown = grown.buffer;
    }
    file.data = new Uint8Array(file.grown, 0, length);
    file.data.set(contents, offset);
    this.offset += BigInt(contents.length);
  }`;
// In a browser it fetches its files through the worker's compilerFetch, which fetches
// them packed (FILE.gz) and unpacks them.
const plainFetch = "} else {\n  fetch2 = globalThis.fetch;\n}";
const packedFetch = "} else {\n  fetch2 = (url, options) => (globalThis.compilerFetch ?? globalThis.fetch)(url, options);\n}";
const runtime = readFileSync(join(compiler, "bundle.js"), "utf8");
for (const part of [slowWrite, plainFetch])
  if (runtime.split(part).length !== 2)
    throw new Error(`${join(compiler, "bundle.js")}: it is not the version this script mends`);
writeFileSync(join(clangDir, "bundle.js"), runtime.replace(slowWrite, () => fastWrite).replace(plainFetch, () => packedFetch));
const unneeded = new RegExp("^(share/|include/(c\\+\\+/v1/__cxx03/|sanitizer/|cuda_wrappers/|openmp_wrappers/|" +
  "ppc_wrappers/|llvm_libc_wrappers/|profile/|orc/|xray/|fuzzer/)|include/[^/]*(intrin|avx|sse|mmx|altivec|" +
  "hexagon|hvx|arm_|opencl|cuda|hip|amx|ppc|riscv|lasx|lsx|s390|msa|sifive|_cmath|vecintrin|larchintrin|" +
  "htm|velintrin|nvptx|spirv|gpu)[^/]*$|lib/.*\\.so$|lib/wasm32-unknown-wasip1/libclang_rt\\.profile)");
const tar = readFileSync(join(compiler, "llvm-resources.tar"));
const kept = [];
for (let at = 0; at + 512 <= tar.length;) {
  const header = tar.subarray(at, at + 512);
  if (header.every((b) => b === 0))
    break;
  const field = (from, length) => header.subarray(from, from + length).toString("latin1").replace(/\0.*$/s, "");
  const name = (field(345, 155) ? field(345, 155) + "/" : "") + field(0, 100);
  const size = parseInt(field(124, 12).trim() || "0", 8);
  const end = at + 512 + Math.ceil(size / 512) * 512;
  if (!unneeded.test(name))
    kept.push(tar.subarray(at, end));
  at = end;
}
kept.push(Buffer.alloc(1024));
writeFileSync(join(clangDir, "llvm-resources.tar"), Buffer.concat(kept));

// The opening the worked examples' iostream versions share, precompiled now, by the same
// compiler and with the same flags as in the page: the first compile of such a version
// then reads it instead of parsing the headers on a compiler not yet warmed up.
const ahead = {};
{
  const { runClang } = await import(pathToFileURL(join(clangDir, "bundle.js")).href);
  const quiet = { stdout: () => {}, stderr: (b) => { if (b) process.stderr.write(b); }, fetchProgress: () => {} };
  await runClang(null, {}, quiet); // its files loaded, quietly
  for (const [i, header] of ["#include <iostream>\n"].entries()) {
    const file = `opening-${i}.pch`;
    const tree = await runClang(["clang++", ...flags["c++"], "-Xclang", "-fno-pch-timestamp", "-x", "c++-header",
                                 "opening-headers.h", "-o", file], { "opening-headers.h": header }, quiet);
    writeFileSync(join(clangDir, file), tree[file]);
    ahead[header] = { file, flags: flags["c++"] };
  }
}

// Every file the worker fetches, packed: a static server sends them as they are, so the
// page unpacks them itself. The originals are not kept. Packed by libdeflate's gzip at its
// strongest where it is installed (Debian's libdeflate-tools): 1.5 MB less to fetch than
// zlib's best, which packs them elsewhere.
function gzip(file) {
  return new Promise((done) => execFile("libdeflate-gzip", ["-12", "-c", file], { encoding: "buffer", maxBuffer: 2 ** 30 },
    (error, stdout) => done(error ? null : stdout)));
}
const files = readdirSync(clangDir).filter((f) => /\.(wasm|tar|pch)$/.test(f)).sort();
const strong = await Promise.all(files.map((f) => gzip(join(clangDir, f))));
if (strong.includes(null))
  console.log("libdeflate-gzip not found: the compiler is packed by zlib, about 1.5 MB larger");
const packed = {};
const version = createHash("sha256");
for (const [i, f] of files.entries()) {
  const bytes = strong[i] ?? gzipSync(readFileSync(join(clangDir, f)), { level: 9 });
  writeFileSync(join(clangDir, `${f}.gz`), bytes);
  rmSync(join(clangDir, f));
  packed[f] = bytes.length;
  version.update(f).update(bytes);
}
for (const entry of Object.values(ahead))
  entry.size = packed[entry.file];
const worker = text("web/compile-worker.mjs")
  .replace("{/*PACKED*/}", () => JSON.stringify(Object.fromEntries(Object.entries(packed).filter(([f]) => !f.endsWith(".pch")))))
  .replace("{/*AHEAD*/}", () => JSON.stringify(ahead))
  .replace("/*VERSION*/", () => version.digest("hex").slice(0, 16));
writeFileSync(join(clangDir, "worker.mjs"), worker);

// What the first screen does not need travels gzipped, in base64, and is unpacked after
// it: the programs' WebAssembly, one after another in one stream (they share most of
// their code), and the editor.
const code = base64(gzipSync(Buffer.concat(programs.map((p) => readFileSync(join(wasmDir, `${p.name}.wasm`)))), { level: 9 }));
const page = text("web/page.html")
  .replace("/*RUN_WORKER*/", () => bundle("run-worker.mjs"))
  .replace("/*CODE*/", () => code)
  .replace("/*EDITOR*/", () => base64(gzipSync(bundle("editor.mjs", "Editor"), { level: 9 })))
  .replace("/*GENERATED*/", () => base64(gzipSync(Buffer.concat(generatedBytes), { level: 9 })))
  .replace("/*APP*/", () => bundle("app.mjs"))
  .replace("/*FLAGS*/", () => JSON.stringify(flags))
  .replace("/*LIMITS*/", () => JSON.stringify(JSON.parse(text("checker/limits.json"))))
  .replace("/*PROGRAMS*/", () => JSON.stringify(programs).replace(/</g, "\\u003c"));
writeFileSync(output, page);
console.log(`${output}: ${programs.length} programs, ${programs.reduce((n, p) => n + p.cases.length + p.generated.length, 0)} cases, ${page.length} bytes`);
