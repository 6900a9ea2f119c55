// The compiler's worker: clang and lld built for WebAssembly (@yowasp/clang), loaded on
// the first compile from the folder beside it, and kept for the next.
//   post { id, tool: "clang" | "clang++", flags, link, sources, files }  ->  { id, progress: [done, total] }...,
//   { loaded: id } once the compiler is there, then { id, status, output, noMain, wasm }: the exit status, what the compiler wrote,
//   whether the program lacks `main`, and the program, linked with `link` (flags.txt's line).
//   post { id, symbolize: { wasm, offsets } }  ->  { id, symbols }: where a trap was (see symbols).
//   post { cancel: id }: that compile is not wanted any more.
// Parsing the C++ library's headers is most of a compile. So after compiling a C++ file,
// the worker precompiles the #include lines that the file opens with, and a later compile
// of a file that opens with the same ones starts from them: the same declarations in the
// same order, read in a fraction of the time.
// The compiler's files travel gzipped (FILE.gz), whatever the server does, and are
// unpacked here; where the browser keeps a cache for the page (Cache Storage, on https or
// localhost), they are kept unpacked, with the headers precompiled here, so that a reload
// does not fetch and unpack them again. make_page.mjs fills in PACKED (each file's packed
// size), AHEAD (openings precompiled when the page was made: opening lines -> file) and
// VERSION (what the cache is named after).
const PACKED = {/*PACKED*/};
const AHEAD = {/*AHEAD*/};
const VERSION = "/*VERSION*/";
let runClang = null, addr2line = null;
const precompiled = new Map(); // [flags, opening lines, files they read] as JSON -> the header made, or null
const HEADER = "opening-headers.h", PCH = "opening-headers.pch";
const base = new URL(".", self.location.href);
let cache = null;
let fetched = 0, job = 0;
let wanted = Object.values(PACKED).reduce((n, s) => n + s, 0); // bytes to fetch, as known so far

async function openCache() {
  try {
    cache ??= await caches.open(`compiler-${VERSION}`);
  } catch {
    cache = false; // no Cache Storage here: every load fetches
  }
  return cache || null;
}

// One of the compiler's files: kept, or fetched packed, counted, and unpacked.
async function fetchPacked(url) {
  const name = new URL(url, base).pathname.split("/").pop();
  const kept = await (await openCache())?.match(new URL(name, base)).catch(() => null);
  if (kept) {
    fetched += PACKED[name] ?? 0;
    progress();
    return kept;
  }
  if (!(name in PACKED))
    wanted += Object.values(AHEAD).find((a) => a.file === name)?.size ?? 0;
  const response = await fetch(new URL(`${name}.gz`, base));
  if (!response.ok)
    throw new Error(`${name}.gz: ${response.status} ${response.statusText}`);
  const counted = response.body.pipeThrough(new TransformStream({
    transform(chunk, controller) {
      fetched += chunk.length;
      progress();
      controller.enqueue(chunk);
    },
  }));
  // Unpacked as it arrives: the compiler's code is compiled while the rest still comes.
  const headers = { "Content-Type": name.endsWith(".wasm") ? "application/wasm" : "application/octet-stream" };
  const [used, stored] = counted.pipeThrough(new DecompressionStream("gzip")).tee();
  const store = await openCache();
  if (store)
    store.put(new URL(name, base), new Response(stored, { headers })).catch(() => {});
  else
    stored.cancel();
  return new Response(used, { headers });
}
let shown = 0;
function progress() {
  if (fetched - shown >= 262144 || fetched >= wanted) {
    shown = fetched;
    self.postMessage({ id: job, progress: [Math.min(fetched, wanted), wanted] });
  }
}
self.compilerFetch = fetchPacked;

// One message at a time, in order: a compile asked for while another goes on waits for it.
// A compile stopped before the compiler ran for it ({ cancel: id }) is dropped when its
// turn comes, once the compiler is there: what arrived meanwhile is kept.
let queue = Promise.resolve();
const cancelled = new Set();
self.onmessage = (message) => {
  if (message.data.cancel !== undefined)
    cancelled.add(message.data.cancel);
  else
    queue = queue.then(() => handle(message));
};

