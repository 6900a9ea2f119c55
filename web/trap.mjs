// A trap in a student's program, told as the sanitizer of g++ and clang++ tells its first
// finding natively, so that the report (report.mjs, fault) words both alike: the program is
// built with the checks for undefined behaviour as traps (make_page.mjs), and the debugging
// information gives back, for each call on the stack, its function, file and line, and for
// a check, its reason, as a call of its own named __clang_trap_msg$…$REASON.
//   const result = await traced(compiler, wasm, ran);
// ran: a run's result (run-worker.mjs); the result gets standard error with the finding
// after what the program wrote there, and the status "crashed", or for abort() (a failed
// assert) the words an abort ends a process with natively.
const REASON = /^__clang_trap_msg\$[^$]*\$(.*)$/;
const known = new Map(); // what the compiler said of a program's offsets, by wasm and offsets

export async function traced(compiler, wasm, ran) {
  if (!ran.trap)
    return ran;
  if (ran.trap.abort)
    return { ...ran, status: "Subprocess aborted" };
  const key = ran.trap.offsets.join(" ");
  let program = known.get(wasm);
  if (!program)
    known.set(wasm, program = new Map());
  if (!program.has(key))
    program.set(key, compiler.symbolize(wasm, ran.trap.offsets));
  const calls = ((await program.get(key)) ?? []).flatMap((place) => place.Symbol ?? []);
  const reason = calls.map((call) => REASON.exec(call.FunctionName ?? "")?.[1]).find(Boolean);
  const own = calls.filter((call) => call.Line > 0 && call.FunctionName && !REASON.test(call.FunctionName));
  const [first] = own;
  const finding = reason && first ? `${first.FileName}:${first.Line}:0: runtime error: ${reason}`
    : `==0==ERROR: ${reason ?? ran.trap.message}`;
  const text = [finding, ...own.map((call, i) => `    #${i} 0x0 in ${call.FunctionName} ${call.FileName}:${call.Line}`)]
    .join("\n") + "\n";
  const said = new TextEncoder().encode(text);
  const err = new Uint8Array(ran.err.length + said.length);
  err.set(ran.err);
  err.set(said, ran.err.length);
  return { ...ran, err, status: "crashed" };
}
