// The page in a real browser: Debian's Chromium, headless, driven through the
// page's own controls, with the page served from 127.0.0.1 (as a course hosts it)
// and opened from the file system.
//   node tests/web/browser.mjs SITE     (SITE holds index.html and clang/: build/web/site)
// Screenshots of towers and culprit_bits go to the folder that holds SITE. Exits 1 on a failure.
import { execFile, execFileSync } from "node:child_process";
import { mkdirSync, mkdtempSync, readFileSync, readdirSync, rmSync, writeFileSync } from "node:fs";
import { tmpdir } from "node:os";
import { dirname, join, resolve } from "node:path";
import { fileURLToPath } from "node:url";
import { promisify } from "node:util";
import { chromium } from "playwright-core";
import { launch, serve } from "./serve.mjs";

const dir = resolve(process.argv[2]);
const source = resolve(dirname(fileURLToPath(import.meta.url)), "../..");
const work = mkdtempSync(join(tmpdir(), "browser-"));
const facts = JSON.parse(readFileSync(join(source, "programs.json"), "utf8"));
let failures = 0;
function check(ok, what) {
  console.log(`${ok ? "pass" : "FAIL"} ${what}`);
  if (!ok)
    failures++;
}

// The kept wrong versions, each made by the driver CTest runs (tests/wrong.cmake, which
// also gives the checker's verdict on it natively), one after another in the background
// while the page is tried, each in a folder of its own; the page compiles them later.
const wrongs = readdirSync(join(source, "tests/wrong")).sort()
  .flatMap((program) => readdirSync(join(source, "tests/wrong", program)).sort().map((name) => ({ program, name })));
let made = Promise.resolve();
for (const [i, wrong] of wrongs.entries()) {
  wrong.dir = join(work, "wrong", `${i}`); // short: Test's fixed-buffer version cuts a long path
  wrong.made = made = made.then(() => promisify(execFile)("cmake", [
    "-D", `EDIT=${join(source, "tests/wrong", wrong.program, wrong.name)}`, "-D", `SOURCE=${source}`,
    "-D", `WORK=${join(wrong.dir, "copy")}`, "-D", "COMPILER=g++", "-D", `OUTPUT=${join(wrong.dir, "native")}`,
    "-D", "KEEP=ON", "-P", join(source, "tests/wrong.cmake")]));
}
made.catch(() => {}); // each is awaited, and its failure told, in its turn

// What a course publishes: the page and its compiler, nothing else of the build.
check(readdirSync(dir).sort().join(" ") === "clang index.html" &&
      readdirSync(join(dir, "clang")).every((f) => /^(bundle\.js|worker\.mjs|.*\.gz)$/.test(f)),
      `the published folder holds the page and its compiler alone (${readdirSync(dir).join(", ")})`);
const server = await serve(dir);
const url = `http://127.0.0.1:${server.address().port}/index.html`;
const browser = await launch(chromium);
const axe = readFileSync(join(source, "tests/web/node_modules/axe-core/axe.min.js"), "utf8");
const versions = (name) => readFileSync(join(source, "tests/web/versions", name), "utf8");

async function open(address, viewport = { width: 390, height: 844 }, slowdown = 1) {
  const page = await browser.newPage({ viewport });
  page.on("pageerror", (e) => check(false, `no error in the page: ${e.message}`));
  page.on("response", (r) => { if (r.status() >= 400) check(false, `no ${r.status()} for ${r.url()}`); });
  if (slowdown > 1)
    await (await page.context().newCDPSession(page)).send("Emulation.setCPUThrottlingRate", { rate: slowdown });
  await page.goto(address);
  await page.waitForSelector("body[data-ready=yes]");
  return page;
}
// A job's end, whichever way it ended: no word of it going on is left on the page.
const stale = [];
let endings = 0;
async function settled(page) {
  await page.waitForFunction(() => !document.querySelector("#run").disabled, null, { timeout: 180000 });
  endings++;
  const left = await page.evaluate(() => ["verdict", "mine-summary", "compiler-note", "class-progress"]
    .map((id) => document.getElementById(id).textContent).filter((t) => /Running…|Compiling…|Checking…|Grading /.test(t)));
  stale.push(...left);
}
async function run(page) {
  await page.click("#run");
  await settled(page);
  return page.evaluate(() => Object.fromEntries(["stdout", "stdout-info", "stderr", "status", "verdict", "report"]
    .map((id) => [id, document.getElementById(id).textContent])));
}
async function accessible(page, state) {
  await page.addScriptTag({ content: axe });
  const found = await page.evaluate(async () => (await axe.run()).violations
    .map((v) => `${v.id} (${v.nodes.length}: ${v.nodes.slice(0, 3).map((n) => n.target.join(" ")).join(", ")})`));
  check(found.length === 0, `axe-core finds no violation ${state}${found.length ? ": " + found.join(", ") : ""}`);
}