async function handle({ data: { id, tool, flags, link, sources, files, each, symbolize } }) {
  job = id;
  if (symbolize) {
    self.postMessage({ id, symbols: await symbols(symbolize) });
    return;
  }
  // What the file opens with, and the files beside it that those lines read; a header
  // precompiled for them is fetched while the compiler loads.
  const opening = !each && tool === "clang++" && sources.length === 1 ? openingIncludes(files, sources[0]) : [];
  const header = opening.map((line) => line + "\n").join("");
  const read = opening.map((line) => /"([^"]+)"/.exec(line)?.[1]).filter(Boolean).map((f) => [f, files[f]]);
  const key = JSON.stringify([flags, header, read]);
  let made = precompiled.get(key); // { header, pch }, or null: none to be had
  const kept = made === undefined && opening.length > 0 ? keptHeader(key, opening, read) : undefined;
  try {
    if (!runClang) {
      await load();
    }
  } catch (e) {
    if (!cancelled.delete(id))
      self.postMessage({ id, status: -1, output: `the compiler could not be loaded: ${e.message}` });
    return;
  }
  if (cancelled.delete(id))
    return;
  self.postMessage({ loaded: id }); // its time limit starts now
  if (each) { // sources in both languages: each compiled on its own, then linked
    let result;
    try {
      result = await compileEach(tool, link, each, files);
    } catch (e) {
      result = { status: -1, output: `the compiler could not be loaded: ${e.message}` };
    }
    self.postMessage({ id, ...result }, result.wasm ? [result.wasm.buffer] : []);
    return;
  }
  if (kept)
    made = await kept;
  let result;
  try {
    result = await compile(tool, flags, link, sources, files, made && { [HEADER]: made.header, [PCH]: made.pch });
    if (made && result.status !== 0 && /precompiled|AST file/.test(result.output)) {
      precompiled.set(key, made = null); // not usable after all: compile as if it never was
      result = await compile(tool, flags, link, sources, files, null);
    }
  } catch (e) {
    result = { status: -1, output: `the compiler could not be loaded: ${e.message}` };
  }
  self.postMessage({ id, ...result }, result.wasm ? [result.wasm.buffer] : []);

  if (opening.length > 0 && made === undefined) { // not tried yet
    let pch = null, said = "";
    const heard = { stdout: () => {}, stderr: (bytes) => { if (bytes) said += "."; }, fetchProgress: () => {} };
    try {
      const tree = await runClang([tool, ...flags, "-Xclang", "-fno-pch-timestamp", "-x", "c++-header", HEADER, "-o", PCH],
                                  { ...files, [HEADER]: header }, heard);
      if (said === "") // a warning made now would not be repeated later
        pch = tree[PCH].slice(); // no more memory than its length
    } catch {
      // Lines that do not compile: the compiles go on without.
    }
    precompiled.set(key, pch && { header, pch });
    if (pch)
      keep(key, pch);
    if (precompiled.size > 2)
      precompiled.delete(precompiled.keys().next().value);
  }
}

async function load() {
  const bundle = await import(new URL("bundle.js", self.location.href));
  await bundle.runClang(null, {}, { fetchProgress: () => {} }); // its files fetched, through fetchPacked
  runClang = bundle.runClang;
  addr2line = bundle.commands.addr2line;
}

// The function, file and line of each code offset in a program built with line tables,
// inlined calls innermost first, as addr2line gives them (JSON): null when it cannot.
async function symbols({ wasm, offsets }) {
  let said = "";
  const decoder = new TextDecoder();
  try {
    if (!runClang)
      await load();
    await addr2line(["-f", "-i", "-C", "--output-style=JSON", "-e", "program.wasm", ...offsets.map((o) => "0x" + o.toString(16))],
                    { "program.wasm": wasm },
                    { stdout: (bytes) => { if (bytes) said += decoder.decode(bytes, { stream: true }); }, stderr: () => {},
                      fetchProgress: () => {} });
    return JSON.parse(said);
  } catch {
    return null;
  }
}

// A header precompiled for these opening lines: kept from an earlier visit, or made ahead
// with the page for lines that the file opens with too (so it declares nothing the file
// does not include itself); undefined when there is none.
async function keptHeader(key, opening, read) {
  const [flags, header] = JSON.parse(key);
  try {
    const kept = await (await openCache())?.match(new URL(`kept/${await digest(key)}`, base));
    if (kept) {
      const made = { header, pch: new Uint8Array(await kept.arrayBuffer()) };
      precompiled.set(key, made);
      return made;
    }
    const [ahead, { file }] = Object.entries(AHEAD).filter(([lines, { flags: aheadFlags }]) =>
      sameFlags(flags, aheadFlags) && lines.split("\n").filter(Boolean).every((l) => opening.includes(l)))
      .sort(([x], [y]) => y.length - x.length)[0] ?? [];
    if (ahead && read.length === 0) {
      const made = { header: ahead, pch: new Uint8Array(await (await fetchPacked(new URL(file, base))).arrayBuffer()) };
      precompiled.set(key, made);
      return made;
    }
  } catch {
    // Not there after all: compile without.
  }
  return undefined;
}
const sameFlags = (x, y) => JSON.stringify(x) === JSON.stringify(y);
async function keep(key, pch) {
  try {
    await (await openCache())?.put(new URL(`kept/${await digest(key)}`, base), new Response(pch));
  } catch {
    // Full, or not allowed: the header is made again next time.
  }
}
async function digest(text) {
  const hash = await crypto.subtle.digest("SHA-256", new TextEncoder().encode(text));
  return [...new Uint8Array(hash)].map((b) => b.toString(16).padStart(2, "0")).join("");
}

