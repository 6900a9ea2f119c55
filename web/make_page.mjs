// Makes the page that runs the programs in a browser: one self-contained HTML
// file with the programs built for WebAssembly, their sources, the demo's
// sample inputs and every case, all taken from the project's own files.
//   node web/make_page.mjs SOURCE_DIR WASM_DIR OUTPUT.html
import { readFileSync, readdirSync, existsSync, writeFileSync } from "node:fs";
import { join } from "node:path";

const [source, wasmDir, output] = process.argv.slice(2);
const text = (path) => readFileSync(join(source, path), "utf8");
const base64 = (bytes) => Buffer.from(bytes).toString("base64");

// The programs, their one-line descriptions and sample inputs, as the demo has them:
// show(<program> "<what it does>" [INPUT "<text>"] [ARGS "<argument>"...])
const programs = [];
for (const [, name, about, rest] of text("demo/demo.cmake").matchAll(/^show\((\w+) "([^"]*)"(.*?)\)$/gms)) {
  const input = /INPUT "((?:[^"\\]|\\.)*)"/.exec(rest);
  const args = /ARGS (.*)/s.exec(rest);
  programs.push({
    name,
    about,
    input: input ? input[1].replace(/\\n/g, "\n") : "",
    args: args ? [...args[1].matchAll(/"([^"]*)"/g)].map((m) => m[1]) : [],
  });
}

for (const p of programs) {
  // Its source files: the lesson (the module with main) first, the other modules,
  // their headers, the reading header last, then a header it includes from another folder.
  const files = readdirSync(join(source, p.name)).filter((f) => /\.(cpp|h)$/.test(f)).sort();
  const rank = (f) => (/\bint main\(/.test(text(`${p.name}/${f}`)) ? 0
                       : f === "read_input.h" ? 3 : f.endsWith(".cpp") ? 1 : 2);
  files.sort((x, y) => rank(x) - rank(y));
  p.sources = files.map((f) => ({ name: `${p.name}/${f}`, text: text(`${p.name}/${f}`) }));
  for (const [, include] of p.sources.map((s) => s.text).join("\n").matchAll(/#include "\.\.\/([^"]+)"/g))
    p.sources.push({ name: include, text: text(include) });
  p.wasm = base64(readFileSync(join(wasmDir, `${p.name}.wasm`)));
  p.cases = [];
  for (const kind of ["behaviour", "own", "refusal"]) {
    const dir = join(source, "tests/cases", p.name, kind);
    if (!existsSync(dir))
      continue;
    for (const out of readdirSync(dir).filter((f) => f.endsWith(".out")).sort()) {
      const name = out.slice(0, -4);
      const file = (ending) => (existsSync(join(dir, name + ending)) ? readFileSync(join(dir, name + ending)) : null);
      const args = file(".args");
      p.cases.push({
        kind,
        name,
        in: base64(file(".in") ?? []),
        out: base64(file(".out")),
        err: base64(file(".err") ?? []),
        args: args === null || args.length === 0 ? [] : args.toString("utf8").replace(/\n$/, "").split("\n"),
      });
    }
  }
}

// The WASI host, as the tests use it, becomes part of the page's worker.
const host = text("web/wasi.mjs").replace(/^export /gm, "");
const page = text("web/page.html")
  .replace("/*HOST*/", () => host)
  .replace("/*PROGRAMS*/", () => JSON.stringify(programs).replace(/</g, "\\u003c"));
writeFileSync(output, page);
console.log(`${output}: ${programs.length} programs, ${programs.reduce((n, p) => n + p.cases.length, 0)} cases, ${page.length} bytes`);
