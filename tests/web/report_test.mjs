// The page's report (web/report.mjs) against the checker's rules as examples: every
// example in checker/rules.json gives exactly its report lines, and every check of many
// cases exactly its printed lines.
//   node --test tests/web/report_test.mjs
import { test } from "node:test";
import assert from "node:assert/strict";
import { readFileSync } from "node:fs";
import { checkLines, judge, withArgv0 } from "../../web/report.mjs";

const { examples, checks } = JSON.parse(readFileSync(new URL("../../checker/rules.json", import.meta.url)));
const bytes = (side, stream) =>
  side[stream + "_hex"] !== undefined
    ? Uint8Array.from(side[stream + "_hex"].split(" ").filter(Boolean).map((h) => parseInt(h, 16)))
    : new TextEncoder().encode(side[stream] ?? "");
const run = (side) => ({ out: bytes(side, "out"), err: bytes(side, "err"), status: side.status ?? 0 });

for (const example of examples)
  test(example.name, () => {
    assert.equal(judge(run(example.expected), run(example.actual), example.limit), example.report.join("\n"));
  });

for (const check of checks)
  test(check.name, () => {
    const results = check.cases.map((c) => {
      if (c.hung) return c;
      const expected = run(c.expected);
      expected.out = withArgv0(expected.out, check.argv0 ?? "");
      const report = judge(expected, run(c.actual));
      return { label: c.label, report: report && report + (c.how ?? "") };
    });
    assert.deepEqual(checkLines(results, check.left ?? 0, check.timeout ?? 10).lines, check.lines);
  });
