// The page's report (web/report.mjs) against the checker's rules as examples:
// every example in tests/report-examples.json gives exactly its report lines.
//   node --test tests/web/report_test.mjs
import { test } from "node:test";
import assert from "node:assert/strict";
import { readFileSync } from "node:fs";
import { judge } from "../../web/report.mjs";

const { examples } = JSON.parse(readFileSync(new URL("../report-examples.json", import.meta.url)));
const bytes = (side, stream) =>
  side[stream + "_hex"] !== undefined
    ? Uint8Array.from(side[stream + "_hex"].split(" ").filter(Boolean).map((h) => parseInt(h, 16)))
    : new TextEncoder().encode(side[stream] ?? "");
const run = (side) => ({ out: bytes(side, "out"), err: bytes(side, "err"), status: side.status ?? 0 });

for (const example of examples)
  test(example.name, () => {
    assert.equal(judge(run(example.expected), run(example.actual)), example.report.join("\n"));
  });