// ---- A first compile over a slow link, meanwhile -----------------------------------------
// The page served at 150 KB/s: a first compile waits for the compiler however long it takes
// to arrive, saying how much has; Stop meanwhile leaves it arriving, and the next compile
// fetches nothing again.
const slowLink = (async () => {
  const slow = await serve(dir, 0, { rate: 150000 });
  const p = await open(`http://127.0.0.1:${slow.address().port}/index.html#towers`, { width: 1280, height: 900 });
  writeFileSync(join(work, "slow.c"), versions("towers.c"));
  await p.check("input[name=which][value=mine]");
  await p.setInputFiles("#mine-file", join(work, "slow.c"));
  await p.click("#mine-check");
  await p.waitForFunction(() => /arriving: [1-9]/.test(document.querySelector("#compiler-note").textContent), null, { timeout: 60000 });
  await p.click("#stop");
  await settled(p);
  const note = await p.textContent("#compiler-note");
  check(await p.textContent("#mine-summary") === "Stopped." && /^The compile was stopped; the compiler is still arriving: \d+\.\d of \d+\.\d MB\.$/.test(note),
        `a slow link: Stop while the compiler arrives says so (${note})`);
  const started = Date.now();
  await p.click("#mine-check");
  await p.waitForFunction(() => / passed|error/.test(document.querySelector("#mine-summary").textContent), null, { timeout: 600000 });
  const fetched = slow.served.filter((path) => path.endsWith(".gz"));
  check(await p.textContent("#mine-summary") === "50 passed, 0 failed" && fetched.length === new Set(fetched).size,
        `a slow link: the first compile finishes at 150 KB/s, each file of the compiler fetched once ` +
        `(${fetched.length} files, ${Math.round((Date.now() - started) / 1000)} s after Stop)`);
  await p.close();
  slow.close();
})().catch((e) => check(false, `a slow link: ${e.message}`));