// The files as the compiler takes them: a path's folders as folders of their own.
function tree(files) {
  const root = {};
  for (const [path, contents] of Object.entries(files)) {
    const parts = path.split("/");
    let folder = root;
    for (const part of parts.slice(0, -1))
      folder = typeof folder[part] === "object" && !(folder[part] instanceof Uint8Array) ? folder[part] : (folder[part] = {});
    folder[parts[parts.length - 1]] = contents;
  }
  return root;
}

// What the linker said of `main`: whether a file of the program defines it, and the
// output without those lines.
function traceOf(output) {
  const lines = output.split("\n");
  const trace = /^[^:\n]*(\([^)]*\))?: (reference to|definition of) (undefined_weak:)?(main|__main_argc_argv)$/;
  const noMain = !lines.some((l) => trace.test(l) && !l.startsWith("<") && / definition of (main|__main_argc_argv)$/.test(l));
  return { noMain, output: lines.filter((l) => !trace.test(l)).join("\n") };
}

// Compiles and links, with the precompiled header and its source when prefix holds them.
// The linker says where `main` is defined (a program without it would link, and trap
// when run); those lines are taken out of what the compiler said.
// Where stdout is, too, so that what it holds when the program traps can be shown (wasi.mjs).
const TRACE = ["-Wl,--trace-symbol=main", "-Wl,--trace-symbol=__main_argc_argv", "-Wl,--export=__stdout_FILE"];
function compile(tool, flags, link, sources, files, prefix) {
  let output = "";
  const decoder = new TextDecoder();
  const collect = (bytes) => { if (bytes) output += decoder.decode(bytes, { stream: true }); };
  const options = { stdout: collect, stderr: collect, fetchProgress: () => {} };
  const args = [tool, ...flags, ...(prefix ? ["-include-pch", PCH] : []), ...sources, ...link, ...TRACE, "-o", "program.wasm"];
  const traced = () => traceOf(output);
  return runClang(args, tree(prefix ? { ...files, ...prefix } : files), options).then(
    (tree) => ({ status: 0, ...traced(), wasm: tree["program.wasm"] }),
    // A failed compile ends as an Exit, with its status.
    (e) => {
      if (typeof e.code !== "number")
        throw e;
      return { status: e.code, ...traced(), noMain: false };
    });
}

// Compiles each of `each` ({ tool, flags, source }) to an object, then links them with
// `tool`, as a native build of files in two languages does.
async function compileEach(tool, link, each, files) {
  let output = "";
  const decoder = new TextDecoder();
  const collect = (bytes) => { if (bytes) output += decoder.decode(bytes, { stream: true }); };
  const options = { stdout: collect, stderr: collect, fetchProgress: () => {} };
  const objects = {};
  try {
    for (const [i, part] of each.entries()) {
      const object = `part-${i}.o`;
      const made = await runClang([part.tool, ...part.flags, "-c", part.source, "-o", object], tree(files), options);
      objects[object] = made[object];
    }
    const made = await runClang([tool, ...Object.keys(objects), ...link, ...TRACE, "-o", "program.wasm"],
                                tree({ ...files, ...objects }), options);
    return { status: 0, ...traceOf(output), wasm: made["program.wasm"] };
  } catch (e) {
    if (typeof e.code !== "number")
      throw e;
    return { status: e.code, ...traceOf(output), noMain: false };
  }
}

// The #include lines a file opens with, among blank lines, comments and #pragma once, up
// to the first other line or the first file beside it that would not be read once only.
// Compiled first, they leave the file's own #include lines nothing to add.
function openingIncludes(files, name) {
  const lines = [];
  let inComment = false;
  for (const line of files[name].split("\n")) {
    let rest = line.trim();
    if (inComment) {
      const end = rest.indexOf("*/");
      if (end < 0)
        continue;
      inComment = false;
      rest = rest.slice(end + 2).trim();
    }
    if (rest.startsWith("/*")) {
      const end = rest.indexOf("*/", 2);
      if (end < 0) {
        inComment = true;
        continue;
      }
      rest = rest.slice(end + 2).trim();
    }
    if (rest.endsWith("\\"))
      break; // a line continued: not worth reading further
    rest = rest.replace(/^(#\s*include\s*[<"][^>"]*[>"])?\s*\/\/.*$/, "$1").trim();
    if (rest === "" || /^#\s*pragma\s+once$/.test(rest))
      continue;
    const include = /^#\s*include\s*(?:<[^>]+>|"([^"]+)")$/.exec(rest);
    if (include === null || (include[1] !== undefined && !readOnce(files[include[1]])))
      break;
    lines.push(rest);
  }
  return lines;
}

// Whether a header is read once only: #pragma once, or #ifndef and #define of one name
// around the whole file, comments aside.
function readOnce(text) {
  if (typeof text !== "string")
    return false;
  const code = text.replace(/\/\*[^]*?\*\/|\/\/.*$/gm, "").trim();
  const guard = /^#\s*ifndef\s+(\w+)\s*\n\s*#\s*define\s+(\w+)\s*\n/.exec(code);
  return /^#\s*pragma\s+once\s*\n/.test(code) || (guard !== null && guard[1] === guard[2] && /\n\s*#\s*endif$/.test(code));
}
