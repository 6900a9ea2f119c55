// Compiles a student's version: the compiler (clang and lld for WebAssembly) in a module
// worker that this object owns, loaded on the first compile and kept for the next. One
// compile at a time: each is an object with its own timer and its own Stop; a new
// compile, or Stop, ends the one before, and a compile that is stopped takes its worker
// with it (a compiler cannot be interrupted otherwise), so the next starts a fresh one.
//   const c = compiler.compile(job, onProgress);   const result = await c.done;   c.stop();
// result: { wasm } or { error, diagnostics }; onProgress(done, total): bytes fetched.
export const COMPILE_LIMIT = 120000; // ms, the compiler's download included

export class Compiler {
  #url;
  #worker = null;
  #current = null;
  #id = 0;
  #asked = new Map(); // id -> resolve, for each symbolize() not yet answered

  constructor(url) {
    this.#url = url;
  }

  compile(job, onProgress) {
    this.#current?.stop();
    const id = ++this.#id;
    let finish;
    const compile = {
      done: new Promise((resolve) => { finish = resolve; }),
      stop: () => end({ error: "stopped", stopped: true }, true),
    };
    let timer = null;
    const end = (result, killWorker) => {
      if (this.#current !== compile)
        return;
      this.#current = null;
      clearTimeout(timer);
      if (killWorker)
        this.#end();
      finish(result);
    };
    this.#current = compile;
    try {
      this.#worker ??= new Worker(this.#url, { type: "module" });
    } catch (e) {
      end({ error: `the compiler could not start (${e.message})` }, true);
      return compile;
    }
    timer = setTimeout(() => end({ error: `stopped after ${COMPILE_LIMIT / 1000} s` }, true), COMPILE_LIMIT);
    this.#worker.onmessage = ({ data }) => {
      if (data.progress)
        onProgress?.(...data.progress); // the compiler's files, for whichever compile fetches them
      else if (data.id === id)
        end(data, false);
      else
        this.#answer(data);
    };
    this.#worker.onerror = (e) => {
      e.preventDefault?.();
      end({ error: `the compiler could not start (${e.message ?? "serve the page over http"})` }, true);
    };
    this.#worker.postMessage({ id, ...job });
    return compile;
  }

  stop() {
    this.#current?.stop();
  }

  // Where a trap was in `wasm`, built with line tables: for each code offset, the calls there, as
  // addr2line gives them (JSON), or null when that cannot be told. After the compile that
  // made `wasm`, by the same compiler.
  symbolize(wasm, offsets) {
    const id = ++this.#id;
    return new Promise((resolve) => {
      try {
        if (!this.#worker) {
          this.#worker = new Worker(this.#url, { type: "module" });
          this.#worker.onmessage = ({ data }) => this.#answer(data);
        }
      } catch {
        resolve(null);
        return;
      }
      this.#asked.set(id, resolve);
      this.#worker.postMessage({ id, symbolize: { wasm, offsets } });
    });
  }

  #answer({ id, symbols }) {
    this.#asked.get(id)?.(symbols ?? null);
    this.#asked.delete(id);
  }

  #end() {
    this.#worker?.terminate();
    this.#worker = null;
    for (const resolve of this.#asked.values())
      resolve(null);
    this.#asked.clear();
  }

  // Loads the compiler ahead, while a student writes, and compiles a small program that
  // opens as theirs may: the compiler's code is then warm when they compile. Once only.
  warm(job) {
    if (this.#worker || this.#id > 0)
      return;
    try {
      this.#worker = new Worker(this.#url, { type: "module" });
      this.#worker.postMessage({ id: 0, ...job });
    } catch {
      this.#worker = null; // the first compile says why
    }
  }
}