// ---- The worked examples, served and from the file system -------------------------------
for (const [origin, address] of [["server", url], ["file", `file://${join(dir, "index.html")}`]]) {
  const page = await open(`${address}#towers/behaviour/ten-disks`);
  console.log(`${origin}: ready ${await page.getAttribute("body", "data-ready-ms")} ms after navigation began`);
  check(await page.inputValue("#program") === "towers" && await page.inputValue("#input") === "10\n" &&
        await page.textContent("#files h3") === "towers/towers.cpp", `${origin}: a deep link opens a case; the lesson file comes first`);
  if (origin === "server") {
    await accessible(page, "as it opens");
    const small = await page.$$eval("button, select, input:not([type=radio]), label:has(input[type=radio])", (all) => all
      .filter((e) => e.offsetParent !== null && e.getBoundingClientRect().height < 44).map((e) => e.id || e.textContent));
    check(small.length === 0, `every control is at least 44 px tall on a phone${small.length ? ": " + small.join(", ") : ""}`);
  }
  const choose = (program) => page.selectOption("#program", program);

  await choose("towers");
  await page.fill("#input", "3\n");
  let r = await run(page);
  check(r.stdout === "\nInput the number of disks:\nThe step to moving   3 disks:\n\nA --> C\nA --> B\nC --> B\n" +
        "A --> C\nB --> A\nB --> C\nA --> C" && r.status === "0", `${origin}: towers 3`);
  check(await page.evaluate(() => document.activeElement?.id) === "run", `${origin}: focus stays on Run`);
  if (origin === "server") {
    await page.screenshot({ path: join(dir, "..", "towers.png"), fullPage: true });
    await accessible(page, "after a run");
  }

  await page.fill("#input", "20\n");
  r = await run(page);
  // The prompt (27 bytes), the heading (31) and 2^20 - 1 moves of 8 bytes each.
  check(r["stdout-info"] === `(${58 + 8 * (2 ** 20 - 1)} bytes, ends without a newline)` && r.status === "0" &&
        r.stdout.length <= 4096 && r.stdout.endsWith("\n"),
        `${origin}: towers 20, a whole-line start shown, from Run to output painted in ${await page.getAttribute("body", "data-run-ms")} ms`);

  await page.fill("#input", "63\n");
  r = await run(page);
  check(r.stderr === "towers: write error\n" && r.status === "1" && r.verdict.includes("cut at 16 MiB"),
        `${origin}: towers 63 stops at the output cap, and the page says so`);

  await choose("quadroots");
  await page.fill("#input", "1 x 2\n");
  r = await run(page);
  check(r.stderr === "quadroots: expected three numbers\n" && r.status === "1" && r.stdout === "",
        `${origin}: a refusal shows standard error and status 1`);

  await choose("Test");
  await page.fill("#args", "\n是");
  r = await run(page);
  check(r.stdout === "Total parameter are: 3\n\nargv[0]= Test\nargv[1]= \nargv[2]= 是", `${origin}: Test with an empty and a 是 argument`);

  // Choosing cases runs nothing; an edited input is no longer the case's.
  await choose("towers");
  await page.focus("#case");
  for (let i = 0; i < 3; i++)
    await page.keyboard.press("ArrowDown");
  check(await page.textContent("#report") === "" && await page.isDisabled("#stop"),
        `${origin}: moving through the case menu runs nothing`);
  await page.fill("#input", "4\n");
  check(await page.inputValue("#case") === "", `${origin}: editing the input clears the case`);
  if (origin === "server") {
    // What cannot be seen in a case's input is shown as a report shows it.
    await page.evaluate(() => { location.hash = "#powers/behaviour/every-kind-of-white-space"; });
    await page.waitForFunction(() => document.getElementById("program").value === "powers");
    const shown = await page.textContent("#input-shown");
    check(shown === 'As a report shows it: " \\t \\x0b\\x0c\\r\\n"\n"  2\\t\\x0b5\\x0c\\r\\n"',
          `${origin}: tabs, form feeds and carriage returns in an input are shown (${shown})`);
    // strip_char has no behaviour cases: its default check runs its own.
    await choose("strip_char");
    await page.click("#check");
    await settled(page);
    const own = readdirSync(join(source, "checker/cases/strip_char/own")).filter((f) => f.endsWith(".out")).length;
    check((await page.textContent("#verdict")) === `${own} passed, 0 failed`, `${origin}: strip_char's default check runs its own ${own} cases`);
  }

  // Every case of every program, checked as the checker does: each one passes.
  let checked = 0, cases = 0;
  for (const { name: program } of facts) {
    await choose(program);
    await page.selectOption("#kind", "all");
    await page.click("#check");
    await settled(page);
    const last = (await page.textContent("#report")).split("\n").pop();
    const [, passed, failed] = /^(\d+) passed, (\d+) failed$/.exec(last) ?? [];
    checked += Number(passed);
    cases += readdirSync(join(source, "checker/cases", program), { recursive: true }).filter((f) => f.endsWith(".out")).length;
    if (failed !== "0")
      console.log(await page.textContent("#report"));
    if (program === "culprit_bits" && origin === "server") {
      await page.screenshot({ path: join(dir, "..", "culprit_bits.png"), fullPage: true });
      await accessible(page, "with a report");
    }
  }
  check(checked === cases && cases > 200, `${origin}: every case of every program passes (${checked} of ${cases})`);
  if (origin === "file") {
    await page.check("input[name=which][value=mine]");
    await page.click("#mine-check");
    check(/^compile error: the compiler loads only from a web server/.test(await page.textContent("#mine-summary")),
          "file: the page says how to serve it to compile");
  }
  await page.close();
}

