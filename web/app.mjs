// The page's controller: the program shown, your version, and the one job at a time (a
// compile and the runs after it) that Run, Check and "Compile and check" start and Stop,
// another start or a program switch ends. The editor loads once the first screen is
// painted (editor.mjs, a bundle of its own); until then the source shows as plain text.
import { programs, compileFlags, fromBase64, unzip, programCode, find, caseName, caseLabel, casePath, definedIn,
  generatedCases, defaultCases }
  from "./catalogue.mjs";
import { Run, joined } from "./runner.mjs";
import { Compiler } from "./compiler.mjs";
import * as Report from "./report.mjs";
import { clearResults, show, showReport, showDiagnostics, bringIntoView, fitOnResize } from "./view.mjs";
import { traced } from "./trap.mjs";
import { readSubmissions, classCsv, junit, unbuilt, score, reportNames, isC, languageOf } from "./class.mjs";
import { zipSync, strToU8 } from "fflate";

const TIME_LIMIT = 10000;             // ms: a run or a case that takes longer is stopped
const OUTPUT_CAP = 16 * 1024 * 1024;  // bytes of each output for a run, then every write fails
const MAX_OUTPUT = 4194304;           // bytes a case may write, as the checker has it
const $ = (id) => document.getElementById(id);
const encoder = new TextEncoder();
const decoder = new TextDecoder();
const workerUrl = URL.createObjectURL(new Blob([$("host").textContent], { type: "text/javascript" }));
const compiler = new Compiler(new URL("clang/worker.mjs", location.href), (done, total) => arrival(done, total));

let Editor = null;
let editorLoaded = null;
const editorReady = new Promise((resolve) => { editorLoaded = resolve; });
let program = programs[0];
let chosenCase = null; // the case whose input stands unedited in the input box
let mine = null;       // the editor of your version
let compiled = null;   // { key, wasm } of your version, as last compiled
let views = [];
let submissions = []; // the class to grade: { student, files }

// ---- Trouble anywhere ends in a message, never in a wait ----------------------------------

function trouble(why) {
  current?.stop();
  current = null;
  busy(false);
  $("verdict").textContent = `Something went wrong in this page: ${why}. Reload it to go on; your text is kept.`;
}
window.addEventListener("error", (e) => trouble(e.message));
window.addEventListener("unhandledrejection", (e) => trouble(String(e.reason?.message ?? e.reason)));

// ---- One job at a time ------------------------------------------------------------------

// A job owns what it started (a compile, a run); stop() ends them all. The job that is
// `current` is the one whose results are shown; a job no longer current shows nothing.
class Job {
  stopped = false;
  #parts = new Set();
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
}
let current = null;
// While a job goes on, only Stop can be pressed.
function busy(on) {
  $("run").disabled = $("check").disabled = $("mine-check").disabled = on;
  $("class-check").disabled = on || submissions.length === 0;
  $("stop").disabled = $("mine-stop").disabled = $("class-stop").disabled = !on;
}
// A job begun from a control: focus moves to the Stop beside it, as the control is disabled.
function begin(stop = "stop") {
  current?.stop();
  current = new Job();
  current.from = document.activeElement;
  busy(true);
  clearResults();
  $(stop).focus();
  return current;
}
function finish(job) {
  if (current !== job)
    return false;
  current = null;
  const focused = document.activeElement;
  busy(false);
  if (!focused || focused === document.body || focused.disabled)
    (job.from?.isConnected && !job.from.disabled ? job.from : $("run")).focus();
  return true;
}
// A switch of program or case: what goes on is forgotten, and nothing of it shown.
function abandon() {
  const job = current;
  current = null;
  job?.stop();
  busy(false);
}

// ---- The program and its source -------------------------------------------------------

