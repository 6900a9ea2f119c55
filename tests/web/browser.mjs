// The page in a real browser: Debian's Chromium, headless, driven through the
// page's own controls, with the page loaded from a static server on 127.0.0.1
// and from the file system.
//   node tests/web/browser.mjs BUILD_DIR     (BUILD_DIR holds index.html)
// Screenshots of towers and culprit_bits go to BUILD_DIR. Exits 1 on a failure.
import { createServer } from "node:http";
import { readFileSync } from "node:fs";
import { join, resolve } from "node:path";
import { chromium } from "playwright-core";

const dir = resolve(process.argv[2]);
const pageFile = join(dir, "index.html");
let failures = 0;
function check(ok, what) {
  console.log(`${ok ? "pass" : "FAIL"} ${what}`);
  if (!ok)
    failures++;
}

const server = createServer((request, response) => {
  response.setHeader("Content-Type", "text/html; charset=utf-8");
  response.end(readFileSync(pageFile));
});
await new Promise((done) => server.listen(0, "127.0.0.1", done));

const browser = await chromium.launch({
  executablePath: process.env.CHROMIUM ?? "/usr/bin/chromium",
  args: ["--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
         "--disable-background-networking", "--disable-component-update", "--disable-sync"],
});

for (const [origin, url] of [["server", `http://127.0.0.1:${server.address().port}/index.html`],
                             ["file", `file://${pageFile}`]]) {
  const page = await browser.newPage({ viewport: { width: 390, height: 844 } }); // a phone's screen
  const started = Date.now();
  await page.goto(url);
  await page.waitForSelector("body[data-ready=yes]");
  console.log(`${origin}: ready ${await page.getAttribute("body", "data-ready-ms")} ms after navigation began ` +
              `(${Date.now() - started} ms with the browser's own start-up)`);

  const choose = (program) => page.selectOption("#program", program);
  const run = async () => {
    await page.click("#run");
    await page.waitForFunction(() => !document.querySelector("#run").disabled);
    return page.evaluate(() => ({
      out: document.querySelector("#stdout").textContent,
      info: document.querySelector("#stdout-info").textContent,
      err: document.querySelector("#stderr").textContent,
      status: document.querySelector("#status").textContent,
      verdict: document.querySelector("#verdict").textContent,
    }));
  };

  await choose("towers");
  await page.fill("#input", "3\n");
  let r = await run();
  check(r.out === "\nInput the number of disks:\nThe step to moving   3 disks:\n\nA --> C\nA --> B\nC --> B\n" +
        "A --> C\nB --> A\nB --> C\nA --> C" && r.status === "0", `${origin}: towers 3`);
  if (origin === "server")
    await page.screenshot({ path: join(dir, "towers.png"), fullPage: true });

  await page.fill("#input", "20\n");
  r = await run();
  // The prompt (27 bytes), the heading (31) and 2^20 - 1 moves of 8 bytes each.
  check(r.info === `(${58 + 8 * (2 ** 20 - 1)} bytes, ends without a newline)` && r.status === "0",
        `${origin}: towers 20, from Run to output shown in ${await page.getAttribute("body", "data-run-ms")} ms`);

  await page.fill("#input", "63\n");
  r = await run();
  check(r.err === "towers: write error\n" && r.status === "1", `${origin}: towers 63 stops at the output cap`);

  await choose("quadroots");
  await page.fill("#input", "1 x 2\n");
  r = await run();
  check(r.err === "quadroots: expected three numbers\n" && r.status === "1" && r.out === "",
        `${origin}: a refusal shows standard error and status 1`);

  await choose("Test");
  await page.fill("#args", "\n是");
  r = await run();
  check(r.out === "Total parameter are: 3\n\nargv[0]= Test\nargv[1]= \nargv[2]= 是", `${origin}: Test with an empty and a 是 argument`);

  // Every case of every program, through the case menu.
  let cases = 0, passed = 0;
  for (const program of await page.$$eval("#program option", (options) => options.map((o) => o.value))) {
    await choose(program);
    const indexes = await page.$$eval("#case option", (options) => options.map((o) => o.value).filter((v) => v !== ""));
    for (const index of indexes) {
      await page.selectOption("#case", index);
      await page.waitForFunction(() => /^(PASS|FAIL|Stopped)/.test(document.querySelector("#verdict").textContent));
      const verdict = await page.textContent("#verdict");
      cases++;
      if (verdict.startsWith("PASS"))
        passed++;
      else
        console.log(verdict);
    }
    if (program === "culprit_bits" && origin === "server") {
      await page.selectOption("#case", indexes[indexes.length - 1]);
      await page.waitForFunction(() => /^PASS/.test(document.querySelector("#verdict").textContent));
      await page.screenshot({ path: join(dir, "culprit_bits.png"), fullPage: true });
    }
  }
  check(cases > 200 && passed === cases, `${origin}: ${passed} of ${cases} cases pass through the case menu`);
  await page.close();
}

await browser.close();
server.close();
console.log(`${failures === 0 ? "browser test passed" : `browser test: ${failures} failed`}`);
process.exit(failures === 0 ? 0 : 1);