// ---- Your version, compiled in the page ------------------------------------------------
const page = await open(`${url}#towers`, { width: 1280, height: 900 });
async function mine(file, text, kind = "default") {
  writeFileSync(join(work, file), text);
  await page.check("input[name=which][value=mine]");
  await page.setInputFiles("#mine-file", join(work, file));
  await page.selectOption("#kind", kind);
  const started = Date.now();
  await page.evaluate(() => { document.querySelector("#mine-summary").textContent = ""; });
  await page.click("#mine-check");
  await page.waitForFunction(() => /passed|compile error/.test(document.querySelector("#mine-summary").textContent),
                             null, { timeout: 180000 });
  await settled(page);
  return { summary: await page.textContent("#mine-summary"), report: await page.textContent("#report"),
           ms: Date.now() - started };
}
let r = await mine("towers.c", versions("towers.c"));
check(r.summary === "50 passed, 0 failed", `towers in C passes every behaviour and generated case (first compile and check: ${r.ms} ms)`);
r = await mine("towers.cpp", versions("towers_iostream.cpp"));
check(r.summary === "50 passed, 0 failed", `towers in C++ with iostreams passes every behaviour and generated case (${r.ms} ms)`);
r = await mine("towers.c", versions("towers.c").replace("moving %3d disks", "moving   %d disks"));
check(r.summary === "43 passed, 7 failed" && r.report.includes(`FAIL towers/behaviour/ten-disks: standard output differs at line 3, column 21:
    expected "The step to moving  10 disks:\\n"
    actual   "The step to moving   10 disks:\\n"
                                  ^
    input    checker/cases/towers/behaviour/ten-disks.in`), "a heading of the wrong width fails ten-disks, as the checker says");
check(await page.evaluate(() => document.activeElement?.id) === "mine-summary" &&
      await page.evaluate(() => { const b = document.getElementById("mine-summary").getBoundingClientRect(); return b.top >= 0 && b.bottom <= innerHeight; }),
      "the summary of a check is focused and in view");
// On a phone, the report fits: its sentences wrap, a difference's lines are cut around the
// caret, nothing is wider than the screen, and its input is a link.
await page.setViewportSize({ width: 390, height: 844 });
await page.waitForTimeout(100);
const wide = await page.evaluate(() => [...document.querySelectorAll("main *")].filter((e) => {
  const box = e.getBoundingClientRect();
  return box.width > 0 && box.right > document.documentElement.clientWidth + 1 && !e.closest(".cm-editor");
}).map((e) => e.id || e.className || e.tagName));
const cutLines = await page.$$eval("#report .line, #report .aligned", (all) => all.filter((e) => e.scrollWidth > e.clientWidth)
  .map((e) => e.textContent.slice(0, 40)));
const phoneDiff = await page.textContent("#report .aligned");
check(wide.length === 0 && cutLines.length === 0 && await page.evaluate(() => document.documentElement.scrollWidth <= innerWidth) &&
      /^ {4}expected (…)?[^\n]*\n {4}actual   [^\n]*\n *\^\n$/.test(phoneDiff) &&
      phoneDiff.split("\n")[0].indexOf("10") === phoneDiff.split("\n")[2].indexOf("^"),
      `on a phone nothing is wider than the screen, and a difference's caret stays under it` +
      `${wide.length + cutLines.length ? ": " + [...wide, ...cutLines].slice(0, 5).join(", ") : ""}\n${phoneDiff}`);
await accessible(page, "with a failed case on a phone");
await page.click("#report a");
check(await page.inputValue("#input") === "10\n" && await page.evaluate(() => document.activeElement?.id) === "input",
      "a failed case's input is one click away");