function choose(name, wanted) {
  abandon();
  const found = find(name);
  program = found ?? programs[0];
  $("link-note").textContent = found || !name ? "" : `There is no program “${name}”: showing ${program.name}.`;
  $("program").value = program.name;
  $("about").textContent = `${program.name}: ${program.about}.`;
  $("shows").textContent = program.shows ? `It shows: ${program.shows}.` : "";
  $("gloss").hidden = !program.name.startsWith("culprit");
  for (const v of views)
    v.destroy();
  views = [];
  $("files").replaceChildren();
  // The lesson file first; each as plain text, then highlighted once the editor is loaded.
  const shown = program;
  program.sources.forEach((s, i) => {
    const heading = document.createElement("h3");
    heading.textContent = s.name;
    const box = document.createElement("div");
    box.className = "source";
    const plain = document.createElement("pre");
    plain.textContent = s.text;
    plain.tabIndex = 0;
    plain.setAttribute("aria-label", `${s.name}, read only`);
    box.append(plain);
    $("files").append(heading, box);
    editorReady.then(() => setTimeout(() => {
      if (program !== shown)
        return;
      box.replaceChildren();
      views.push(Editor.view(box, s.text, `${s.name}, read only`));
    }, 30 * i));
  });
  listCases();
  $("args-box").hidden = !program.arguments;
  $("parts-box").hidden = !program.modules;
  $("diagnostics").hidden = true;
  $("compiler-note").textContent = "";
  editorReady.then(loadMine);
  const index = program.cases.findIndex((c) => caseName(c) === wanted);
  if (wanted && index < 0)
    $("link-note").textContent = `${program.name} has no case “${wanted}”.`;
  clearResults();
  const last = lastRun();
  document.querySelector(`input[name=which][value=${last.which === "mine" ? "mine" : "example"}]`).checked = true;
  showWhich();
  if (index >= 0) {
    $("case").value = String(index);
    chooseCase(index);
  } else {
    setInput(last.input ?? program.input, last.args ?? program.args);
    chosenCase = null;
  }
}

// The cases to choose from, the chosen one kept (the generated ones arrive later).
function listCases() {
  const none = new Option(`(your own input; ${program.cases.length} cases to choose from)`, "");
  $("case").replaceChildren(none, ...program.cases.map((c, i) => new Option(caseName(c), String(i))));
  const index = program.cases.indexOf(chosenCase);
  if (index >= 0)
    $("case").value = String(index);
}

function setInput(input, args) {
  $("input").value = input;
  $("args").value = args.join("\n");
  showUnseen();
}
// What cannot be seen in the input (a tab, a vertical tab, a carriage return), shown as a
// report shows it.
function showUnseen() {
  const shown = Report.unseen(encoder.encode($("input").value.slice(0, 2000)));
  $("input-shown").textContent = shown && `As a report shows it: ${shown}`;
}
// Your version's editor shows when your version is chosen.
function showWhich() {
  $("mine").hidden = which() !== "mine";
}

function chooseCase(index) {
  const c = program.cases[index];
  chosenCase = c;
  setInput(decoder.decode(fromBase64(c.in)), c.args);
  history.replaceState(null, "", `#${caseLabel(program, c)}`);
}

// A case's input, from a report's link: chosen, and the input box focused.
function openInput(name) {
  const index = program.cases.findIndex((c) => caseName(c) === name);
  if (index < 0)
    return;
  $("case").value = String(index);
  chooseCase(index);
  $("input").focus();
  $("input").scrollIntoView({ block: "center" });
}

// ---- What a reload keeps: your version, and what runs on which input -----------------------

const storageKey = () => `worked-examples/${program.name}`;
function stored(key) {
  try { return JSON.parse(localStorage.getItem(key) ?? "null"); } catch { return null; }
}
function store(key, value) {
  try { localStorage.setItem(key, JSON.stringify(value)); } catch { /* storage full or off */ }
}
const lastRun = () => stored(`${storageKey()}/run`) ?? {};
const saveRun = () => store(`${storageKey()}/run`, {
  which: which(), ...(chosenCase ? {} : { input: $("input").value, args: $("args").value.split("\n") }) });
function save() {
  store(storageKey(), { text: Editor.text(mine), language: $("language").value, parts: $("parts").value });
}
function loadMine() {
  const s = stored(storageKey()) ?? { text: "", language: "c++", parts: "whole" };
  $("language").value = s.language;
  $("parts").value = program.modules ? s.parts : "whole";
  if (!mine)
    mine = Editor.editor($("mine-editor"), s.text, "Your version's source", () => save());
  else
    Editor.replace(mine, s.text);
}
const lesson = () => program.sources[0];
function setMine(text, language) {
  Editor.replace(mine, text);
  if (language)
    $("language").value = language;
  save();
}

