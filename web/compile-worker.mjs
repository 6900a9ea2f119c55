// The compiler's worker: clang and lld built for WebAssembly (@yowasp/clang), loaded on
// the first compile from the folder beside it, and kept for the next.
//   post { id, tool: "clang" | "clang++", flags, sources, files }  ->  { id, progress: [done, total] }...
//   then { id, status, output, wasm }: the exit status, what the compiler wrote, and the
//   program, linked with -lm.
// Parsing the C++ library's headers is most of a compile. So after compiling a C++ file,
// the worker precompiles the #include lines that the file opens with, and a later compile
// of a file that opens with the same ones starts from them: the same declarations in the
// same order, read in a fraction of the time.
let runClang = null;
const precompiled = new Map(); // [flags, opening lines, other files] as JSON -> the header made, or null
const HEADER = "opening-headers.h", PCH = "opening-headers.pch";

self.onmessage = async ({ data: { id, tool, flags, sources, files } }) => {
  try {
    runClang ??= (await import(new URL("bundle.js", self.location.href))).runClang;
  } catch (e) {
    self.postMessage({ id, status: -1, output: `The compiler could not be loaded: ${e.message}` });
    return;
  }
  // What the file opens with, and the files beside it that those lines may read.
  const opening = tool === "clang++" && sources.length === 1 ? openingIncludes(files, sources[0]) : [];
  const header = opening.map((line) => line + "\n").join("");
  const key = JSON.stringify([flags, header, Object.entries(files).filter(([f]) => f !== sources[0])]);
  let pch = precompiled.get(key);
  let result = await compile(id, tool, flags, sources, files, pch && { [HEADER]: header, [PCH]: pch });
  if (pch && result.status !== 0 && /precompiled|AST file/.test(result.output)) {
    precompiled.set(key, pch = null); // not usable after all: compile as if it never was
    result = await compile(id, tool, flags, sources, files, null);
  }
  self.postMessage({ id, ...result }, result.wasm ? [result.wasm.buffer] : []);

  if (opening.length > 0 && pch === undefined) { // not tried yet
    let made = null, said = "";
    const heard = { stdout: () => {}, stderr: (bytes) => { if (bytes) said += "."; } };
    try {
      const tree = await runClang([tool, ...flags, "-x", "c++-header", HEADER, "-o", PCH],
                                  { ...files, [HEADER]: header }, heard);
      if (said === "") // a warning made now would not be repeated later
        made = tree[PCH].slice(); // no more memory than its length
    } catch {
      // Lines that do not compile: the compiles go on without.
    }
    precompiled.set(key, made);
    if (precompiled.size > 2)
      precompiled.delete(precompiled.keys().next().value);
  }
};

// Compiles and links, with the precompiled header and its source when prefix holds them.
function compile(id, tool, flags, sources, files, prefix) {
  let output = "";
  const decoder = new TextDecoder();
  const collect = (bytes) => { if (bytes) output += decoder.decode(bytes, { stream: true }); };
  const options = {
    stdout: collect,
    stderr: collect,
    fetchProgress: ({ totalLength, doneLength }) => self.postMessage({ id, progress: [doneLength, totalLength] }),
  };
  const args = [tool, ...flags, ...(prefix ? ["-include-pch", PCH] : []), ...sources, "-lm", "-o", "program.wasm"];
  return runClang(args, prefix ? { ...files, ...prefix } : files, options).then(
    (tree) => ({ status: 0, output, wasm: tree["program.wasm"] }),
    // A failed compile ends as an Exit, with its status.
    (e) => ({ status: typeof e.code === "number" ? e.code : -1, output: output || String(e.message ?? e) }));
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
