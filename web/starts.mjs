// What each of the page's starts does: Run, Check (and Compile and check), and Grade the
// class. Each is a job (jobs.mjs) that says what it does while it goes on, and ends in a
// result or a message; the state it takes is the page's (state.mjs), read once as it
// starts. The building, the checking and the grading themselves are build.mjs, check.mjs
// and grade.mjs; what is shown is view.mjs.
import { fromBase64, programCode, caseLabel, generatedCases, defaultCases } from "./catalogue.mjs";
import { Run, joined } from "./runner.mjs";
import * as Report from "./report.mjs";
import { traced } from "./trap.mjs";
import { limits } from "./limits.mjs";
import { yourBuild, failure, yourWords } from "./build.mjs";
import { judge, runCases } from "./check.mjs";
import { gradeClass } from "./grade.mjs";
import { classCsv, reportNames } from "./class.mjs";
import { show, showReport, showDiagnostics, bringIntoView, addClassRow, offerFile } from "./view.mjs";
import { zipSync, strToU8 } from "fflate";

const $ = (id) => document.getElementById(id);
const encoder = new TextEncoder();
export const SERVE = "python3 -m http.server -b 127.0.0.1 -d build/web/site, then open http://127.0.0.1:8000/";

export class Starts {
  #page;            // { state, jobs, compiler, host, editor: () => the editor of your version or null, openInput, goTo }
  #compiled = null; // { key, wasm, name } of your version, as last compiled

  constructor(page) {
    this.#page = page;
  }

