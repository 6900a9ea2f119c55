// The compiler's worker: clang and lld built for WebAssembly (@yowasp/clang), loaded on
// the first compile from the folder beside it, and kept for the next.
//   post { id, tool: "clang" | "clang++", args, files }  ->  { id, progress: [done, total] }...
//   then { id, status, output, wasm }: the exit status, what the compiler wrote, the program.
let runClang = null;

self.onmessage = async ({ data: { id, tool, args, files } }) => {
  try {
    runClang ??= (await import(new URL("bundle.js", self.location.href))).runClang;
  } catch (e) {
    self.postMessage({ id, status: -1, output: `The compiler could not be loaded: ${e.message}` });
    return;
  }
  let output = "";
  const decoder = new TextDecoder();
  const collect = (bytes) => { if (bytes) output += decoder.decode(bytes, { stream: true }); };
  const options = {
    stdout: collect,
    stderr: collect,
    fetchProgress: ({ totalLength, doneLength }) => self.postMessage({ id, progress: [doneLength, totalLength] }),
  };
  try {
    const tree = await runClang([tool, ...args], files, options);
    const wasm = tree["program.wasm"];
    self.postMessage({ id, status: 0, output, wasm }, wasm ? [wasm.buffer] : []);
  } catch (e) {
    // A failed compile ends as an Exit, with its status.
    self.postMessage({ id, status: typeof e.code === "number" ? e.code : -1,
                       output: output || String(e.message ?? e) });
  }
};
