// The page's reading of a class (web/class.mjs) against checker/class.json: every example,
// as a folder chosen in the page (where a folder can hold it) and as a .zip.
//   node --test tests/web/class_test.mjs
import { test } from "node:test";
import assert from "node:assert/strict";
import { readFileSync } from "node:fs";
import { readSubmissions, languageOf, csvRow, unbuilt, reportNames } from "../../web/class.mjs";

const { examples } = JSON.parse(readFileSync(new URL("../../checker/class.json", import.meta.url)));
const nameBytes = (path) => (typeof path === "string" ? new TextEncoder().encode(path)
  : Uint8Array.from(path.hex.split(" ").map((h) => parseInt(h, 16))));
const contents = new TextEncoder().encode("int main() {}\n");
const asFile = (name, bytes, relative) =>
  ({ name, webkitRelativePath: relative, arrayBuffer: async () => bytes.slice().buffer });

// A .zip of stored entries: each [name's bytes, contents, or null for a folder].
function zip(entries) {
  const parts = [], central = [];
  let at = 0;
  const u16 = (n) => [n & 255, n >> 8], u32 = (n) => [n & 255, (n >> 8) & 255, (n >> 16) & 255, n >>> 24];
  for (const [name, data] of entries) {
    const body = data ?? new Uint8Array();
    const common = [...u16(20), ...u16(0), ...u16(0), ...u16(0), ...u16(0), ...u32(0), ...u32(body.length),
                    ...u32(body.length), ...u16(name.length), ...u16(0)];
    parts.push(Uint8Array.from([...u32(0x04034b50), ...common]), name, body);
    central.push(Uint8Array.from([...u32(0x02014b50), ...u16(20), ...common, ...u16(0), ...u16(0), ...u16(0),
                                  ...u32(0), ...u32(at)]), name);
    at += 30 + name.length + body.length;
  }
  const size = central.reduce((n, p) => n + p.length, 0);
  const end = Uint8Array.from([...u32(0x06054b50), ...u16(0), ...u16(0), ...u16(entries.length), ...u16(entries.length),
                               ...u32(size), ...u32(at), ...u16(0)]);
  return new Blob([...parts, ...central, end]);
}

for (const example of examples)
  test(example.name, async () => {
    const files = example.files.map(nameBytes);
    const folders = (example.folders ?? []).map((f) => new TextEncoder().encode(f + "/"));
    const zipped = zip([...folders.map((f) => [f, null]), ...files.map((f) => [f, contents])]);
    const ways = [["zip", [asFile("class.zip", new Uint8Array(await zipped.arrayBuffer()))]]];
    if (!example.only && !example.folders && example.files.every((f) => typeof f === "string"))
      ways.push(["folder", example.files.map((f) => asFile(f.split("/").pop(), contents, `submissions/${f}`))]);
    for (const [way, given] of ways) {
      const read = await readSubmissions(given);
      const got = read.map((s) => ({ student: s.student, files: Object.keys(s.files).sort(), sources: [...s.sources].sort(),
                                     language: languageOf(s.sources) }));
      const want = example.students.map((s) => ({ ...s, files: [...s.files].sort(), sources: [...s.sources].sort() }));
      assert.deepEqual(got, want, way);
    }
  });

const { rows, unbuilt: notBuilt } = JSON.parse(readFileSync(new URL("../../checker/class.json", import.meta.url)));
test("a student's row of class.csv", () => {
  for (const { csv, ...row } of rows)
    assert.equal(csvRow(row), csv);
});
test("what a student not built gets", () => {
  for (const { student, program, why, said, report, junit } of notBuilt)
    assert.deepEqual(unbuilt(student, program, why, said), { report: report.join("\n"), junit: junit.join("\n") });
});
test("the names of the students' report files", () => {
  const { report_names: { students, names } } = JSON.parse(readFileSync(new URL("../../checker/class.json", import.meta.url)));
  assert.deepEqual(reportNames(students), names);
});
