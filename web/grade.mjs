// A class graded in the page as checker/grade.cmake grades it natively: each student's
// version built (build.mjs) and checked (check.mjs) against the program's default cases,
// with a row, a report and a JUnit file each (class.mjs).
import * as Report from "./report.mjs";
import { junit, unbuilt } from "./class.mjs";
import { compileRequest, headers, modules, failure, studentWhy } from "./build.mjs";
import { how, runCases } from "./check.mjs";

// A student's version built: their files (C when all are .c), beside the program's
// headers; where the link lacks a function and the program has other modules, with those
// the submission has no file of. { wasm, said } or { why, said }.
async function buildStudent(job, compiler, program, { files, sources }) {
  if (sources.length === 0)
    return { why: "it has no .c or .cpp file", said: "" };
  const all = { ...headers(program), ...files };
  let result = await job.own(compiler.compile(compileRequest(sources, all))).done;
  let failed = failure(result, program);
  if (failed?.kind === "missing" && program.modules.length > 0) {
    const others = modules(program, files);
    result = await job.own(compiler.compile(compileRequest([...sources, ...Object.keys(others)], { ...all, ...others }))).done;
    failed = failure(result, program);
  }
  if (failed)
    return { why: studentWhy(failed), said: failed.kind === "stopped" || failed.kind === "unfinished" ? "" : result.output };
  return { wasm: result.wasm, said: result.output };
}

// A built student's cases run, or why it was not built: { row, report, junit }; null when
// stopped, or when the job was replaced.
async function checkStudent(job, context, { student }, built, cases, seconds) {
  const { program } = context;
  if (!built.wasm) {
    const row = { student, built: false, passed: 0, failed: 0, skipped: 0, cases: cases.length };
    return { row, ...unbuilt(student, program.name, built.why, built.said) };
  }
  const argv0 = `./my_${program.name}`, howOf = (c) => how(program, c, argv0);
  const ran = await runCases(job, { ...context, wasm: built.wasm, cases, argv0, seconds, howOf });
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

// Grades `submissions` ({ student, files, sources } each) on `cases`, each case allowed
// `seconds`: each student compiled in turn in the warm compiler, the next while the cases
// of those before run, each in a worker of its own (a core kept for the compiles).
// onStart(i) as student i begins; onGraded({ row, report, junit }, submission) in order.
// Ends with the rows graded (fewer than the students when stopped), or null when replaced.
const RUNNERS = Math.max(1, Math.min(4, (navigator.hardwareConcurrency || 2) - 1));
export async function gradeClass(job, { host, compiler, program, submissions, cases, seconds, onStart, onGraded }) {
  const context = { host, compiler, program };
  const rows = [];
  const graded = [];
  let listed = Promise.resolve(true);
  let building = submissions.length > 0 ? buildStudent(job, compiler, program, submissions[0]) : null;
  for (const [i, submission] of submissions.entries()) {
    onStart(i);
    const built = await building;
    if (job.replaced)
      return null;
    if (job.stopped)
      break;
    if (graded.length >= RUNNERS)
      await graded[graded.length - RUNNERS];
    building = i + 1 < submissions.length ? buildStudent(job, compiler, program, submissions[i + 1]) : null;
    const grading = checkStudent(job, context, submission, built, cases, seconds);
    graded.push(grading);
    listed = listed.then(async (going) => {
      const done = going && await grading;
      if (!done || job.replaced)
        return false;
      rows.push(done.row);
      onGraded(done, submission);
      return true;
    });
  }
  await listed;
  return job.replaced ? null : rows;
}
