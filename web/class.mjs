// A class graded in the page: the submissions read from files, a folder or a course site's
// .zip export, each built and checked in turn as checker/grade.cmake does natively, and the
// class's files (class.csv, a JUnit file per student) made from the results.
import { inflateSync } from "fflate";
import { shownText } from "./report.mjs";

const SOURCE = /\.(c|cpp|cc|cxx)$/i;
const decoder = new TextDecoder();
const encoder = new TextEncoder();
const SLASH = 0x2f, BACKSLASH = 0x5c, DOT = 0x2e;

// The language a student's sources are built in: C when every one ends in .c (as g++ and
// clang++ take it, .C is C++), else C++; "" for none.
export const isC = (name) => /\.c$/.test(name);
export const languageOf = (sources) => (sources.length === 0 ? "" : sources.every(isC) ? "c" : "c++");

// The entries of a .zip, as its central directory lists them: [name's bytes, contents, or
// null for a folder, or undefined where they cannot be read]. Names are bytes, as an
// unzip tool writes them to disk: UTF-8 or not.
function unzipEntries(zip) {
  const view = new DataView(zip.buffer, zip.byteOffset, zip.byteLength);
  let end = zip.length - 22;
  while (end >= 0 && view.getUint32(end, true) !== 0x06054b50)
    end--;
  if (end < 0)
    throw new Error("it is not a .zip file");
  const entries = [];
  for (let i = 0, at = view.getUint32(end + 16, true); i < view.getUint16(end + 10, true); i++) {
    if (view.getUint32(at, true) !== 0x02014b50)
      throw new Error("the .zip file is damaged");
    const method = view.getUint16(at + 10, true), size = view.getUint32(at + 20, true);
    const length = view.getUint16(at + 28, true), local = view.getUint32(at + 42, true);
    const name = zip.subarray(at + 46, at + 46 + length);
    at += 46 + length + view.getUint16(at + 30, true) + view.getUint16(at + 32, true);
    if (name[name.length - 1] === SLASH || name[name.length - 1] === BACKSLASH) {
      entries.push([name, null]);
      continue;
    }
    const start = local + 30 + view.getUint16(local + 26, true) + view.getUint16(local + 28, true);
    const data = zip.subarray(start, start + size);
    let contents;
    try {
      contents = method === 0 ? data : method === 8 ? inflateSync(data) : undefined;
    } catch {
      contents = undefined;
    }
    entries.push([name, contents]);
  }
  return entries;
}

// A path's parts, as bytes: split at each / (and in a .zip, at each \, as Windows writes
// them), without empty parts and `.`.
function partsOf(bytes, backslashes) {
  const parts = [];
  let from = 0;
  for (let i = 0; i <= bytes.length; i++)
    if (i === bytes.length || bytes[i] === SLASH || (backslashes && bytes[i] === BACKSLASH)) {
      const part = bytes.subarray(from, i);
      if (part.length > 0 && !(part.length === 1 && part[0] === DOT))
        parts.push(part);
      from = i + 1;
    }
  return parts;
}
const hidden = (part) => part[0] === DOT || decoder.decode(part) === "__MACOSX";
const compare = (x, y) => {
  for (let i = 0; i < Math.min(x.length, y.length); i++)
    if (x[i] !== y[i])
      return x[i] - y[i];
  return x.length - y.length;
};
const key = (bytes) => String.fromCharCode(...bytes);

