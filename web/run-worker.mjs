// The worker that runs a program: one input after another, handing back all each run
// wrote, in the order it wrote it. While a run goes on, the start of what it writes and
// reads is sent as it happens, so that a program stopped before its end still shows it.
//   post { wasm, runs: [{ args, stdin }...], outputCap, live }
//   -> { live: { fd, bytes } } and { read: [at, from, to] } while a run goes on (its first
//      `live` bytes), then { out, err, order, reads, status, trap } as each run ends
//      (a trap: { message, offsets, abort }, see trapOf).
import { runWasi } from "./wasi.mjs";

Error.stackTraceLimit = 64; // enough of a recursion's calls to see it recur

// Where the code section's contents start in a module: the debugging information counts
// code offsets from there, the engine from the module's start.
function codeStart(bytes) {
  let at = 8;
  const number = () => {
    let value = 0, shift = 0, byte;
    do {
      byte = bytes[at++];
      value += (byte & 0x7f) * 2 ** shift;
      shift += 7;
    } while (byte & 0x80);
    return value;
  };
  while (at < bytes.length) {
    const id = bytes[at++], size = number();
    if (id === 10)
      return at;
    at += size;
  }
  return 0;
}

// A trap: what the engine said, the code offset of each call on the stack, the innermost
// first, and whether abort() (a failed assert, too) ended the program.
function trapOf(e, start) {
  const stack = String(e?.stack ?? "");
  return { message: String(e?.message ?? e),
           offsets: [...stack.matchAll(/wasm-function\[\d+\]:0x([0-9a-f]+)/g)].map((m) => parseInt(m[1], 16) - start),
           abort: /\bat (?:[^\s(]*\.)?abort \(/.test(stack) };
}

const join = (parts) => {
  const all = new Uint8Array(parts.reduce((n, p) => n + p.length, 0));
  let at = 0;
  for (const p of parts) {
    all.set(p, at);
    at += p.length;
  }
  return all;
};

self.onmessage = ({ data: { wasm, runs, outputCap, live } }) => {
  const module = new WebAssembly.Module(wasm);
  const start = codeStart(wasm instanceof Uint8Array ? wasm : new Uint8Array(wasm));
  for (const { args, stdin } of runs) {
    const out = [], err = [], order = [], reads = [];
    let outLength = 0, sent = 0;
    const write = (fd, bytes) => {
      (fd === 1 ? out : err).push(bytes);
      order.push([fd, bytes.length]);
      if (fd === 1)
        outLength += bytes.length;
      if (sent < live) {
        const part = bytes.slice(0, live - sent);
        sent += part.length;
        self.postMessage({ live: { fd, bytes: part } });
      }
      return true;
    };
    // Each read placed after what the program had written, and what it held unwritten.
    const onRead = (from, to, held) => {
      reads.push([outLength + held, from, to]);
      if (sent < live)
        self.postMessage({ read: [outLength + held, from, to] });
    };
    let status = null, trap = null;
    try {
      ({ status } = runWasi(module, { args, stdin, write, outputCap, onRead }));
    } catch (e) {
      trap = trapOf(e, start);
    }
    const all = join(out), errors = join(err);
    self.postMessage({ out: all, err: errors, order, reads, status, trap }, [all.buffer, errors.buffer]);
  }
};
