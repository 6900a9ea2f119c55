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

// The generated cases: the bytes of each one's input and output, in turn, for every
// program, one gzip stream unpacked when first needed; each program's then go into its
// cases, after its behaviour cases, as the checker orders them.
const toBase64 = (bytes) => {
  if (bytes.toBase64)
    return bytes.toBase64();
  let text = "";
  for (let i = 0; i < bytes.length; i += 32768)
    text += String.fromCharCode(...bytes.subarray(i, i + 32768));
  return btoa(text);
};
let generated = null;
export function generatedCases() {
  generated ??= unzip(document.getElementById("generated").textContent).then((bytes) => {
    let at = 0;
    const next = (size) => toBase64(bytes.subarray(at, (at += size)));
    for (const p of programs) {
      const drawn = p.generated.map((g) => ({ kind: "generated", name: g.name, in: next(g.sizes[0]),
                                              out: next(g.sizes[1]), err: "", args: g.args }));
      const after = p.cases.filter((c) => c.kind === "behaviour").length;
      p.cases.splice(after, 0, ...drawn);
    }
  });
  return generated;
}
// The cases a check runs by default: the behaviour and generated ones, or, for a program
// that has no behaviour cases (strip_char), its own.
export async function defaultCases(program) {
  await generatedCases();
  const kinds = program.cases.some((c) => c.kind === "behaviour") ? ["behaviour", "generated"] : ["own"];
  return program.cases.filter((c) => kinds.includes(c.kind));
}

export const find = (name) => programs.find((p) => p.name === name);
export const caseName = (c) => `${c.kind}/${c.name}`;
export const caseLabel = (program, c) => `${program.name}/${caseName(c)}`;
export const casePath = (program, c) => `checker/cases/${caseLabel(program, c)}.in`;
