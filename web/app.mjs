// The page's wiring: its controls tied to the objects that own what they change. The
// page's state (state.mjs) changes through one path, which saves it and repaints the
// controls here; the one job at a time (jobs.mjs) is what Run, Check, Compile and check
// and Grade the class start (starts.mjs), and what Stop, another start or a program switch
// ends. The editor loads once the first screen is painted (editor.mjs, a bundle of its
// own); until then the sources show as plain text.
import { programs, fromBase64, unzip, find, caseName, caseLabel, generatedCases } from "./catalogue.mjs";
import { PageState } from "./state.mjs";
import { Jobs } from "./jobs.mjs";
import { Starts, arriving, SERVE } from "./starts.mjs";
import { Compiler } from "./compiler.mjs";
import { yourBuild, compileRequest } from "./build.mjs";
import * as Report from "./report.mjs";
import { clearResults, showSources, fitOnResize } from "./view.mjs";
import { readSubmissions } from "./class.mjs";
import { limits } from "./limits.mjs";

const $ = (id) => document.getElementById(id);
const encoder = new TextEncoder();
const decoder = new TextDecoder();

let Editor = null;
let editorLoaded = null;
const editorReady = new Promise((resolve) => { editorLoaded = resolve; });
let mine = null;       // the editor of your version
let submissions = [];  // the class to grade: { student, files, sources }

// ---- The state, painted -------------------------------------------------------------------

function paint(state, changed) {
  const { program } = state;
  if (changed.has("program")) {
    $("program").value = program.name;
    $("about").textContent = `${program.name}: ${program.about}.`;
    $("shows").textContent = program.shows ? `It shows: ${program.shows}.` : "";
    $("gloss").hidden = !program.name.startsWith("culprit");
    showSources(program, editorReady);
    listCases();
    $("args-box").hidden = !program.arguments;
    $("parts-box").hidden = program.modules.length === 0;
    $("diagnostics").hidden = true;
    $("compiler-note").textContent = "";
  }
  if (changed.has("program") || changed.has("chosenCase")) {
    const index = program.cases.indexOf(state.chosenCase);
    $("case").value = index >= 0 ? String(index) : "";
    history.replaceState(null, "", `#${state.chosenCase ? caseLabel(program, state.chosenCase) : program.name}`);
  }
  for (const [key, id] of [["input", "input"], ["args", "args"], ["kind", "kind"], ["language", "language"], ["parts", "parts"]])
    if (changed.has(key) && $(id).value !== state[key])
      $(id).value = state[key];
  if (changed.has("input")) {
    const shown = Report.unseen(encoder.encode(state.input.slice(0, 2000)));
    $("input-shown").textContent = shown && `As a report shows it: ${shown}`;
  }
  if (changed.has("which")) {
    document.querySelector(`input[name=which][value=${state.which}]`).checked = true;
    $("mine").hidden = state.which !== "mine";
  }
  if (changed.has("text") && mine && Editor.text(mine) !== state.text)
    Editor.replace(mine, state.text);
}
const state = new PageState(paint);

// The cases to choose from, the chosen one kept (the generated ones arrive later).
function listCases() {
  const { program } = state;
  const none = new Option(`(your own input; ${program.cases.length} cases to choose from)`, "");
  $("case").replaceChildren(none, ...program.cases.map((c, i) => new Option(caseName(c), String(i))));
  const index = program.cases.indexOf(state.chosenCase);
  $("case").value = index >= 0 ? String(index) : "";
}
const caseChosen = (c) => ({ chosenCase: c, input: decoder.decode(fromBase64(c.in)), args: c.args.join("\n") });

// A program, and a case of it when `wanted` names one; what goes on is forgotten.
function open(name, wanted = "") {
  jobs.replace();
  const found = find(name);
  const program = found ?? programs[0];
  const c = program.cases.find((c) => caseName(c) === wanted);
  clearResults();
  state.open(program, c ? caseChosen(c) : null);
  $("link-note").textContent = found || !name ? (wanted && !c ? `${program.name} has no case “${wanted}”.` : "")
    : `There is no program “${name}”: showing ${program.name}.`;
}

// A case's input, from a report's link: chosen, and the input box focused.
function openInput(name) {
  const c = state.program.cases.find((c) => caseName(c) === name);
  if (!c)
    return;
  state.set(caseChosen(c));
  $("input").focus();
  $("input").scrollIntoView({ block: "center" });
}

// ---- One job at a time ------------------------------------------------------------------

const jobs = new Jobs({
  say: (id, text) => { $(id).textContent = text; },
  shows: (id) => $(id).textContent,
  // While a job goes on, only Stop can be pressed; it has the focus, and the control that
  // started the job gets it back.
  busy(job, ended) {
    const on = job !== null;
    const from = document.activeElement;
    $("run").disabled = $("check").disabled = $("mine-check").disabled = on;
    $("class-check").disabled = on || submissions.length === 0;
    $("stop").disabled = $("mine-stop").disabled = $("class-stop").disabled = !on;
    if (on) {
      job.from = from;
      clearResults();
      $(job.stopControl).focus();
    } else if (ended && (!from || from === document.body || from.disabled)) {
      (ended.from?.isConnected && !ended.from.disabled ? ended.from : $("run")).focus();
    }
  },
});

// Trouble anywhere ends in a message, never in a wait.
function trouble(why) {
  const job = jobs.current;
  job?.stop();
  if (job)
    jobs.finish(job);
  $("verdict").textContent = `Something went wrong in this page: ${why}. Reload it to go on; your text is kept.`;
}
window.addEventListener("error", (e) => trouble(e.message));
window.addEventListener("unhandledrejection", (e) => trouble(String(e.reason?.message ?? e.reason)));

