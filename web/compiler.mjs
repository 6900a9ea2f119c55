// Compiles a student's version: the compiler (clang and lld for WebAssembly) in a module
// worker that this object owns, loaded on the first compile and kept for the next. One
// compile at a time: each is an object with its own timer and its own Stop; a new
// compile, or Stop, ends the one before.
//   const compiler = new Compiler(url, onProgress);   onProgress(done, total): bytes arrived
//   const c = compiler.compile(job, onLoaded);   const result = await c.done;   c.stop();
// result: { wasm, ... } or { error }; stopped: { error: "stopped", stopped: true, arriving },
// `arriving` being [done, total] while the compiler was still arriving, or null.
// The time limit counts from when the compiler is there (onLoaded()), so that a slow link
// is not a compile error: the first compile waits for the compiler however long it takes
// to arrive, and Stop while it arrives leaves it arriving, for the next compile. A compile
// stopped once the compiler runs takes the worker with it (a compiler cannot be
// interrupted otherwise); where the browser keeps Cache Storage, the next worker loads the
// compiler from there, not from the network.
import { limits } from "./limits.mjs"; // limits.compileSeconds: the compiler's arrival not counted

export class Compiler {
  #url;
  #onProgress;
  #worker = null;
  #current = null;   // the compile going on: { id, loaded, end }
  #id = 0;
  #asked = new Map(); // id -> resolve, for each symbolize() not yet answered
  arriving = null;    // [done, total] bytes of the compiler while it arrives, then null

  constructor(url, onProgress) {
    this.#url = url;
    this.#onProgress = onProgress;
  }

  // The worker, started if need be; its answers go to the compile they are for.
  #spawn() {
    if (this.#worker)
      return this.#worker;
    const worker = new Worker(this.#url, { type: "module" });
    worker.onmessage = ({ data }) => {
      const current = this.#current;
      if (data.progress) {
        const [done, total] = data.progress;
        this.arriving = done < total ? data.progress : null;
        this.#onProgress?.(done, total);
      } else if (data.loaded !== undefined) {
        if (current?.id === data.loaded)
          current.loaded();
      } else if (this.#asked.has(data.id)) {
        this.#answer(data);
      } else if (current?.id === data.id) {
        current.end(data, false);
      }
    };
    worker.onerror = (e) => {
      e.preventDefault?.();
      this.#current?.end({ error: `the compiler could not start (${e.message ?? "serve the page over http"})` }, true);
    };
    return (this.#worker = worker);
  }

  compile(job, onLoaded) {
    this.#current?.stop();
    const id = ++this.#id;
    let finish, timer = null, loaded = false;
    const compile = {
      done: new Promise((resolve) => { finish = resolve; }),
      // Before the compiler runs, nothing is lost by leaving it to arrive and load.
      stop: () => {
        if (!loaded)
          this.#worker?.postMessage({ cancel: id });
        current.end({ error: "stopped", stopped: true, arriving: this.arriving }, loaded);
      },
    };
    const current = {
      id,
      loaded: () => {
        loaded = true;
        timer = setTimeout(() => current.end({ error: `stopped after ${limits.compileSeconds} s` }, true), limits.compileSeconds * 1000);
        onLoaded?.();
      },
      end: (result, killWorker) => {
        if (this.#current !== current)
          return;
        this.#current = null;
        clearTimeout(timer);
        if (killWorker)
          this.#end();
        finish(result);
      },
      stop: () => compile.stop(),
    };
    this.#current = current;
    try {
      this.#spawn().postMessage({ id, ...job });
    } catch (e) {
      current.end({ error: `the compiler could not start (${e.message})` }, true);
    }
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
        this.#spawn();
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
    this.arriving = null;
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
      this.#spawn().postMessage({ id: 0, ...job });
    } catch {
      this.#worker = null; // the first compile says why
    }
  }
}
