// The page's state, owned by this object alone: the program shown, the case chosen (whose
// input stands unedited in the input box), the input and the arguments typed, the kind of
// cases a check runs, which version runs, and your version: its text, its language, and
// whether it is the whole program or the main module. It changes through set() only,
// which saves what a reload keeps, per program, and repaints what changed.
//   const state = new PageState((state, changed) => ...);   state.open(program, chosen);
//   state.set({ input: "3\n", chosenCase: null });
const KEY = "worked-examples";

function read(key) {
  try { return JSON.parse(localStorage.getItem(key) ?? "null"); } catch { return null; }
}
function write(key, value) {
  try { localStorage.setItem(key, JSON.stringify(value)); } catch { /* storage full or off */ }
}

const YOURS = ["text", "language", "parts"];
const RUN = ["which", "input", "args", "chosenCase"];

export class PageState {
  program = null;
  chosenCase = null;
  input = "";
  args = "";       // one per line, as typed
  kind = "default";
  which = "example";
  text = "";
  language = "c++";
  parts = "whole";
  #paint;

  constructor(paint) {
    this.#paint = paint;
  }

  // A program, with what a reload kept of it, and `chosen` = { chosenCase, input, args }
  // when a case is chosen.
  open(program, chosen = null) {
    const yours = read(`${KEY}/${program.name}`) ?? {};
    const run = read(`${KEY}/${program.name}/run`) ?? {};
    this.set({
      program,
      text: yours.text ?? "",
      language: yours.language === "c" ? "c" : "c++",
      parts: program.modules.length > 0 && yours.parts === "main" ? "main" : "whole",
      which: run.which === "mine" ? "mine" : "example",
      ...(chosen ?? { chosenCase: null, input: run.input ?? program.input, args: (run.args ?? program.args).join("\n") }),
    }, false);
  }

  set(changes, save = true) {
    const changed = Object.keys(changes).filter((k) => this[k] !== changes[k]);
    Object.assign(this, changes);
    if (save && this.program) {
      if (changed.some((k) => YOURS.includes(k)))
        write(`${KEY}/${this.program.name}`, { text: this.text, language: this.language, parts: this.parts });
      if (changed.some((k) => RUN.includes(k)))
        write(`${KEY}/${this.program.name}/run`, { which: this.which,
          ...(this.chosenCase ? {} : { input: this.input, args: this.args.split("\n") }) });
    }
    if (changed.length > 0)
      this.#paint(this, new Set(changed));
  }
}