// ---- Compiling your version ---------------------------------------------------------------

// What compiles `sources` among `files`: C for a .c file and C++ for any other, each on
// its own line when they mix, as checker/grade.cmake does.
function compileRequest(sources, files) {
  const c = languageOf(sources) === "c";
  const mixed = !c && sources.some(isC);
  return { tool: c ? "clang" : "clang++", flags: compileFlags[c ? "c" : "c++"], sources, files,
           ...(mixed ? { each: sources.map((source) => ({ tool: isC(source) ? "clang" : "clang++",
                                                           flags: compileFlags[isC(source) ? "c" : "c++"], source })) } : {}) };
}

// The files and the command line that build your version, as the README's lines do: the
// program's headers stand beside your file; its other modules are linked in when you
// write the main module only.
function build() {
  const c = $("language").value === "c";
  const name = `my_${program.name}.${c ? "c" : "cpp"}`;
  const files = { [name]: Editor.text(mine) };
  const sources = [name];
  const linked = program.modules && $("parts").value === "main";
  for (const s of program.sources.slice(1)) {
    const base = s.name.split("/").pop();
    if (base.endsWith(".h"))
      files[base] = s.text;
    else if (linked && base.endsWith(".cpp")) {
      files[base] = s.text;
      sources.push(base);
    }
  }
  return { ...compileRequest(sources, files), name };
}

// How much of the compiler has arrived: it arrives once, whatever the compiles meanwhile.
const arriving = (done, total) => `the compiler is still arriving: ${(done / 1e6).toFixed(1)} of ${(total / 1e6).toFixed(1)} MB`;
function arrival(done, total) {
  $("fetching").hidden = done >= total;
  $("fetching").max = total || 1;
  $("fetching").value = done;
  if (done < total)
    $("compiler-note").textContent = `Fetched once, then kept: ${arriving(done, total)}.`;
  else if (!current)
    $("compiler-note").textContent = "The compiler is here.";
}

// Your version compiled, or { error } that says why not.
async function compile(job) {
  const request = build();
  const key = JSON.stringify(request);
  if (compiled?.key === key)
    return compiled;
  if (location.protocol === "file:") {
    const why = "compile error: the compiler loads only from a web server. Serve the page's folder, " +
                "for example: python3 -m http.server -b 127.0.0.1 -d build/web/site, then open http://127.0.0.1:8000/";
    $("compiler-note").textContent = why;
    return { error: why };
  }
  const started = performance.now();
  if (!compiler.arriving)
    $("compiler-note").textContent = "Compiling…";
  // How long it has taken, once the compiler is here: a first compile takes a while.
  let ticking = null;
  const loaded = () => {
    const from = performance.now();
    $("compiler-note").textContent = "Compiling…";
    ticking = setInterval(() => {
      $("compiler-note").textContent = `Compiling… ${Math.round((performance.now() - from) / 1000)} s`;
    }, 1000);
  };
  let result;
  try {
    result = await job.own(compiler.compile(request, loaded)).done;
  } finally {
    clearInterval(ticking);
  }
  if (current !== job) // replaced: what it says is no longer wanted
    return result.stopped ? result : { error: "replaced" };
  if (result.stopped) {
    // A compiler still arriving goes on arriving, for the next compile.
    $("compiler-note").textContent = result.arriving ? `The compile was stopped; ${arriving(...result.arriving)}.`
      : "The compile was stopped.";
    return result;
  }
  document.body.dataset.compileMs = String(Math.round(performance.now() - started));
  if (result.error || result.status < 0) {
    $("compiler-note").textContent = "The compile did not finish.";
    return { error: `compile error: ${result.error ?? result.output}` };
  }
  let first = "", error = "";
  const missing = /undefined symbol: ([\w:~]+)\(([^)\n]*)\)/.exec(result.output);
  const missingInC = /undefined symbol: (\w+)\n/.exec(result.output);
  const cModule = missingInC && isC(request.name) && request.sources.length > 1 && definedIn(program, missingInC[1]);
  if (result.noMain) {
    first = "Your program has no main function: every C and C++ program starts in main.";
    error = "compile error: your program has no main function";
  } else if (missing && program.modules && $("parts").value === "whole") {
    const where = definedIn(program, missing[1].split("::").pop());
    const what = `${missing[1]}(${missing[2]})`;
    first = where
      ? `${what} is not in your file: this project's ${where.name} defines it. Under “What you write”, choose ` +
        `“the main module, linked with this project's other modules” to link it in, or write ${what} in your file.`
      : `${what} is used but not defined.`;
    error = `compile error: ${what} is not defined`;
  } else if (cModule) {
    const what = `${missingInC[1]}()`;
    first = `${what} is in this project's ${cModule.name}, which is C++: a C program cannot call it. Write your ` +
            `version in C++, or write ${what} in your file and choose “the whole program” under “What you write”.`;
    error = `compile error: ${what} is not defined`;
  } else if (result.status !== 0 || !result.wasm) {
    error = "compile error: see what the compiler said";
  }
  $("compiler-note").textContent = error ? "The compile failed." : "Compiled.";
  showDiagnostics(result.output, request.name, (line, column) => Editor.goTo(mine, line, column), first);
  if (error)
    return { error };
  compiled = { key, wasm: result.wasm, name: request.name };
  return compiled;
}

