// Times the page as its user meets it, in Debian's Chromium, served from 127.0.0.1:
// its size, time to ready, towers 20 from Run to output painted, on a desktop and on a
// phone-sized screen with the CPU 4x slower; the compiler's size, the first compile
// (fetching the compiler included: how many bytes the server sent), the first compile after
// a while in the editor and after a reload, later compiles, and checking the default cases (behaviour and generated).
//   node bench/page.mjs SITE [runs]    (after npm ci in tests/web)
import { readFileSync, readdirSync } from "node:fs";
import { gzipSync } from "node:zlib";
import { join, resolve } from "node:path";
import { tmpdir } from "node:os";
import { createRequire } from "node:module";

const dir = resolve(process.argv[2] ?? "build/web/site");
const runs = Number(process.argv[3] ?? 5);
const source = resolve(new URL("..", import.meta.url).pathname);
const require = createRequire(join(source, "tests/web/package.json"));
const { chromium } = require("playwright-core");
const { launch, serve } = await import(join(source, "tests/web/serve.mjs"));
const median = (xs) => [...xs].sort((a, b) => a - b)[Math.floor(xs.length / 2)];
const kb = (n) => `${(n / 1024).toFixed(0)} KB`;

const page = readFileSync(join(dir, "index.html"));
console.log(`page: ${kb(page.length)}, ${kb(gzipSync(page, { level: 9 }).length)} gzipped`);
const clang = readdirSync(join(dir, "clang")).map((f) => readFileSync(join(dir, "clang", f)));
console.log(`compiler: ${(clang.reduce((n, f) => n + f.length, 0) / 1e6).toFixed(1)} MB as served, packed`);

const server = await serve(dir);
const url = `http://127.0.0.1:${server.address().port}/index.html`;
const browser = await launch(chromium);
async function open(viewport, slowdown, hash = "#towers") {
  const context = await browser.newContext({ viewport });
  const p = await context.newPage();
  if (slowdown > 1)
    await (await context.newCDPSession(p)).send("Emulation.setCPUThrottlingRate", { rate: slowdown });
  await p.goto(url + hash);
  await p.waitForSelector("body[data-ready=yes]");
  return p;
}
const done = (p) => p.waitForFunction(() => !document.querySelector("#run").disabled, null, { timeout: 180000 });

for (const [name, viewport, slowdown] of [["desktop", { width: 1280, height: 800 }, 1],
                                          ["phone 390x844, CPU 4x slower", { width: 390, height: 844 }, 4]]) {
  const ready = [], editor = [], painted = [];
  for (let i = 0; i < runs; i++) {
    const p = await open(viewport, slowdown);
    ready.push(Number(await p.getAttribute("body", "data-ready-ms")));
    editor.push(Number(await p.getAttribute("body", "data-editor-ms")));
    await p.fill("#input", "20\n");
    await p.click("#run");
    await done(p);
    painted.push(Number(await p.getAttribute("body", "data-run-ms")));
    await p.context().close();
  }
  console.log(`${name}: first screen painted ${median(ready)} ms, the editor there ${median(editor)} ms, ` +
              `towers 20 from Run to painted ${median(painted)} ms (median of ${runs}; painted ${ready.join(" ")})`);
}

