// The worker that runs a program: one input after another, handing back all each run
// wrote, in the order it wrote it. While a run goes on, the start of what it writes and
// reads is sent as it happens, so that a program stopped before its end still shows it.
//   post { wasm, runs: [{ args, stdin }...], outputCap, live }
//   -> { live: { fd, bytes } } and { read: [at, from, to] } while a run goes on (its first
//      `live` bytes), then { out, err, order, reads, status, crash } as each run ends.
import { runWasi } from "./wasi.mjs";

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
    const onRead = (from, to) => {
      reads.push([outLength, from, to]);
      if (sent < live)
        self.postMessage({ read: [outLength, from, to] });
    };
    let status = null, crash = "";
    try {
      ({ status } = runWasi(module, { args, stdin, write, outputCap, onRead }));
    } catch (e) {
      crash = String(e);
    }
    const all = join(out), errors = join(err);
    self.postMessage({ out: all, err: errors, order, reads, status, crash }, [all.buffer, errors.buffer]);
  }
};
