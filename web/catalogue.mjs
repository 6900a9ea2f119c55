// The programs, their sources and their cases, as make_page.mjs put them in the page; and
// the compile line a student's version is built with.
export const programs = JSON.parse(document.getElementById("programs").textContent);
export const compileFlags = JSON.parse(document.getElementById("flags").textContent);

export const fromBase64 = (text) => Uint8Array.from(atob(text), (c) => c.charCodeAt(0));
// The programs are kept gzipped, a third of their size.
export const unzip = async (text) =>
  new Uint8Array(await new Response(new Blob([fromBase64(text)]).stream()
    .pipeThrough(new DecompressionStream("gzip"))).arrayBuffer());

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
