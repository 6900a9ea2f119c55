// The limits a program runs and compiles within, as checker/limits.json sets them for the
// checker and make_page.mjs puts them in the page: a case's seconds and the bytes it may
// write, the bytes a run's output is cut at, and a compile's seconds.
const set = JSON.parse(document.getElementById("limits").textContent);
export const limits = {
  seconds: set["case seconds"],
  output: set["case output bytes"],
  runOutput: set["run output bytes"],
  compileSeconds: set["compile seconds"],
};