// ---- Running ------------------------------------------------------------------------------

const which = () => document.querySelector("input[name=which]:checked").value;
// The name a program is started by: yours as the README builds it, ./my_PROGRAM.
const argv0 = () => (which() === "mine" ? `./my_${program.name}` : program.name);
const typedArgs = () => (program.arguments && $("args").value !== "" ? $("args").value.replace(/\n$/, "").split("\n") : []);
const argsOf = (c) => [argv0(), ...(c ? c.args : typedArgs())];
const summaryId = () => (which() === "mine" ? "mine-summary" : "verdict");

// The program to run: the worked example, or your version compiled; null when it is not
// there (the reason shown).
async function programWasm(job) {
  if (which() === "example")
    return programCode(program);
  await editorReady;
  const result = await compile(job);
  if (result.error) {
    if (current === job)
      $(summaryId()).textContent = result.stopped ? "Stopped." : result.error;
    return null;
  }
  return result.wasm;
}

async function run() {
  const job = begin();
  saveRun();
  $("verdict").textContent = "Running…";
  const wasm = await programWasm(job);
  if (current !== job)
    return;
  if (!wasm) {
    $("verdict").textContent = "Not run: your version was not built (why is said above).";
    return finish(job);
  }
  const c = chosenCase;
  const stdin = c ? fromBase64(c.in) : encoder.encode($("input").value);
  const started = performance.now();
  const { results, why, partial } = await job.own(new Run(workerUrl, wasm, [{ args: argsOf(c), stdin }],
                                                          { outputCap: OUTPUT_CAP, limit: TIME_LIMIT })).done;
  if (current !== job)
    return;
  if (why) {
    const said = why === "hung" ? `stopped after ${TIME_LIMIT / 1000} s` : why === "stopped" ? "stopped" : why;
    if (partial)
      show(joined(partial), stdin, `none: ${said}`);
    $("verdict").textContent = why === "hung"
      ? `Stopped after ${TIME_LIMIT / 1000} s: the program was still running. What it wrote until then is shown.`
      : why === "stopped" ? "Stopped. What the program wrote until then is shown." : `The program ${said}.`;
    return finish(job);
  }
  const result = await traced(compiler, wasm, results[0]);
  if (current !== job)
    return;
  const stopped = result.trap ? Report.fault(result.err) || `ended abnormally: ${result.status}` : "";
  // The terminal shows what the program wrote; why it stopped is told below.
  show(results[0], stdin, stopped ? `none: ${stopped.split("\n")[0]}` : String(Report.exitStatus(result.status)));
  const cut = result.out.length >= OUTPUT_CAP || result.err.length >= OUTPUT_CAP;
  if (cut)
    $("stdout-more").textContent += ` The output was cut at ${OUTPUT_CAP / 1048576} MiB: every write after that failed, as on a full disk.`;
  await new Promise(requestAnimationFrame); // the output painted
  document.body.dataset.runMs = String(Math.round(performance.now() - started));
  if (c) {
    const report = judge(c, result);
    showReport([report ? `FAIL ${caseLabel(program, c)}: ${report}` : `pass ${caseLabel(program, c)}`], openInput, placeIn);
    $("verdict").textContent = !report ? "pass: exactly the case's output."
      : stopped ? "FAIL: the program stopped; why, below." : "FAIL: the output differs from the case's.";
  } else if (stopped) {
    $("verdict").textContent = "The program stopped: what it wrote until then is shown; why, below.";
    showReport([stopped], openInput, placeIn);
  } else {
    $("verdict").textContent = `Finished with exit status ${Report.exitStatus(result.status)}.` +
        (cut ? ` Its output was cut at ${OUTPUT_CAP / 1048576} MiB.` : "");
  }
  finish(job);
}

