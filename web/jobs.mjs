// The one job at a time: a compile and the runs after it, a check, or a class graded.
// A job owns what it started (a compile, a run), which stop() ends, and the words it
// shows of itself going on ("Running…"): when it ends, however it ends (finished, failed,
// stopped or replaced), what it said of itself going on is taken back. The job that is
// current is the one whose results are shown; one replaced (by another job, or by a
// change of program) shows nothing more.
//   const jobs = new Jobs({ say(id, text), shows(id), busy(job begun, or null and the job ended) });
//   const job = jobs.begin(); job.say("verdict", "Running…"); ...; jobs.finish(job);
export class Job {
  stopped = false;
  replaced = false;
  #parts = new Set();
  #said = new Map(); // where -> the words going on, until the job ends
  #page;

  constructor(page) {
    this.#page = page;
  }

  own(part) {
    this.#parts.add(part);
    if (this.stopped)
      part.stop();
    return part;
  }

  stop() {
    this.stopped = true;
    for (const part of this.#parts)
      part.stop();
  }

  // Words of the job going on, shown at `where` until it ends; said again, they count anew.
  say(where, text) {
    if (this.replaced)
      return;
    this.#page.say(where, text);
    this.#said.set(where, text);
  }

  // Words of how it went: they stay.
  tell(where, text) {
    if (this.replaced)
      return;
    this.#page.say(where, text);
    this.#said.delete(where);
  }

  // Its end: what it said of itself going on, and still shows, is taken back.
  end() {
    for (const [where, text] of this.#said)
      if (this.#page.shows(where) === text)
        this.#page.say(where, "");
    this.#said.clear();
  }
}

export class Jobs {
  current = null;
  #page;

  constructor(page) {
    this.#page = page;
  }

  // A job begun from a control; `stop` names the Stop beside it.
  begin(stop = "stop") {
    this.replace();
    this.current = new Job(this.#page);
    this.current.stopControl = stop;
    this.#page.busy(this.current);
    return this.current;
  }

  // Whether `job` ended, and was the one shown until then.
  finish(job) {
    job.end();
    if (this.current !== job)
      return false;
    this.current = null;
    this.#page.busy(null, job);
    return true;
  }

  // The job going on, stopped and its results no longer wanted: another program is shown.
  replace() {
    const job = this.current;
    this.current = null;
    if (!job)
      return;
    job.stop();
    job.end();
    job.replaced = true;
    this.#page.busy(null);
  }

  stop() {
    this.current?.stop();
  }
}