await page.setViewportSize({ width: 1280, height: 900 });
// Compiled from the headers precompiled after the iostream version above.
r = await mine("towers.cpp", versions("towers_iostream.cpp").replace("std::cin >> n;", "std::cin >> n"));
check(r.summary.startsWith("compile error"), "a version that does not compile says so");
const link = page.locator("#diagnostics a").first();
await link.click();
check(/std::cin >> n$/.test(await page.textContent("#mine-editor .cm-activeLine")),
      `its diagnostic (${await link.textContent()}) moves the cursor to its line`);
await accessible(page, "with diagnostics");
const started = Date.now();
r = await mine("towers.c", versions("towers.c").replace("int main(void)\n{", "int main(void)\n{\n    for (;;)\n        ;"));
check(/did not finish within 10 seconds[\s\S]*49 skipped$/.test(r.report) && Date.now() - started < 20000,
      `a version that hangs is stopped, the rest skipped (${Date.now() - started} ms)`);
// What a hung program wrote before it was stopped is shown: compiled and run, not checked.
writeFileSync(join(work, "hung.c"), "#include <stdio.h>\nint main(void)\n{\n    printf(\"\\nInput the number of disks:\\n\");\n    fflush(stdout);\n    for (;;)\n        ;\n}\n");
await page.setInputFiles("#mine-file", join(work, "hung.c"));
await page.check("input[name=which][value=mine]");
await page.click("#run");
await settled(page);
check(await page.textContent("#status") === "none: stopped after 10 s" &&
      (await page.textContent("#terminal")).startsWith("\nInput the number of disks:\n"),
      "a run stopped after 10 s shows what it wrote until then");
// A prompt the program did not flush comes before what is typed after it, as in a terminal.
writeFileSync(join(work, "prompt.c"), "#include <stdio.h>\nint main(void)\n{\n    char name[16];\n    printf(\"Your name: \");\n" +
  "    if (scanf(\"%15s\", name) != 1)\n        return 1;\n    printf(\"Hello, %s.\\n\", name);\n}\n");
await page.setInputFiles("#mine-file", join(work, "prompt.c"));
await page.fill("#input", "Ann\n");
await page.click("#run");
await settled(page);
check(await page.textContent("#terminal") === "Your name: Ann\nHello, Ann.\n",
      `a prompt not flushed comes before the input typed after it (${JSON.stringify(await page.textContent("#terminal"))})`);
// A program without main says so.
r = await mine("towers.cpp", "#include <cstdio>\nint mian() { return std::puts(\"x\"); }\n");
check(r.summary === "compile error: your program has no main function", `a version without main says so (${r.summary})`);
// Stop during a compile gives control back at once, and the next compile works. The version
// is long enough that its compile is still under way when Stop is clicked.
const filler = Array.from({ length: 4000 }, (_, i) => `int f${i}(int x) { return x * ${i} + f${i ? i - 1 : 0}(x - 1); }`);
writeFileSync(join(work, "towers.c"), versions("towers.c") + "\n" + filler.join("\n") + "\n");
await page.setInputFiles("#mine-file", join(work, "towers.c"));
const servedBeforeStop = server.served.length;
await page.click("#mine-check");
await page.waitForTimeout(200);
let stopped = Date.now();
await page.click("#stop");
await settled(page);
stopped = Date.now() - stopped;
check(stopped < 1000 && await page.textContent("#mine-summary") === "Stopped.", `Stop during a compile gives control back (${stopped} ms)`);
r = await mine("towers.c", versions("towers.c"));
const refetchedAfterStop = server.served.slice(servedBeforeStop).filter((path) => path.endsWith(".gz"));
check(r.summary === "50 passed, 0 failed" && refetchedAfterStop.length === 0,
      `the compile after a Stop works, with the compiler kept (${refetchedAfterStop.length} of its files fetched again)`);