  // The name a program is started by: yours as the README builds it, ./my_PROGRAM.
  #argv0(which) {
    const { program } = this.#page.state;
    return which === "mine" ? `./my_${program.name}` : program.name;
  }

  // Your version compiled: { wasm, name }, or { error } that says why not.
  async #compile(job) {
    const { state, compiler } = this.#page;
    const { program } = state;
    const request = yourBuild(program, state);
    const key = JSON.stringify(request);
    if (this.#compiled?.key === key)
      return this.#compiled;
    if (location.protocol === "file:") {
      const why = `compile error: the compiler loads only from a web server. Serve the page's folder, for example: ${SERVE}`;
      job.tell("compiler-note", why);
      return { error: why };
    }
    const started = performance.now();
    if (!compiler.arriving)
      job.say("compiler-note", "Compiling…");
    // How long it has taken, once the compiler is here: a first compile takes a while.
    let ticking = null;
    const loaded = () => {
      const from = performance.now();
      job.say("compiler-note", "Compiling…");
      ticking = setInterval(() => job.say("compiler-note", `Compiling… ${Math.round((performance.now() - from) / 1000)} s`), 1000);
    };
    let result;
    try {
      result = await job.own(compiler.compile(request, loaded)).done;
    } finally {
      clearInterval(ticking);
    }
    if (job.replaced)
      return { error: "replaced" };
    const failed = failure(result, program);
    if (failed?.kind === "stopped") {
      // A compiler still arriving goes on arriving, for the next compile.
      job.tell("compiler-note", result.arriving ? `The compile was stopped; ${arriving(...result.arriving)}.` : "The compile was stopped.");
      return { error: "stopped", stopped: true };
    }
    document.body.dataset.compileMs = String(Math.round(performance.now() - started));
    const words = failed && yourWords(failed, program, request, state.parts);
    if (failed?.kind === "unfinished") {
      job.tell("compiler-note", "The compile did not finish.");
      return words;
    }
    job.tell("compiler-note", failed ? "The compile failed." : "Compiled.");
    showDiagnostics(result.output, request.name, this.#page.goTo, words?.first ?? "");
    if (failed)
      return words;
    this.#compiled = { key, wasm: result.wasm, name: request.name };
    return this.#compiled;
  }

  // The program to run: the worked example, or your version compiled; null when it is not
  // there (why, said at `summary`).
  async #programWasm(job, which, summary) {
    if (which === "example")
      return programCode(this.#page.state.program);
    await this.#page.editorReady;
    const result = await this.#compile(job);
    if (result.error) {
      job.tell(summary, result.stopped ? "Stopped." : result.error);
      return null;
    }
    return result.wasm;
  }

  // A place in your version that a report names: a click goes there in the editor.
  placeIn = (file, line) => (this.#page.state.which === "mine" && this.#compiled?.name === file
    ? () => this.#page.goTo(line, 1) : null);

  async run(stop) {
    const { state, jobs, compiler, host } = this.#page;
    const job = jobs.begin(stop);
    const { program, chosenCase: c, which } = state;
    const argv0 = this.#argv0(which);
    const args = [argv0, ...(c ? c.args : program.arguments && state.args !== "" ? state.args.replace(/\n$/, "").split("\n") : [])];
    const stdin = c ? fromBase64(c.in) : encoder.encode(state.input);
    job.say("verdict", "Running…");
    const wasm = await this.#programWasm(job, which, "mine-summary");
    if (job.replaced)
      return;
    if (!wasm) {
      job.tell("verdict", "Not run: your version was not built (why is said above).");
      return jobs.finish(job);
    }
    const started = performance.now();
    const { results, why, partial } = await job.own(new Run(host, wasm, [{ args, stdin }],
                                                            { outputCap: limits.runOutput, limit: limits.seconds * 1000 })).done;
    if (job.replaced)
      return;
    if (why) {
      const said = why === "hung" ? `stopped after ${limits.seconds} s` : why === "stopped" ? "stopped" : why;
      if (partial)
        show(joined(partial), stdin, `none: ${said}`);
      job.tell("verdict", why === "hung"
        ? `Stopped after ${limits.seconds} s: the program was still running. What it wrote until then is shown.`
        : why === "stopped" ? "Stopped. What the program wrote until then is shown." : `The program ${said}.`);
      return jobs.finish(job);
    }
    const result = await traced(compiler, wasm, results[0]);
    if (job.replaced)
      return;
    const stopped = result.trap ? Report.fault(result.err) || `ended abnormally: ${result.status}` : "";
    // The terminal shows what the program wrote; why it stopped is told below.
    show(results[0], stdin, stopped ? `none: ${stopped.split("\n")[0]}` : String(Report.exitStatus(result.status)));
    const cut = result.out.length >= limits.runOutput || result.err.length >= limits.runOutput;
    const mib = limits.runOutput / 1048576;
    if (cut)
      $("stdout-more").textContent += ` The output was cut at ${mib} MiB: every write after that failed, as on a full disk.`;
    await new Promise(requestAnimationFrame); // the output painted
    document.body.dataset.runMs = String(Math.round(performance.now() - started));
    if (c) {
      const report = judge(program, c, result, argv0);
      showReport([report ? `FAIL ${caseLabel(program, c)}: ${report}` : `pass ${caseLabel(program, c)}`], this.#page.openInput, this.placeIn);
      job.tell("verdict", !report ? "pass: exactly the case's output."
        : stopped ? "FAIL: the program stopped; why, below." : "FAIL: the output differs from the case's.");
    } else if (stopped) {
      job.tell("verdict", "The program stopped: what it wrote until then is shown; why, below.");
      showReport([stopped], this.#page.openInput, this.placeIn);
    } else {
      job.tell("verdict", `Finished with exit status ${Report.exitStatus(result.status)}.` + (cut ? ` Its output was cut at ${mib} MiB.` : ""));
    }
    jobs.finish(job);
  }

  // Runs the cases of the chosen kind, and reports as the checker does.
  async check(stop) {
    const { state, jobs, compiler, host } = this.#page;
    const job = jobs.begin(stop);
    const { program, kind, which } = state;
    const summary = which === "mine" ? "mine-summary" : "verdict";
    job.say(summary, "Checking…");
    await generatedCases();
    const cases = kind === "default" ? await defaultCases(program) : program.cases.filter((c) => kind === "all" || c.kind === kind);
    if (cases.length === 0) {
      job.tell("report", `${program.name} has no ${kind} cases`);
      return jobs.finish(job);
    }
    const wasm = await this.#programWasm(job, which, summary);
    if (!wasm || job.replaced) {
      if (jobs.finish(job) && summary === "mine-summary")
        bringIntoView(summary);
      return;
    }
    const started = performance.now();
    const ran = await runCases(job, { host, compiler, program, wasm, cases, argv0: this.#argv0(which) });
    if (!ran)
      return;
    const { lines } = Report.checkLines(ran.results, cases.length - ran.results.length, limits.seconds);
    showReport(lines, this.#page.openInput, this.placeIn);
    job.tell(summary, lines[lines.length - 1]);
    document.body.dataset.checkMs = String(Math.round(performance.now() - started));
    jobs.finish(job);
    bringIntoView(summary);
  }

  // Grades the class: the rows shown in order as they come, then class.csv and the JUnit
  // files offered.
  async grade(stop, submissions, seconds) {
    const { state, jobs, compiler, host } = this.#page;
    const job = jobs.begin(stop);
    const { program } = state;
    // The behaviour and generated cases; for a program that has none (strip_char), its own,
    // as grade.cmake.
    const cases = await defaultCases(program);
    const junits = {}, shown = new Map();
    $("class-table").tBodies[0].replaceChildren();
    $("class-csv").hidden = $("class-junit").hidden = true;
    const started = performance.now();
    const rows = await gradeClass(job, {
      host, compiler, program, submissions, cases, seconds,
      onStart: (i) => job.say("class-progress", `Grading ${i + 1} of ${submissions.length}: ${submissions[i].student}…`),
      onGraded: ({ row, report, junit }, { student, files }) => {
        junits[student] = junit;
        shown.set(student, { report, files });
        addClassRow(row, () => shown.get(student));
      },
    });
    if (!rows)
      return;
    job.tell("class-progress", `${rows.length} of ${submissions.length} graded` +
      (rows.length < submissions.length ? ": stopped." : ` in ${((performance.now() - started) / 1000).toFixed(1)} s.`));
    document.body.dataset.classMs = String(Math.round(performance.now() - started));
    offerFile("class-csv", new Blob([classCsv(rows)], { type: "text/csv" }));
    const names = reportNames(rows.map((r) => r.student));
    offerFile("class-junit", new Blob([zipSync(Object.fromEntries(rows.map((r, i) => [`${names[i]}.xml`, strToU8(junits[r.student])])),
                                               { mtime: new Date(1980, 0, 1) })], { type: "application/zip" }));
    jobs.finish(job);
    bringIntoView("class-progress");
  }
}

// How much of the compiler has arrived, as the page says it.
export const arriving = (done, total) =>
  `the compiler is still arriving: ${(done / 1e6).toFixed(1)} of ${(total / 1e6).toFixed(1)} MB`;
