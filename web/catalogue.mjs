// The programs, their sources and their cases, as make_page.mjs put them in the page; and
// the compile line a student's version is built with.
export const programs = JSON.parse(document.getElementById("programs").textContent);
export const compileFlags = JSON.parse(document.getElementById("flags").textContent);

export const fromBase64 = (text) =>
  Uint8Array.fromBase64?.(text) ?? Uint8Array.from(atob(text), (c) => c.charCodeAt(0));
// Bytes kept gzipped, in base64.
export const unzip = async (text) =>
  new Uint8Array(await new Response(new Blob([fromBase64(text)]).stream()
    .pipeThrough(new DecompressionStream("gzip"))).arrayBuffer());

// A program's WebAssembly: the programs' files, one after another, are unpacked from the
// page on the first run and kept.
let code = null;
export async function programCode(program) {
  code ??= unzip(document.getElementById("code").textContent);
  const at = programs.slice(0, programs.indexOf(program)).reduce((n, p) => n + p.code, 0);
  return (await code).slice(at, at + program.code);
}

export const find = (name) => programs.find((p) => p.name === name);
export const caseName = (c) => `${c.kind}/${c.name}`;
export const caseLabel = (program, c) => `${program.name}/${caseName(c)}`;
export const casePath = (program, c) => `checker/cases/${caseLabel(program, c)}.in`;

// Where a function the program's main module calls is defined: the other module that
// defines it, or undefined.
export function definedIn(program, name) {
  const definition = new RegExp(`^[\\w:<>*& ]*\\b${name.replace(/\W/g, "\\$&")}\\s*\\([^;]*$`, "m");
  return program.sources.slice(1).find((s) => s.name.endsWith(".cpp") && definition.test(s.text));
}