// A job replaced: a program chosen during a compile ends it, and nothing of it stays.
writeFileSync(join(work, "long.c"), versions("towers.c") + "\n" + filler.join("\n") + "\n");
await page.setInputFiles("#mine-file", join(work, "long.c"));
await page.click("#mine-check");
await page.waitForTimeout(200);
await page.selectOption("#program", "powers");
await settled(page);
await page.selectOption("#program", "towers");
// After a failed compile, another program starts clean, with its worked example chosen.
await mine("towers.cpp", "int main( {\n");
await page.selectOption("#program", "sort_ten");
check(await page.textContent("#compiler-note") === "" && await page.isHidden("#diagnostics") &&
      await page.isChecked("input[name=which][value=example]"), "a program switch after a failed compile starts clean");
await page.selectOption("#program", "towers");
const beforeReload = server.served.length;
await page.reload();
await page.waitForSelector("body[data-ready=yes]");
check((await page.textContent("#mine-editor .cm-content")).includes("int main( {") &&
      await page.isChecked("input[name=which][value=mine]"), "your text and the version chosen survive a reload");

await page.selectOption("#program", "powers");
r = await mine("my_powers.cpp", readFileSync(join(source, "tests/docs/my_powers.cpp"), "utf8"), "own");
check(r.summary === "compile error: power(int) is not defined" &&
      (await page.textContent("#diagnostics")).includes("this project's powers/power.cpp defines it"),
      "a main module compiled as the whole program says where power() is");
const refetched = server.served.slice(beforeReload).filter((path) => path.endsWith(".gz"));
check(refetched.length === 0, `after a reload the compiler comes from Cache Storage${refetched.length ? ": fetched " + refetched.join(", ") : ""}`);
await page.selectOption("#parts", "main");
r = await mine("my_powers.cpp", readFileSync(join(source, "tests/docs/my_powers.cpp"), "utf8"), "own");
check(r.summary === "5 passed, 0 failed", "a powers main module linked with power.cpp passes the own cases");
r = await mine("powers.c", readFileSync(join(source, "tests/class/powers/submissions/ivy/powers.c"), "utf8"), "own");
check(r.summary === "compile error: power() is not defined" && (await page.textContent("#diagnostics")).includes("which is C++"),
      "a C main module linked with the C++ power.cpp is told that C cannot call it");
await page.selectOption("#parts", "whole");

// The kept wrong versions, made in the background, compiled in the page as one file each:
// the page's verdict is the checker's, for each.
const flatten = (copy, file, seen) => readFileSync(join(copy, file), "utf8")
  .replace(/^#include "([^"]+)".*\n/gm, (_, header) => {
    const path = join(dirname(file), header);
    if (seen.has(path)) return "";
    seen.add(path);
    return flatten(copy, path, seen).replace(/^#pragma once\n/m, "");
  });
let same = 0, edits = 0;
for (const { program, name, dir: folder, made: done } of wrongs) {
  if (await page.inputValue("#program") !== program)
    await page.selectOption("#program", program);
  await done;
  const { main, modules = [] } = facts.find((p) => p.name === program);
  const seen = new Set();
  const flat = [main, ...modules].map((f) => flatten(join(folder, "copy"), `${program}/${f}`, seen)).join("\n");
  const { summary, report } = await mine(`${program}.cpp`, flat);
  const native = readFileSync(join(folder, "native"), "utf8");
  const nativeLast = native.split("\n").filter((l) => /^\d+ passed, \d+ failed/.test(l)).pop();
  // The cause of undefined behaviour or a crash, where the checker names one: the same words.
  const cause = (text) => /: ((?:undefined behaviour|crashed): [^\n]*)/.exec(text)?.[1];
  edits++;
  if (summary === nativeLast && (!cause(native) || cause(native) === cause(report))) same++;
  else console.log(`${program}/${name}: the page says ${summary} ${cause(report)}, the checker ${nativeLast} ${cause(native)}`);
  if (name === "disks-not-taken.edit")
    check(cause(report)?.startsWith("crashed: the stack ran out") && !/RuntimeError|RangeError/.test(report),
          "an endless recursion: the stack ran out, in plain words");
}
check(same === edits && edits > 50, `the page's verdict and cause on each kept wrong version are the checker's (${same} of ${edits})`);
await page.close();

