// Makes the page that runs the programs in a browser: one self-contained HTML
// file with the programs built for WebAssembly, their sources, the demo's
// sample inputs and every case, all taken from the project's own files, with the editor bundled in; and beside it, in clang/,
// the compiler that the page loads on the first compile of a student's version,
// pruned to what WebAssembly programs need.
//   node web/make_page.mjs SOURCE_DIR WASM_DIR OUTPUT.html
// It needs web/node_modules (npm ci in web/).
import { readFileSync, readdirSync, existsSync, writeFileSync, mkdirSync, copyFileSync } from "node:fs";
import { createRequire } from "node:module";
import { gzipSync } from "node:zlib";
import { dirname, join } from "node:path";

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

// What each program shows, from the README's table of programs.
const shows = new Map([...text("README.md").matchAll(/^\| `(\w+)` \|[^|]*\|[^|]*\| ([^|]*) \|$/gm)]
  .map(([, name, what]) => [name, what.trim().replace(/`/g, "")]));

for (const p of programs) {
  p.shows = shows.get(p.name) ?? "";
  p.modules = ["powers", "strip_char"].includes(p.name); // a main module and others, linked
  // Its source files: the lesson (the module with main) first, the other modules,
  // their headers, the reading header last, then a header it includes from another folder.
  const files = readdirSync(join(source, p.name)).filter((f) => /\.(cpp|h)$/.test(f)).sort();
  const rank = (f) => (/\bint main\(/.test(text(`${p.name}/${f}`)) ? 0
                       : f === "read_input.h" ? 3 : f.endsWith(".cpp") ? 1 : 2);
  files.sort((x, y) => rank(x) - rank(y));
  p.sources = files.map((f) => ({ name: `${p.name}/${f}`, text: text(`${p.name}/${f}`) }));
  for (const [, include] of p.sources.map((s) => s.text).join("\n").matchAll(/#include "\.\.\/([^"]+)"/g))
    p.sources.push({ name: include, text: text(include) });
  p.wasm = base64(gzipSync(readFileSync(join(wasmDir, `${p.name}.wasm`)), { level: 9 }));
  p.cases = [];
  for (const kind of ["behaviour", "own", "refusal"]) {
    const dir = join(source, "checker/cases", p.name, kind);
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

const modules = join(source, "web/node_modules");
if (!existsSync(join(modules, "esbuild")))
  throw new Error(`${modules}: missing; run npm ci in web/ first`);
const require = createRequire(join(source, "web/package.json"));
const esbuild = require("esbuild");

// The editor and the report, bundled: the page's one script of its own besides this data.
const bundle = esbuild.buildSync({
  stdin: { contents: 'export * as Editor from "./editor.mjs"; export * as Report from "./report.mjs";',
           resolveDir: join(source, "web"), loader: "js" },
  bundle: true, minify: true, format: "iife", globalName: "Page", write: false, legalComments: "none",
  nodePaths: [modules],
}).outputFiles[0].text;

// The compiler, pruned: the headers and libraries of the other targets it carries are
// most of its resource archive, and no program here can use them.
const compiler = join(modules, "@yowasp/clang/gen");
const clangDir = join(dirname(output), "clang");
mkdirSync(clangDir, { recursive: true });
for (const f of readdirSync(compiler).filter((f) => f.endsWith(".wasm")))
  copyFileSync(join(compiler, f), join(clangDir, f));
// Its file system in memory copies the whole file on every write, so that writing a
// precompiled header (9 MB, 4 KB a write) took longer than making it: grow it by doubling.
const slowWrite = `  write(contents) {
    const offset = Number(this.offset);
    const newData = new Uint8Array(Math.max(this.file.data.length, offset + contents.length));
    newData.set(this.file.data);
    newData.subarray(offset).set(contents);
    this.file.data = newData;
    this.offset += BigInt(contents.length);
  }`;
const fastWrite = `  write(contents) {
    const offset = Number(this.offset), file = this.file;
    const length = Math.max(file.data.length, offset + contents.length);
    if (file.data.buffer !== file.grown || file.data.byteOffset !== 0 || file.grown.byteLength < length) {
      const grown = new Uint8Array(Math.max(length, 2 * file.data.length, 65536));
      grown.set(file.data);
      file.grown = grown.buffer;
    }
    file.data = new Uint8Array(file.grown, 0, length);
    file.data.set(contents, offset);
    this.offset += BigInt(contents.length);
  }`;
const runtime = readFileSync(join(compiler, "bundle.js"), "utf8");
if (runtime.split(slowWrite).length !== 2)
  throw new Error(`${join(compiler, "bundle.js")}: its file write is not the one this script mends`);
writeFileSync(join(clangDir, "bundle.js"), runtime.replace(slowWrite, () => fastWrite));
copyFileSync(join(source, "web/compile-worker.mjs"), join(clangDir, "worker.mjs"));
const unneeded = new RegExp("^(share/|include/(c\\+\\+/v1/__cxx03/|sanitizer/|cuda_wrappers/|openmp_wrappers/|" +
  "ppc_wrappers/|llvm_libc_wrappers/|profile/|orc/|xray/|fuzzer/)|include/[^/]*(intrin|avx|sse|mmx|altivec|" +
  "hexagon|hvx|arm_|opencl|cuda|hip|amx|ppc|riscv|lasx|lsx|s390|msa|sifive|_cmath|vecintrin|larchintrin|" +
  "htm|velintrin|nvptx|spirv|gpu)[^/]*$|lib/.*\\.so$|lib/wasm32-unknown-wasip1/libclang_rt\\.profile)");
const tar = readFileSync(join(compiler, "llvm-resources.tar"));
const kept = [];
for (let at = 0; at + 512 <= tar.length;) {
  const header = tar.subarray(at, at + 512);
  if (header.every((b) => b === 0))
    break;
  const field = (from, length) => header.subarray(from, from + length).toString("latin1").replace(/\0.*$/s, "");
  const name = (field(345, 155) ? field(345, 155) + "/" : "") + field(0, 100);
  const size = parseInt(field(124, 12).trim() || "0", 8);
  const end = at + 512 + Math.ceil(size / 512) * 512;
  if (!unneeded.test(name))
    kept.push(tar.subarray(at, end));
  at = end;
}
kept.push(Buffer.alloc(1024));
writeFileSync(join(clangDir, "llvm-resources.tar"), Buffer.concat(kept));

// The WASI host, as the tests use it, becomes part of the page's worker.
const host = text("web/wasi.mjs").replace(/^export /gm, "");
// The one compile line a student's version is built with, here and natively.
const flags = Object.fromEntries(text("checker/flags.txt").trim().split("\n").map((line) => {
  const [language, ...words] = line.split(/\s+/);
  return [language, words];
}));
const page = text("web/page.html")
  .replace("/*HOST*/", () => host)
  .replace("/*FLAGS*/", () => JSON.stringify(flags))
  .replace("/*BUNDLE*/", () => bundle.replace(/<\/script/gi, "<\\/script"))
  .replace("/*PROGRAMS*/", () => JSON.stringify(programs).replace(/</g, "\\u003c"));
writeFileSync(output, page);
console.log(`${output}: ${programs.length} programs, ${programs.reduce((n, p) => n + p.cases.length, 0)} cases, ${page.length} bytes`);