// The submissions in `files` (File objects, from a file input, folder or not), as
// checker/grade.cmake reads a folder of them: one student per folder under the folder
// chosen (hidden ones and __MACOSX aside), with every file in it at any depth but hidden
// ones, or per .c or .cpp file directly in it, named after the file; a folder and a file
// of one name are one student's. A .zip is read as the folder it holds, or as the folder
// chosen. Each is { student (as reports show the name), files: { path: text },
// sources: [paths of its .c and .cpp files] }, in the order of their names' bytes; with
// how many files were read.
export async function readSubmissions(files) {
  const entries = []; // [path's parts, contents or null for a folder]
  for (const file of files) {
    if (/\.zip$/i.test(file.name)) {
      let zipped = unzipEntries(new Uint8Array(await file.arrayBuffer()))
        .map(([name, contents]) => [partsOf(name, true), contents]).filter(([path]) => path.length > 0);
      // A zip of one folder, the folder of submissions: its name is no student's.
      if (zipped.length > 0 && zipped.every(([p, c]) => (p.length >= 2 || c === null) && key(p[0]) === key(zipped[0][0][0])))
        zipped = zipped.map(([p, c]) => [p.slice(1), c]).filter(([p]) => p.length > 0);
      entries.push(...zipped);
    } else {
      // From a folder chosen, the path starts with that folder's name.
      const path = file.webkitRelativePath ? partsOf(encoder.encode(file.webkitRelativePath), false).slice(1)
        : [encoder.encode(file.name)];
      entries.push([path, new Uint8Array(await file.arrayBuffer())]);
    }
  }
  const students = new Map();
  let read = 0;
  for (const [path, contents] of entries) {
    const [first] = path;
    const whole = path.length === 1 && contents !== null;
    if (path.length === 0 || hidden(first) || (whole && !SOURCE.test(decoder.decode(first))))
      continue;
    let name = first;
    if (whole) {
      const dot = first.lastIndexOf(DOT);
      name = dot > 0 ? first.subarray(0, dot) : first;
    }
    if (!students.has(key(name)))
      students.set(key(name), { name, files: {} });
    const rest = whole ? path : path.slice(1);
    if (contents === null || rest.length === 0 || rest.some(hidden))
      continue;
    read++;
    students.get(key(name)).files[rest.map((p) => shownText(p)).join("/")] = decoder.decode(contents ?? new Uint8Array());
  }
  const list = [...students.values()].sort((x, y) => compare(x.name, y.name)).map(({ name, files: theirs }) =>
    ({ student: shownText(name), files: theirs, sources: Object.keys(theirs).filter((p) => SOURCE.test(p)).sort() }));
  return Object.assign(list, { read });
}

// A student's row of class.csv, and the score: the fraction of the cases passed, to three places.
export const score = (passed, cases) => {
  if (cases <= 0)
    return "0.000";
  const thousandths = Math.floor((passed * 1000 + Math.floor(cases / 2)) / cases); // rounded half up, in whole numbers
  return `${Math.floor(thousandths / 1000)}.${String(thousandths % 1000).padStart(3, "0")}`;
};
export const csvRow = (r) => `"${r.student.replace(/"/g, '""')}",${r.built ? "yes" : "no"},${r.passed},${r.failed},` +
  `${r.skipped},${r.cases},${score(r.passed, r.cases)}`;
export const classCsv = (rows) => "student,built,passed,failed,skipped,cases,score\n" + rows.map((r) => csvRow(r) + "\n").join("");

// What a student whose version was not built gets, as grade.cmake writes it: the report
// (why, then what the compiler said) and a JUnit report of one failed testcase, `build`.
export const unbuilt = (student, program, why, said) => ({
  report: `${student}: ${program} was not built: ${why}\n${said}`,
  junit: junit(student, program, [{ kind: "", name: "build", verdict: "FAIL", text: `${program} was not built: ${why}\n${said}` }]),
});

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

// The names of the students' report files, for their names as reports show them: what a
// file's name cannot hold written %XX; a name taken already (in any case) or the class's
// own gets ~2, ~3, ...: one name, one student.
export function reportNames(students) {
  const taken = new Set(["class"]);
  const lower = (text) => text.replace(/[A-Z]/g, (c) => c.toLowerCase());
  return students.map((student) => {
    const name = student.replace(/%/g, "%25").replace(/[/\\:*?"<>|]/g, (c) => `%${c.charCodeAt(0).toString(16).toUpperCase()}`);
    let unique = name;
    for (let n = 2; taken.has(lower(unique)); n++)
      unique = `${name}~${n}`;
    taken.add(lower(unique));
    return unique;
  });
}