// A place in your version that a report names: a click goes there in the editor.
const placeIn = (file, line) => (which() === "mine" && compiled?.name === file ? () => Editor.goTo(mine, line, 1) : null);

// How a case is run by hand: its input, the command when one is given (a graded student's,
// as grade.cmake's reports say it), and what the case tests.
const shellWord = (word) => Report.shownText(encoder.encode(/^[A-Za-z0-9_./:=+-]+$/.test(word) ? word
  : `'${word.replace(/'/g, "'\\''")}'`));
const how = (c, argv0 = "") => `\n    input    ${casePath(program, c)}` +
  (argv0 ? `\n    run      ${[argv0, ...c.args].map(shellWord).join(" ")} < ${casePath(program, c)}` : "") +
  (c.note ? `\n    note     ${c.note}` : "");
function judge(c, result) {
  return judgeAs(c, result, argv0());
}
function judgeAs(c, result, name, howOf = how) {
  const expected = { out: Report.withArgv0(fromBase64(c.out), name), err: fromBase64(c.err), status: c.kind === "refusal" ? 1 : 0 };
  const report = Report.judge(expected, { out: result.out, err: result.err, status: result.status }, MAX_OUTPUT);
  return report ? report + howOf(c) : "";
}

// Runs the cases of the chosen kind, and reports as the checker does.
async function check(stop) {
  const job = begin(stop);
  saveRun();
  const kind = $("kind").value;
  await generatedCases();
  const cases = kind === "default" ? await defaultCases(program)
    : program.cases.filter((c) => kind === "all" || c.kind === kind);
  if (cases.length === 0) {
    $("report").textContent = `${program.name} has no ${kind} cases`;
    return finish(job);
  }
  const summary = summaryId();
  $(summary).textContent = "Checking…";
  const wasm = await programWasm(job);
  if (!wasm || current !== job) {
    if (finish(job) && summary === "mine-summary")
      bringIntoView(summary);
    return;
  }
  const started = performance.now();
  const ran = await runCases(job, wasm, cases, argsOf, judge);
  if (!ran)
    return;
  const { lines } = Report.checkLines(ran.results, cases.length - ran.results.length, TIME_LIMIT / 1000);
  showReport(lines, openInput, placeIn);
  $(summary).textContent = lines[lines.length - 1];
  document.body.dataset.checkMs = String(Math.round(performance.now() - started));
  finish(job);
  bringIntoView(summary);
}

// Runs `cases` on `wasm` in turn, each with the arguments `args(c)`, judged by `judgeOne(c,
// result)`: { results, why }, the results as Report.checkLines takes them, each with its
// case (`of`), a hang or another early end the last; null when the job is no longer current.
async function runCases(job, wasm, cases, args, judgeOne, { limit = TIME_LIMIT, howOf = how } = {}) {
  const results = [];
  const each = (result, i) => results.push({ of: cases[i], label: caseLabel(program, cases[i]),
                                               report: traced(compiler, wasm, result).then((r) => judgeOne(cases[i], r)) });
  const runs = cases.map((c) => ({ args: args(c), stdin: fromBase64(c.in) }));
  const { results: ran, why } = await job.own(new Run(workerUrl, wasm, runs,
                                                      { outputCap: MAX_OUTPUT + 1, limit, each })).done;
  for (const r of results)
    r.report = await r.report;
  if (current !== job)
    return null;
  const c = cases[ran.length];
  if (why === "hung")
    results.push({ of: c, label: caseLabel(program, c), hung: true, how: howOf(c) });
  else if (why)
    results.push({ of: c, label: caseLabel(program, c), report: why + howOf(c) });
  return { results, why };
}

