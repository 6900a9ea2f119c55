// The page in a real browser: Debian's Chromium, headless, driven through the
// page's own controls, with the page served from 127.0.0.1 (as a course hosts it)
// and opened from the file system.
//   node tests/web/browser.mjs BUILD_DIR     (BUILD_DIR holds index.html and clang/)
// Screenshots of towers and culprit_bits go to BUILD_DIR. Exits 1 on a failure.
import { execFileSync } from "node:child_process";
import { mkdirSync, mkdtempSync, readFileSync, readdirSync, rmSync, writeFileSync } from "node:fs";
import { tmpdir } from "node:os";
import { dirname, join, resolve } from "node:path";
import { fileURLToPath } from "node:url";
import { chromium } from "playwright-core";
import { launch, serve } from "./serve.mjs";

const dir = resolve(process.argv[2]);
const source = resolve(dirname(fileURLToPath(import.meta.url)), "../..");
// The one compile line (checker/flags.txt): its words for "c++", "c" or "link".
const compileLine = (what) => readFileSync(join(source, "checker/flags.txt"), "utf8")
  .split("\n").find((line) => line.startsWith(what + " ")).split(/\s+/).slice(1);
const work = mkdtempSync(join(tmpdir(), "browser-"));
let failures = 0;
function check(ok, what) {
  console.log(`${ok ? "pass" : "FAIL"} ${what}`);
  if (!ok)
    failures++;
}

