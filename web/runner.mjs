// A run: one program on one input or more, in a worker of its own. It owns that worker
// and its timer; it ends once, when the last input is done, when one runs past the time
// limit ("hung"), or when stopped ("stopped"), and its worker ends with it.
//   const run = new Run(workerUrl, wasm, runs, { outputCap, limit, each });
//   const { results, why, partial } = await run.done;   run.stop() ends it early.
// `each(result, index)` is called as each input is done; `partial` is what the run that
// did not finish wrote before it was stopped, the start of it, in the shape of a result.
export const LIVE = 16384; // bytes of a run's output kept as it is written

export class Run {
  #worker;
  #timer = null;
  #finish;
  #partial = null;

  constructor(workerUrl, wasm, runs, { outputCap, limit, each }) {
    const results = [];
    this.done = new Promise((resolve) => {
      this.#finish = (why) => {
        if (this.#worker === null)
          return;
        clearTimeout(this.#timer);
        this.#worker.terminate();
        this.#worker = null;
        resolve({ results, why, partial: why ? this.#partial : null });
      };
    });
    const arm = () => {
      clearTimeout(this.#timer);
      this.#timer = setTimeout(() => this.#finish("hung"), limit);
      this.#partial = { out: [], err: [], order: [], reads: [], status: null, trap: null };
    };
    this.#worker = new Worker(workerUrl);
    this.#worker.onmessage = ({ data }) => {
      if (data.live) {
        const { fd, bytes } = data.live;
        this.#partial[fd === 1 ? "out" : "err"].push(bytes);
        this.#partial.order.push([fd, bytes.length]);
        return;
      }
      if (data.read) {
        this.#partial.reads.push(data.read);
        return;
      }
      results.push(data);
      each?.(data, results.length - 1);
      if (results.length === runs.length)
        this.#finish("");
      else
        arm();
    };
    this.#worker.onerror = (e) => {
      e.preventDefault();
      this.#finish(`the program could not start (${e.message})`);
    };
    arm();
    this.#worker.postMessage({ wasm, runs, outputCap, live: LIVE });
  }

  stop() {
    this.#finish("stopped");
  }
}

// A partial result's pieces joined, as a whole result has them.
export function joined(partial) {
  const join = (parts) => {
    const all = new Uint8Array(parts.reduce((n, p) => n + p.length, 0));
    let at = 0;
    for (const p of parts) {
      all.set(p, at);
      at += p.length;
    }
    return all;
  };
  return { ...partial, out: join(partial.out), err: join(partial.err) };
}