// ---- A class -------------------------------------------------------------------------------

// Builds a student's version as checker/grade.cmake does: their files (C when all are .c),
// beside the program's headers; where the link lacks a function and the program has other
// modules, with those the submission has no file of. { wasm } or { why, said }.
async function buildStudent(job, { files, sources: names }) {
  if (names.length === 0)
    return { why: "it has no .c or .cpp file", said: "" };
  const all = {};
  for (const s of program.sources.slice(1))
    if (s.name.endsWith(".h"))
      all[s.name.split("/").pop()] = s.text;
  Object.assign(all, files);
  const request = (sources, extra) => compileRequest(sources, { ...all, ...extra });
  let result = await job.own(compiler.compile(request(names, {}))).done;
  if (!result.error && result.status !== 0 && program.modules && /undefined symbol/.test(result.output)) {
    const others = program.sources.slice(1).filter((s) => s.name.endsWith(".cpp") && !(s.name.split("/").pop() in files));
    const extra = Object.fromEntries(others.map((s) => [s.name.split("/").pop(), s.text]));
    result = await job.own(compiler.compile(request([...names, ...Object.keys(extra)], extra))).done;
  }
  if (result.stopped || result.error)
    return { why: result.error ?? "stopped", said: "" };
  if (result.noMain)
    return { why: "it has no main function", said: result.output };
  if (result.status !== 0 || !result.wasm)
    return { why: /wasm-ld: error/.test(result.output) ? "it does not link" : "it does not compile", said: result.output };
  return { wasm: result.wasm, said: result.output };
}

// A built student's cases run, or why it was not built: { row, report, junit }; null when
// stopped, or when the job is no longer current.
async function checkStudent(job, { student }, built, cases, seconds) {
  if (!built.wasm) {
    const row = { student, built: false, passed: 0, failed: 0, skipped: 0, cases: cases.length };
    return { row, ...unbuilt(student, program.name, built.why, built.said) };
  }
  const argv0 = `./my_${program.name}`, howOf = (c) => how(c, argv0);
  const ran = await runCases(job, built.wasm, cases, (c) => [argv0, ...c.args], (c, result) => judgeAs(c, result, argv0, howOf),
                             { limit: seconds * 1000, howOf });
  if (!ran || ran.why === "stopped")
    return null;
  const { results } = ran;
  const check = Report.checkLines(results, cases.length - results.length, seconds);
  // Its JUnit report says what the text report says, case by case.
  const last = results[results.length - 1];
  const junitCases = [
    ...results.map(({ of, report, hung, how }) => ({ kind: of.kind, name: of.name, verdict: hung || report ? "FAIL" : "pass",
                                                    text: hung ? Report.unfinished(seconds, how) : report })),
    ...(last?.hung ? cases.slice(results.length) : []).map((other) => ({
      kind: other.kind, name: other.name, verdict: "SKIP", text: `not run: ${last.label} did not finish` }))];
  return { row: { student, built: true, passed: check.passed, failed: check.failed, skipped: check.skipped, cases: cases.length },
           report: `${student}: ${program.name}\n${built.said}${check.lines.join("\n")}\n`,
           junit: junit(student, program.name, junitCases) };
}