const server = await serve(dir);
const url = `http://127.0.0.1:${server.address().port}/index.html`;
const browser = await launch(chromium);
const axe = readFileSync(join(source, "tests/web/node_modules/axe-core/axe.min.js"), "utf8");

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
const settled = (page) => page.waitForFunction(() => !document.querySelector("#run").disabled, null, { timeout: 180000 });
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
    await page.screenshot({ path: join(dir, "towers.png"), fullPage: true });
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
  check(r.stderr === "towers: write error\n" && r.status === "1", `${origin}: towers 63 stops at the output cap`);

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

  // Every case of every program, checked as the checker does.
  let checked = 0;
  for (const program of await page.$$eval("#program option", (options) => options.map((o) => o.value))) {
    await choose(program);
    await page.selectOption("#kind", "all");
    await page.click("#check");
    await settled(page);
    const last = (await page.textContent("#report")).split("\n").pop();
    const [, passed, failed] = /^(\d+) passed, (\d+) failed$/.exec(last) ?? [];
    checked += Number(passed);
    if (failed !== "0")
      console.log(await page.textContent("#report"));
    if (program === "culprit_bits" && origin === "server") {
      await page.screenshot({ path: join(dir, "culprit_bits.png"), fullPage: true });
      await accessible(page, "with a report");
    }
  }
  check(checked > 200, `${origin}: every case of every program passes (${checked})`);
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
async function mine(file, text, kind = "behaviour") {
  writeFileSync(join(work, file), text);
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
const versions = (name) => readFileSync(join(source, "tests/web/versions", name), "utf8");
let r = await mine("towers.c", versions("towers.c"));
check(r.summary === "10 passed, 0 failed", `towers in C passes every behaviour case (first compile and check: ${r.ms} ms)`);
r = await mine("towers.cpp", versions("towers_iostream.cpp"));
check(r.summary === "10 passed, 0 failed", `towers in C++ with iostreams passes every behaviour case (${r.ms} ms)`);
r = await mine("towers.c", versions("towers.c").replace("moving %3d disks", "moving   %d disks"));
check(r.summary === "9 passed, 1 failed" && r.report.includes(`FAIL towers/behaviour/ten-disks: standard output differs at line 3, column 21:
    expected "The step to moving  10 disks:\\n"
    actual   "The step to moving   10 disks:\\n"
                                  ^
    input    checker/cases/towers/behaviour/ten-disks.in`), "a heading of the wrong width fails ten-disks, as the checker says");
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
check(/did not finish within 10 seconds[\s\S]*9 skipped$/.test(r.report) && Date.now() - started < 20000,
      `a version that hangs is stopped, the rest skipped (${Date.now() - started} ms)`);
await page.reload();
await page.waitForSelector("body[data-ready=yes]");
check((await page.textContent("#mine-editor .cm-content")).includes("for (;;)"), "your text survives a reload");

await page.selectOption("#program", "powers");
await page.selectOption("#parts", "main");
r = await mine("my_powers.cpp", readFileSync(join(source, "tests/docs/my_powers.cpp"), "utf8"), "own");
check(r.summary === "5 passed, 0 failed", "a powers main module linked with power.cpp passes the own cases");
await page.selectOption("#parts", "whole");

// The kept wrong versions: the page's verdict is the checker's, for each.
const flatten = (file, seen = new Set()) => readFileSync(join(work, "copy", file), "utf8")
  .replace(/^#include "([^"]+)".*\n/gm, (_, header) => {
    const path = join(dirname(file), header);
    if (seen.has(path)) return "";
    seen.add(path);
    return flatten(path, seen).replace(/^#pragma once\n/m, "");
  });
let same = 0, edits = 0;
for (const program of readdirSync(join(source, "tests/wrong")).sort()) {
  await page.selectOption("#program", program);
  for (const name of readdirSync(join(source, "tests/wrong", program)).sort()) {
    rmSync(join(work, "copy"), { recursive: true, force: true });
    mkdirSync(join(work, "copy"));
    for (const folder of new Set([program, "culprit_bits"]))
      execFileSync("cp", ["-r", join(source, folder), join(work, "copy", folder)]);
    const edit = readFileSync(join(source, "tests/wrong", program, name), "utf8").replace(/^#.*\n/gm, "");
    for (const [, file, pairs] of edit.matchAll(/^in (\S+)\n([\s\S]*?)(?=^in |$(?![\s\S]))/gm)) {
      let text = readFileSync(join(work, "copy", file), "utf8");
      for (const [, find, replace] of pairs.matchAll(/^--- find\n([\s\S]*?)\n--- replace with\n([\s\S]*?)\n(?=--- find|$(?![\s\S]))/gm))
        text = text.replace(find, () => replace);
      writeFileSync(join(work, "copy", file), text);
    }
    const main = program === "powers" ? "powers/powers.cpp" : readdirSync(join(work, "copy", program))
      .map((f) => `${program}/${f}`).find((f) => f.endsWith(".cpp"));
    let flat = flatten(main);
    if (program === "powers")
      flat += flatten("powers/power.cpp", new Set(["powers/powers.h"]));
    writeFileSync(join(work, "flat.cpp"), flat);
    execFileSync("g++", [...compileLine("c++"), "-o", join(work, "flat"), join(work, "flat.cpp"), ...compileLine("link")]);
    let native = "";
    try {
      native = execFileSync("cmake", ["-P", join(source, "checker/check.cmake"), program, join(work, "flat")],
                            { encoding: "utf8", stdio: ["ignore", "pipe", "ignore"] });
    } catch (e) {
      native = e.stdout;
    }
    r = await mine(`${program}.cpp`, flat);
    const nativeLast = native.trim().split("\n").pop();
    edits++;
    if (r.summary === nativeLast) same++;
    else console.log(`${program}/${name}: the page says ${r.summary}, the checker ${nativeLast}`);
  }
}
check(same === edits && edits > 50, `the page's verdict on each kept wrong version is the checker's (${same} of ${edits})`);
await page.close();

// ---- How fast, as the user sees it ----------------------------------------------------------
for (const [name, viewport, slowdown] of [["desktop", { width: 1280, height: 900 }, 1],
                                          ["phone, 4x slower CPU", { width: 390, height: 844 }, 4]]) {
  const p = await open(`${url}#towers`, viewport, slowdown);
  const ready = await p.getAttribute("body", "data-ready-ms");
  await p.fill("#input", "20\n");
  await run(p);
  console.log(`${name}: ready ${ready} ms after navigation began; towers 20 from Run to output painted ` +
              `${await p.getAttribute("body", "data-run-ms")} ms`);
  await p.close();
}

await browser.close();
server.close();
rmSync(work, { recursive: true, force: true });
console.log(`${failures === 0 ? "browser test passed" : `browser test: ${failures} failed`}`);
process.exit(failures === 0 ? 0 : 1);