// How much of the compiler has arrived: it arrives once, whatever the compiles meanwhile.
function arrival(done, total) {
  $("fetching").hidden = done >= total;
  $("fetching").max = total || 1;
  $("fetching").value = done;
  if (done < total)
    $("compiler-note").textContent = `Fetched once, then kept: ${arriving(done, total)}.`;
  else if (!jobs.current)
    $("compiler-note").textContent = "The compiler is here.";
}
const compiler = new Compiler(new URL("clang/worker.mjs", location.href), arrival);
const starts = new Starts({
  state, jobs, compiler, editorReady, openInput,
  host: URL.createObjectURL(new Blob([$("host").textContent], { type: "text/javascript" })),
  goTo: (line, column) => Editor.goTo(mine, line, column),
});

// ---- Controls ----------------------------------------------------------------------------

$("program").replaceChildren(...programs.map((p) => new Option(p.name, p.name)));
$("program").onchange = () => open($("program").value);
$("case").onchange = () => state.set($("case").value === "" ? { chosenCase: null }
  : caseChosen(state.program.cases[Number($("case").value)]));
$("input").oninput = () => state.set({ input: $("input").value, chosenCase: null });
$("args").oninput = () => state.set({ args: $("args").value, chosenCase: null });
$("kind").onchange = () => state.set({ kind: $("kind").value });
for (const radio of document.querySelectorAll("input[name=which]"))
  radio.onchange = () => state.set({ which: radio.value });
$("language").onchange = () => state.set({ language: $("language").value });
$("parts").onchange = () => state.set({ parts: $("parts").value });

$("run").onclick = () => starts.run("stop");
$("check").onclick = () => starts.check("stop");
$("mine-check").onclick = () => starts.check("mine-stop");
$("class-check").onclick = () => starts.grade("class-stop", submissions,
  // How long a case may run, as grade.cmake's -D TIMEOUT: the checker's unless the instructor says.
  Math.min(Math.max(Number($("class-timeout").value) || limits.seconds, 1), 600));
$("class-timeout").value = String(limits.seconds);
for (const id of ["stop", "mine-stop", "class-stop"])
  $(id).onclick = () => jobs.stop();

async function chooseClass(files) {
  try {
    submissions = await readSubmissions(files);
    $("class-chosen").textContent = submissions.length === 0 ? "No student among them: a folder, or a .c or .cpp file, per student."
      : `${submissions.length} students, ${submissions.read} files read: ${submissions.map((s) => s.student).join(", ")}`;
  } catch (e) {
    submissions = [];
    $("class-chosen").textContent = `The class could not be read: ${e.message}.`;
  }
  $("class-check").disabled = jobs.current !== null || submissions.length === 0;
}
$("class-files").onchange = () => chooseClass([...$("class-files").files]);
$("class-folder").onchange = () => chooseClass([...$("class-folder").files]);

// Signs that a student is about to write: the compiler loads and warms up meanwhile.
const warm = () => {
  if (location.protocol !== "file:")
    compiler.warm(compileRequest(["warm.cpp"], { "warm.cpp": "#include <iostream>\nint main() { std::cout << 1; }\n" }));
};
$("mine-editor").addEventListener("focusin", () => editorReady.then(warm));
// A student who comes back to their version (a reload keeps the choice) is about to compile.
editorReady.then(() => { if (state.which === "mine") setTimeout(warm, 500); });
document.querySelector("input[name=which][value=mine]").addEventListener("change", () => editorReady.then(warm));
$("mine-copy").onclick = () => state.set({ text: state.program.sources[0].text, language: "c++",
                                           // the lesson is the main module
                                           parts: state.program.modules.length > 0 ? "main" : state.parts });
$("mine-clear").onclick = () => state.set({ text: "" });
$("mine-download").onclick = () => {
  const link = document.createElement("a");
  link.href = URL.createObjectURL(new Blob([state.text], { type: "text/plain" }));
  link.download = yourBuild(state.program, state).name;
  link.click();
  URL.revokeObjectURL(link.href);
};
$("mine-file").onchange = async () => {
  const file = $("mine-file").files[0];
  if (!file)
    return;
  const language = /\.c$/i.test(file.name) ? "c" : /\.(cpp|cc|cxx)$/i.test(file.name) ? "c++" : state.language;
  state.set({ text: await file.text(), language });
  $("mine-file").value = "";
};

function route() {
  const [name, kind, name_] = decodeURIComponent(location.hash.slice(1)).split("/");
  const wanted = kind ? `${kind}/${name_ ?? ""}` : "";
  if (kind === "generated")
    generatedCases().then(() => open(name || programs[0].name, wanted));
  else
    open(name || programs[0].name, wanted);
}
window.onhashchange = route;
fitOnResize();
route();
if (location.protocol === "file:")
  $("compiler-note").textContent = `To compile your version here, serve this page's folder: for example ${SERVE}. ` +
    "The worked examples run as they are.";

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
    mine = Editor.editor($("mine-editor"), state.text, "Your version's source", () => state.set({ text: Editor.text(mine) }));
    editorLoaded(Editor);
    requestAnimationFrame(() => setTimeout(() => {
      document.body.dataset.editorMs = String(Math.round(performance.now()));
      document.body.dataset.ready = "yes";
    }));
  };
  document.body.append(script);
}));