// Grades the class: each student compiled in turn in the warm compiler, the next while
// the cases of those before run, each in a worker of its own (a core kept for the
// compiles); the rows shown in order as they come.
const RUNNERS = Math.max(1, Math.min(4, (navigator.hardwareConcurrency || 2) - 1));
async function gradeClass() {
  const job = begin("class-stop");
  // The behaviour and generated cases; for a program that has none (strip_char), its own,
  // as grade.cmake.
  const cases = await defaultCases(program);
  const rows = [], junits = {}, shown = new Map();
  // How long a case may run, as grade.cmake's -D TIMEOUT: 10 s unless the instructor says.
  const seconds = Math.min(Math.max(Number($("class-timeout").value) || 10, 1), 600);
  $("class-table").tBodies[0].replaceChildren();
  $("class-csv").hidden = $("class-junit").hidden = true;
  const started = performance.now();
  const graded = [];
  let listed = Promise.resolve(true);
  let building = submissions.length > 0 ? buildStudent(job, submissions[0]) : null;
  for (const [i, submission] of submissions.entries()) {
    $("class-progress").textContent = `Grading ${i + 1} of ${submissions.length}: ${submission.student}…`;
    const built = await building;
    if (current !== job)
      return;
    if (job.stopped)
      break;
    if (graded.length >= RUNNERS)
      await graded[graded.length - RUNNERS];
    building = i + 1 < submissions.length ? buildStudent(job, submissions[i + 1]) : null;
    const grading = checkStudent(job, submission, built, cases, seconds);
    graded.push(grading);
    listed = listed.then(async (going) => {
      const done = going && await grading;
      if (!done)
        return false;
      rows.push(done.row);
      junits[submission.student] = done.junit;
      shown.set(submission.student, { report: done.report, files: submission.files });
      addRow(done.row, shown);
      return true;
    });
  }
  await listed;
  if (current !== job)
    return;
  $("compiler-note").textContent = ""; // the compiles were the class's, and are over
  $("class-progress").textContent = `${rows.length} of ${submissions.length} graded` +
    (rows.length < submissions.length ? ": stopped." : ` in ${((performance.now() - started) / 1000).toFixed(1)} s.`);
  document.body.dataset.classMs = String(Math.round(performance.now() - started));
  const link = (id, blob) => {
    URL.revokeObjectURL($(id).href);
    $(id).href = URL.createObjectURL(blob);
    $(id).hidden = false;
  };
  link("class-csv", new Blob([classCsv(rows)], { type: "text/csv" }));
  const names = reportNames(rows.map((r) => r.student));
  link("class-junit", new Blob([zipSync(Object.fromEntries(rows.map((r, i) => [`${names[i]}.xml`, strToU8(junits[r.student])])),
                                        { mtime: new Date(1980, 0, 1) })],
                               { type: "application/zip" }));
  finish(job);
  bringIntoView("class-progress");
}

function addRow(row, shown) {
  const tr = document.createElement("tr");
  tr.dataset.student = row.student;
  tr.dataset.passed = String(row.passed);
  tr.dataset.failed = String(row.failed);
  const open = document.createElement("button");
  open.type = "button";
  open.textContent = row.student;
  open.onclick = () => {
    const { report, files } = shown.get(row.student);
    $("class-report").textContent = report;
    $("class-source").textContent = Object.entries(files).map(([name, text]) => `// ---- ${name}\n${text}`).join("\n");
    $("class-report").focus();
  };
  const cells = [open, row.built ? "yes" : "no",
                 `${row.passed} / ${row.failed}${row.skipped ? `, ${row.skipped} skipped` : ""}`,
                 `${score(row.passed, row.cases)} (${row.passed} of ${row.cases})`];
  for (const content of cells) {
    const td = document.createElement("td");
    td.append(content);
    tr.append(td);
  }
  $("class-table").tBodies[0].append(tr);
}

async function chooseClass(files) {
  try {
    submissions = await readSubmissions(files);
  } catch (e) {
    submissions = [];
    $("class-chosen").textContent = `The class could not be read: ${e.message}.`;
    return busy(current !== null);
  }
  $("class-chosen").textContent = submissions.length === 0 ? "No student among them: a folder, or a .c or .cpp file, per student."
    : `${submissions.length} students, ${submissions.read} files read: ${submissions.map((s) => s.student).join(", ")}`;
  busy(current !== null);
}

// ---- Controls ----------------------------------------------------------------------------

