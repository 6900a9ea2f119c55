// A class graded in the page: the submissions read from files, a folder or a course site's
// .zip export, each built and checked in turn as checker/grade.cmake does natively, and the
// class's files (class.csv, a JUnit file per student) made from the results.
import { unzipSync } from "fflate";

const SOURCE = /\.(c|cpp|cc|cxx)$/i;
const decoder = new TextDecoder();

// The submissions in `files` (File objects, from a file input, folder or not): one per
// folder under the folder chosen, or per source file directly in it, or in a .zip. Each is
// { student, files: { name: text } }, in order of the students' names.
export async function readSubmissions(files) {
  const entries = []; // [path's parts, bytes]
  const parts = (path) => path.split("/").filter((p) => p !== "" && p !== ".");
  for (const file of files) {
    if (/\.zip$/i.test(file.name)) {
      let zipped = Object.entries(unzipSync(new Uint8Array(await file.arrayBuffer())))
        .filter(([name]) => !name.endsWith("/")).map(([name, bytes]) => [parts(name), bytes]);
      // A zip of one folder: its name is no student's.
      while (zipped.length > 0 && zipped.every(([p]) => p.length >= 2 && p[0] === zipped[0][0][0]))
        zipped = zipped.map(([p, bytes]) => [p.slice(1), bytes]);
      entries.push(...zipped);
    } else {
      // From a folder chosen, the path starts with that folder's name.
      const path = file.webkitRelativePath ? parts(file.webkitRelativePath).slice(1) : [file.name];
      entries.push([path, new Uint8Array(await file.arrayBuffer())]);
    }
  }
  const students = new Map();
  for (const [path, bytes] of entries) {
    if (path.length === 0 || path.some((p) => p.startsWith(".") || p === "__MACOSX") || !SOURCE.test(path[path.length - 1]))
      continue;
    const student = path.length === 1 ? path[0].replace(/\.[^.]*$/, "") : path[0];
    const name = path.length === 1 ? path[0] : path.slice(1).join("/");
    if (!students.has(student))
      students.set(student, {});
    students.get(student)[name] = decoder.decode(bytes);
  }
  return [...students].map(([student, files]) => ({ student, files }))
    .sort((x, y) => (x.student < y.student ? -1 : x.student > y.student ? 1 : 0));
}

// A student's row of class.csv, and the score: the fraction of the cases passed, to three places.
export const score = (passed, cases) => (cases > 0 ? (Math.round((passed * 1000) / cases) / 1000).toFixed(3) : "0.000");
export function classCsv(rows) {
  const quoted = (text) => `"${text.replace(/"/g, '""')}"`;
  return "student,built,passed,failed,skipped,cases,score\n" + rows.map((r) =>
    `${quoted(r.student)},${r.built ? "yes" : "no"},${r.passed},${r.failed},${r.skipped},${r.cases},${score(r.passed, r.cases)}\n`).join("");
}

// A student's JUnit report, as the checker writes it with -D STUDENT: suite STUDENT.PROGRAM,
// a testcase per case classed STUDENT.PROGRAM.KIND, no times; a version not built is one
// failed testcase, `build`.
const xml = (text) => text.replace(/&/g, "&amp;").replace(/</g, "&lt;").replace(/>/g, "&gt;").replace(/"/g, "&quot;")
  // Only what XML 1.0 allows: other control characters as the report writes them.
  .replace(/[\x00-\x08\x0b\x0c\x0e-\x1f\ufffe\uffff]/g, (c) => `\\x${c.charCodeAt(0).toString(16).padStart(2, "0")}`);
export function junit(student, program, results) {
  const suite = xml(`${student}.${program}`);
  let failures = 0, skipped = 0;
  const cases = results.map(({ kind, name, verdict, text }) => {
    const head = `    <testcase classname="${suite}${kind ? "." + xml(kind) : ""}" name="${xml(name)}" time="0.000"`;
    if (verdict === "pass")
      return `${head}/>\n`;
    const message = xml(text.split("\n")[0].replace(/:$/, ""));
    if (verdict === "SKIP") {
      skipped++;
      return `${head}>\n      <skipped message="${message}"/>\n    </testcase>\n`;
    }
    failures++;
    return `${head}>\n      <failure message="${message}">${xml(text)}</failure>\n    </testcase>\n`;
  }).join("");
  const counts = `tests="${results.length}" failures="${failures}" errors="0" skipped="${skipped}" time="0.000"`;
  return `<?xml version="1.0" encoding="UTF-8"?>\n<testsuites ${counts}>\n  <testsuite name="${suite}" ${counts}>\n` +
         `${cases}  </testsuite>\n</testsuites>\n`;
}

// A file name for a student's report: what a file system refuses replaced.
export const fileName = (student) => student.replace(/[/\\:*?"<>|\x00-\x1f]/g, "_");