// ---- A class, graded natively and in the page ------------------------------------------
// The class under tests/class/powers: graded by checker/grade.cmake, its JUnit files read
// by the tools instructors use; then the same class, as a course site's .zip, in the page.
{
  const submissions = join(source, "tests/class/powers/submissions");
  const reports = join(work, "reports");
  const nativeStarted = Date.now();
  execFileSync("cmake", ["-D", "JOBS=2", "-P", join(source, "checker/grade.cmake"), "powers", submissions, reports],
               { stdio: "ignore" });
  const nativeMs = Date.now() - nativeStarted;
  const expected = readFileSync(join(source, "tests/class/powers/class.csv"), "utf8");
  const students = expected.trim().split("\n").slice(1).map((line) => {
    const [, student, built, passed, failed] = /^"((?:[^"]|"")*)",(\w+),(\d+),(\d+)/.exec(line);
    return { student: student.replace(/""/g, '"'), built, passed, failed };
  });
  check(readFileSync(join(reports, "class.csv"), "utf8") === expected, "grade.cmake: class.csv as expected");
  const xmls = readdirSync(reports).filter((f) => f.endsWith(".xml"));
  const tools = join(source, "tests/web/node_modules/.bin");
  execFileSync(join(tools, "jrm"), [join(work, "merged.xml"), ...xmls.map((f) => join(reports, f))], { stdio: "ignore" });
  const suites = [...readFileSync(join(work, "merged.xml"), "utf8").matchAll(/<testsuite [^>]*name="([^"]*)"/g)].map((m) => m[1]);
  check(suites.length === students.length && new Set(suites).size === students.length,
        `junit-report-merger keeps the ${students.length} students apart (${new Set(suites).size} suites)`);
  execFileSync(join(tools, "xunit-viewer"), ["-r", reports, "-o", join(work, "viewer.html")], { stdio: "ignore" });
  const viewer = await browser.newPage();
  await viewer.goto(`file://${join(work, "viewer.html")}`);
  await viewer.waitForFunction(() => document.body.innerText.includes(".powers"));
  const shown = await viewer.evaluate(() => document.body.innerText);
  await viewer.close();
  // Its header counts the suites it tells apart: one per student.
  const [, apart] = /SUITES\s+\d+\s*\/\s*(\d+)/.exec(shown) ?? [];
  check(Number(apart) === students.length, `xunit-viewer tells the ${students.length} students apart (${apart} suites)`);
  const parsed = execFileSync("/usr/bin/python3", ["-c", `import sys, junitparser
for f in sys.argv[1:]:
    for suite in junitparser.JUnitXml.fromfile(f):
        print(suite.name, suite.tests, suite.failures, suite.skipped)`, ...xmls.map((f) => join(reports, f))], { encoding: "utf8" });
  check(parsed.trim().split("\n").length === students.length, "python3-junitparser reads every student's report");

  // The page: the same class as a .zip of its folder, graded in the browser.
  const files = {};
  const walk = (folder, into) => {
    for (const f of readdirSync(folder, { withFileTypes: true }))
      if (f.isDirectory()) walk(join(folder, f.name), `${into}${f.name}/`);
      else files[`${into}${f.name}`] = readFileSync(join(folder, f.name));
  };
  walk(submissions, "class-export/");
  const { zipSync } = await import(join(source, "web/node_modules/fflate/esm/index.mjs"));
  writeFileSync(join(work, "class.zip"), zipSync(files));
  const p = await open(`${url}#powers`, { width: 1280, height: 900 });
  await p.setInputFiles("#class-files", join(work, "class.zip"));
  // How late the page answers meanwhile: the longest a 10 ms timer waits past its time.
  await p.evaluate(() => {
    let due = performance.now() + 10;
    window.latest = 0;
    window.probe = setInterval(() => {
      window.latest = Math.max(window.latest, performance.now() - due);
      due = performance.now() + 10;
    }, 10);
  });
  await p.click("#class-check");
  await p.waitForFunction(() => / graded/.test(document.querySelector("#class-progress").textContent), null, { timeout: 300000 });
  console.log(`a class of ${students.length}: grade.cmake -D JOBS=2 in ${nativeMs} ms, the page in ` +
              `${await p.getAttribute("body", "data-class-ms")} ms, answering within ` +
              `${Math.round(await p.evaluate(() => { clearInterval(window.probe); return window.latest; }))} ms meanwhile`);
  const rows = await p.$$eval("#class-table tbody tr", (trs) => trs.map((tr) => ({ ...tr.dataset })));
  const differ = students.filter((s, i) => rows[i]?.student !== s.student || rows[i].passed !== s.passed || rows[i].failed !== s.failed);
  check(rows.length === students.length && differ.length === 0,
        `the page grades the class as grade.cmake does, student by student, in ${await p.getAttribute("body", "data-class-ms")} ms` +
        (differ.length ? `: not ${differ.map((d) => d.student).join(", ")}` : ""));
  const csv = await p.evaluate(async () => (await fetch(document.getElementById("class-csv").href)).text());
  check(csv === expected, "the page's class.csv is grade.cmake's");
  // Each JUnit file is grade.cmake's but for the times (the page times no case) and, for a
  // version not built, what the compiler said.
  const zipped = await p.evaluate(async () => [...new Uint8Array(await (await fetch(document.getElementById("class-junit").href)).arrayBuffer())]);
  const { unzipSync, strFromU8 } = await import(join(source, "web/node_modules/fflate/esm/index.mjs"));
  const timeless = (xml) => xml.replace(/ time="[0-9.]+"/g, "");
  const junits = Object.entries(unzipSync(Uint8Array.from(zipped)));
  const unlike = junits.filter(([name, bytes]) => !readFileSync(join(reports, name), "utf8").includes("was not built") &&
                                                timeless(strFromU8(bytes)) !== timeless(readFileSync(join(reports, name), "utf8")));
  check(junits.length === students.length && unlike.length === 0,
        `the page's JUnit files are grade.cmake's (${junits.length} files${unlike.length ? `; not ${unlike.map(([n]) => n).join(", ")}` : ""})`);
  await p.click(`#class-table tr[data-student="eve"] button`);
  check((await p.textContent("#class-report")).startsWith("eve: powers was not built: it does not compile") &&
        (await p.textContent("#class-source")).includes("int m = 0\n"), "a row opens that student's report and source");
  await accessible(p, "with a class graded");
  await p.close();
}

