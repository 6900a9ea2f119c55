// A version checked in the page as checker/check.cmake checks it natively: its cases run
// in a worker of their own, each judged by the checker's rules (report.mjs), with how to
// run it by hand; a crash or undefined behaviour named where it happened.
import { fromBase64, caseLabel, casePath } from "./catalogue.mjs";
import { Run } from "./runner.mjs";
import * as Report from "./report.mjs";
import { traced } from "./trap.mjs";
import { limits } from "./limits.mjs";

const encoder = new TextEncoder();

// How a case is run by hand: its input, the command when one is given (a graded student's,
// as grade.cmake's reports say it), and what the case tests.
const shellWord = (word) => Report.shownText(encoder.encode(/^[A-Za-z0-9_./:=+-]+$/.test(word) ? word
  : `'${word.replace(/'/g, "'\\''")}'`));
export const how = (program, c, argv0 = "") => `\n    input    ${casePath(program, c)}` +
  (argv0 ? `\n    run      ${[argv0, ...c.args].map(shellWord).join(" ")} < ${casePath(program, c)}` : "") +
  (c.note ? `\n    note     ${c.note}` : "");

// A case's result judged: "" when it passes, else the report, and how to run it (howOf).
export function judge(program, c, result, argv0, howOf = (c) => how(program, c)) {
  const expected = { out: Report.withArgv0(fromBase64(c.out), argv0), err: fromBase64(c.err), status: c.kind === "refusal" ? 1 : 0 };
  const report = Report.judge(expected, { out: result.out, err: result.err, status: result.status }, limits.output);
  return report ? report + howOf(c) : "";
}

// Runs `cases` of `program` on `wasm` in turn, in the worker `host`, with `argv0` as the
// program's name, each judged: { results, why }, the results as Report.checkLines takes
// them, each with its case (`of`), a hang or another early end the last; null when the
// job was replaced meanwhile. `compiler` names where a trap was.
export async function runCases(job, { host, compiler, program, wasm, cases, argv0, seconds = limits.seconds,
                                     howOf = (c) => how(program, c) }) {
  const results = [];
  const each = (result, i) => results.push({ of: cases[i], label: caseLabel(program, cases[i]),
    report: traced(compiler, wasm, result).then((r) => judge(program, cases[i], r, argv0, howOf)) });
  const runs = cases.map((c) => ({ args: [argv0, ...c.args], stdin: fromBase64(c.in) }));
  const { results: ran, why } = await job.own(new Run(host, wasm, runs,
                                                      { outputCap: limits.output + 1, limit: seconds * 1000, each })).done;
  for (const r of results)
    r.report = await r.report;
  if (job.replaced)
    return null;
  const c = cases[ran.length];
  if (why === "hung")
    results.push({ of: c, label: caseLabel(program, c), hung: true, how: howOf(c) });
  else if (why)
    results.push({ of: c, label: caseLabel(program, c), report: why + howOf(c) });
  return { results, why };
}
