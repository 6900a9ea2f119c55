// How a version is built in the page, as the README's lines and checker/grade.cmake build
// it natively, and why a build failed: decided here alone, for your version and for a
// student's, and worded for each.
import { compileFlags } from "./catalogue.mjs";
import { isC, languageOf } from "./class.mjs";

const base = (path) => path.split("/").pop();

// The program's headers, each by its file name, as they stand beside a version's file.
export function headers(program) {
  return Object.fromEntries(program.sources.filter((s) => s.name.endsWith(".h")).map((s) => [base(s.name), s.text]));
}

// The program's other modules (programs.json's `modules`), by file name, but those in `but`.
export function modules(program, but = {}) {
  return Object.fromEntries(program.modules.filter((m) => !(m in but))
    .map((m) => [m, program.sources.find((s) => s.name === `${program.name}/${m}`).text]));
}

// What compiles `sources` among `files`: C for a .c file and C++ for any other, each on
// its own line when they mix, as checker/grade.cmake does.
export function compileRequest(sources, files) {
  const c = languageOf(sources) === "c";
  const mixed = !c && sources.some(isC);
  return { tool: c ? "clang" : "clang++", flags: compileFlags[c ? "c" : "c++"], link: compileFlags.link, sources, files,
           ...(mixed ? { each: sources.map((source) => ({ tool: isC(source) ? "clang" : "clang++",
                                                           flags: compileFlags[isC(source) ? "c" : "c++"], source })) } : {}) };
}

// Your version: its file beside the program's headers, and the program's other modules
// linked in when you write the main module only.
export function yourBuild(program, { text, language, parts }) {
  const name = `my_${program.name}.${language === "c" ? "c" : "cpp"}`;
  const linked = program.modules.length > 0 && parts === "main" ? modules(program) : {};
  return { ...compileRequest([name, ...Object.keys(linked)], { ...headers(program), [name]: text, ...linked }), name };
}

// Why a build failed, or null when it did not: { kind, ... }, the kind one of
//   stopped; unfinished (said: why); no main; missing (a function used but not defined:
//   what, and module, the program's module that defines it, if one does; c, when it is
//   a C function); link (another link error); compile.
export function failure(result, program) {
  if (result.stopped)
    return { kind: "stopped" };
  if (result.error || result.status < 0)
    return { kind: "unfinished", said: result.error ?? result.output };
  if (result.noMain)
    return { kind: "no main" };
  if (result.status === 0 && result.wasm)
    return null;
  const cpp = /undefined symbol: ([\w:~]+)\(([^)\n]*)\)/.exec(result.output);
  const c = /undefined symbol: (\w+)\n/.exec(result.output);
  if (cpp || c) {
    const name = cpp ? cpp[1].split("::").pop() : c[1];
    return { kind: "missing", what: cpp ? `${cpp[1]}(${cpp[2]})` : `${c[1]}()`, c: !cpp, module: definedIn(program, name) };
  }
  if (/undefined symbol/.test(result.output))
    return { kind: "missing", what: "" };
  return { kind: /wasm-ld: error/.test(result.output) ? "link" : "compile" };
}

// Where a function the program's main module calls is defined: the other module that
// defines it, or undefined.
function definedIn(program, name) {
  const definition = new RegExp(`^[\\w:<>*& ]*\\b${name.replace(/\W/g, "\\$&")}\\s*\\([^;]*$`, "m");
  return program.sources.slice(1).find((s) => s.name.endsWith(".cpp") && definition.test(s.text));
}

// A failure in the words a student reads of their version: { error, first }, the summary
// and what to say before what the compiler said.
export function yourWords(failed, program, request, parts) {
  switch (failed.kind) {
    case "stopped":
      return { error: "stopped" };
    case "unfinished":
      return { error: `compile error: ${failed.said}` };
    case "no main":
      return { error: "compile error: your program has no main function",
               first: "Your program has no main function: every C and C++ program starts in main." };
  }
  const { what, module } = failed;
  if (failed.kind === "missing" && what && !failed.c && program.modules.length > 0 && parts === "whole")
    return { error: `compile error: ${what} is not defined`,
             first: module ? `${what} is not in your file: this project's ${module.name} defines it. Under “What you write”, choose ` +
                             `“the main module, linked with this project's other modules” to link it in, or write ${what} in your file.`
                           : `${what} is used but not defined.` };
  if (failed.kind === "missing" && failed.c && module && isC(request.name) && request.sources.length > 1)
    return { error: `compile error: ${what} is not defined`,
             first: `${what} is in this project's ${module.name}, which is C++: a C program cannot call it. Write your ` +
                    `version in C++, or write ${what} in your file and choose “the whole program” under “What you write”.` };
  return { error: "compile error: see what the compiler said" };
}

// A failure as a graded student's report says it, as grade.cmake does.
export function studentWhy(failed) {
  return { stopped: "stopped", unfinished: failed.said, "no main": "it has no main function", missing: "it does not link",
           link: "it does not link", compile: "it does not compile" }[failed.kind];
}