// ---- How fast, as the user sees it ----------------------------------------------------------
for (const [name, viewport, slowdown] of [["desktop", { width: 1366, height: 900 }, 1],
                                          ["phone, 4x slower CPU", { width: 390, height: 844 }, 4]]) {
  const p = await open(`${url}#towers`, viewport, slowdown);
  const ready = await p.getAttribute("body", "data-ready-ms");
  // Input and Run in the first screen, whichever version is chosen.
  const runAt = () => p.evaluate(() => Math.round(document.getElementById("run").getBoundingClientRect().bottom));
  const atFirst = await runAt();
  await p.check("input[name=which][value=mine]");
  const atMine = await runAt();
  await p.check("input[name=which][value=example]");
  check(atFirst <= viewport.height && atMine <= viewport.height,
        `${name}: Run is in the first screen (its bottom edge at ${atFirst} px, ${atMine} px with your version chosen)`);
  await p.fill("#input", "20\n");
  await run(p);
  console.log(`${name}: ready ${ready} ms after navigation began; towers 20 from Run to output painted ` +
              `${await p.getAttribute("body", "data-run-ms")} ms`);
  await p.close();
}

await slowLink;
check(stale.length === 0 && endings > 100, `no status is left after its job ended, in ${endings} endings${stale.length ? ": " + stale.join(", ") : ""}`);
await browser.close();
server.close();
rmSync(work, { recursive: true, force: true });
console.log(`${failures === 0 ? "browser test passed" : `browser test: ${failures} failed`}`);
process.exit(failures === 0 ? 0 : 1);