// Compiles: the first in a fresh browser context (nothing cached), clicked at once; the
// first after the student has been in the editor for 20 s (the compiler loads and warms up
// meanwhile); the first after a reload (what the browser kept), at once and 10 s after it;
// then later ones.
const versions = join(source, "tests/web/versions");
const iostream = join(versions, "towers_iostream.cpp");
let p = null;
const cold = [], warmed = [], reloaded = [], returned = [], sent = [];
for (let i = 0; i < runs; i++) {
  p = await open({ width: 1280, height: 800 }, 1);
  const before = server.sent;
  cold.push((await compileAndCheck(iostream)).compile);
  sent.push(server.sent - before);
  await kept(); // a reload at once would find the compiler still being written to the cache
  await p.reload();
  await p.waitForSelector("body[data-ready=yes]");
  reloaded.push((await compileAndCheck(iostream)).compile);
  await p.reload(); // a student back at their version, who compiles 10 s later
  await p.waitForSelector("body[data-ready=yes]");
  await p.waitForTimeout(10000);
  returned.push((await compileAndCheck(iostream)).compile);
  await p.context().close();
  p = await open({ width: 1280, height: 800 }, 1);
  await p.check("input[name=which][value=mine]");
  await p.click("#mine-editor .cm-content");
  await p.waitForTimeout(20000);
  warmed.push((await compileAndCheck(iostream)).compile);
  await p.context().close();
}
console.log(`first compile with <iostream>, the compiler fetched from the server (${(median(sent) / 1e6).toFixed(1)} MB sent): ` +
            `${median(cold)} ms (${cold.join(" ")}); after 20 s in the editor: ${median(warmed)} ms (${warmed.join(" ")}); ` +
            `after a reload: ${median(reloaded)} ms (${reloaded.join(" ")}), 10 s after one: ${median(returned)} ms ` +
            `(${returned.join(" ")}) (medians of ${runs})`);
p = await open({ width: 1280, height: 800 }, 1);
// Until Cache Storage holds the compiler (the page's worker writes it once it is not busy).
function kept() {
  return p.waitForFunction(async () => {
    for (const name of await caches.keys()) {
      const cache = await caches.open(name);
      if (await cache.match(new URL("clang/llvm.core.wasm", location.href)) &&
          await cache.match(new URL("clang/llvm-resources.tar", location.href)))
        return true;
    }
    return false;
  }, null, { timeout: 60000, polling: 250 });
}
async function compileAndCheck(file) {
  await p.check("input[name=which][value=mine]"); // its editor and its Compile and check shown
  await p.setInputFiles("#mine-file", file);
  await p.evaluate(() => { document.querySelector("#mine-summary").textContent = ""; });
  const started = Date.now();
  await p.click("#mine-check");
  await p.waitForFunction(() => / passed|compile error/.test(document.querySelector("#mine-summary").textContent),
                          null, { timeout: 180000 });
  await done(p);
  return { total: Date.now() - started, compile: Number(await p.getAttribute("body", "data-compile-ms")),
           check: Number(await p.getAttribute("body", "data-check-ms")),
           summary: await p.textContent("#mine-summary") };
}
const first = await compileAndCheck(join(source, "tests/docs/my_towers.cpp"));
console.log(`first compile, the compiler fetched: ${first.compile} ms; the default cases (behaviour and generated) checked in ` +
            `${first.check} ms (${first.summary})`);
for (const [name, file] of [["<cstdio>", join(source, "tests/docs/my_towers.cpp")],
                            ["sort's <cstdio>, <string>, <vector>, <algorithm>", join(source, "sort/main.cpp")],
                            ["<iostream>", join(versions, "towers_iostream.cpp")],
                            ["C, <stdio.h>", join(versions, "towers.c")]]) {
  const times = [], checks = [];
  for (let i = 0; i < runs; i++) {
    // A change each time, so that nothing is reused.
    const text = readFileSync(file, "utf8") + `\n// ${i}\n`;
    const copy = join(tmpdir(), `bench-${process.pid}-${i}${file.endsWith(".c") ? ".c" : ".cpp"}`);
    (await import("node:fs")).writeFileSync(copy, text);
    const r = await compileAndCheck(copy);
    (await import("node:fs")).rmSync(copy);
    times.push(r.compile);
    checks.push(r.check);
  }
  // The first of a file compiles its headers; the worker then precompiles them.
  console.log(`later compiles with ${name}: ${median(times)} ms (median of ${runs}: ${times.join(" ")}); ` +
              `checking the default cases ${median(checks)} ms`);
}
await browser.close();
server.close();