$("program").replaceChildren(...programs.map((p) => new Option(p.name, p.name)));
$("program").onchange = () => { history.replaceState(null, "", `#${$("program").value}`); choose($("program").value); };
$("case").onchange = () => {
  if ($("case").value === "") {
    chosenCase = null;
    history.replaceState(null, "", `#${program.name}`);
  } else {
    chooseCase(Number($("case").value));
  }
};
const edited = () => {
  if (chosenCase) {
    chosenCase = null;
    $("case").value = "";
    history.replaceState(null, "", `#${program.name}`);
  }
  saveRun();
};
$("input").oninput = () => { edited(); showUnseen(); };
$("args").oninput = edited;
for (const radio of document.querySelectorAll("input[name=which]"))
  radio.onchange = () => { showWhich(); saveRun(); };
$("run").onclick = () => run();
$("class-files").onchange = () => chooseClass([...$("class-files").files]);
$("class-folder").onchange = () => chooseClass([...$("class-folder").files]);
$("class-check").onclick = () => gradeClass();
$("check").onclick = () => check();
$("stop").onclick = () => current?.stop();
$("class-stop").onclick = () => current?.stop();
$("mine-stop").onclick = () => current?.stop();
$("mine-check").onclick = () => check("mine-stop");
// Signs that a student is about to write: the compiler loads and warms up meanwhile.
const warm = () => {
  if (location.protocol !== "file:")
    compiler.warm({ tool: "clang++", flags: compileFlags["c++"], sources: ["warm.cpp"],
                    files: { "warm.cpp": "#include <iostream>\nint main() { std::cout << 1; }\n" } });
};
$("mine-editor").addEventListener("focusin", () => editorReady.then(warm));
// A student who comes back to their version (a reload keeps the choice) is about to compile.
editorReady.then(() => { if (which() === "mine") setTimeout(warm, 500); });
document.querySelector("input[name=which][value=mine]").addEventListener("change", () => editorReady.then(warm));
$("mine-copy").onclick = async () => {
  await editorReady;
  if (program.modules)
    $("parts").value = "main"; // the lesson is the main module
  setMine(lesson().text, "c++");
};
$("mine-clear").onclick = () => editorReady.then(() => setMine(""));
$("language").onchange = () => save();
$("parts").onchange = () => save();
$("mine-download").onclick = async () => {
  await editorReady;
  const link = document.createElement("a");
  link.href = URL.createObjectURL(new Blob([Editor.text(mine)], { type: "text/plain" }));
  link.download = build().name;
  link.click();
  URL.revokeObjectURL(link.href);
};
$("mine-file").onchange = async () => {
  await editorReady;
  const file = $("mine-file").files[0];
  if (!file)
    return;
  setMine(await file.text(), /\.c$/i.test(file.name) ? "c" : /\.(cpp|cc|cxx)$/i.test(file.name) ? "c++" : undefined);
  $("mine-file").value = "";
};
function route() {
  const [name, kind, name_] = decodeURIComponent(location.hash.slice(1)).split("/");
  if (kind === "generated")
    generatedCases().then(() => choose(name || programs[0].name, `${kind}/${name_ ?? ""}`));
  else
    choose(name || programs[0].name, kind ? `${kind}/${name_ ?? ""}` : "");
}
window.onhashchange = route;
fitOnResize();
if (location.protocol === "file:")
  $("compiler-note").textContent = "To compile your version here, serve this page's folder: for example " +
    "python3 -m http.server -b 127.0.0.1 -d build/web/site, then open http://127.0.0.1:8000/. The worked examples run as they are.";
route();

// Ready once the first screen is painted, measured from the start of navigation; then
// the editor loads, and marks when it is there.
requestAnimationFrame(() => setTimeout(async () => {
  document.body.dataset.readyMs = String(Math.round(performance.now()));
  generatedCases().then(listCases);
  const script = document.createElement("script");
  script.src = URL.createObjectURL(new Blob([await unzip($("editor-bundle").textContent)], { type: "text/javascript" }));
  script.onerror = () => trouble("the editor could not be loaded");
  script.onload = () => {
    Editor = globalThis.Editor;
    if (!Editor)
      return trouble("the editor could not be loaded");
    editorLoaded();
    requestAnimationFrame(() => setTimeout(() => {
      document.body.dataset.editorMs = String(Math.round(performance.now()));
      document.body.dataset.ready = "yes";
    }));
  };
  document.body.append(script);
}));
