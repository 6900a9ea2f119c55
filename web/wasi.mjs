// A WASI host for these programs, in node and in a browser: the eight calls
// they make (see imports below) over standard input given as bytes and output
// handed to a callback, an empty environment and no folders; any other call of
// WASI preview 1 fails with NOSYS. Nothing else of the system is reachable.
//
//   const { status } = runWasi(module, { args, stdin, write, outputCap });
//
// args: the command line, args[0] first; stdin: a Uint8Array, all the input;
// write(fd, bytes): called for each write to 1 or 2, returning false when the
// bytes could not be written; outputCap: how many bytes of each of standard
// output and error are taken (the last write cut there) before every write
// fails, as on a full disk; onRead(from, to, held): called
// after each read of standard input with the part it took and how many bytes of
// standard output the C library held unwritten then (a prompt not flushed, which
// a terminal shows before what is typed), where each read then takes at most one
// line, as from a terminal. status: the exit status.

const SUCCESS = 0, BADF = 8, IO = 29, NOSPC = 51, NOSYS = 52, SPIPE = 70;
const FILETYPE_CHARACTER_DEVICE = 2;

class Exit {
  constructor(code) { this.code = code; }
}

export function runWasi(module, { args = ["program"], stdin = new Uint8Array(), write, outputCap = Infinity, onRead }) {
  const encoder = new TextEncoder();
  const argBytes = args.map((arg) => encoder.encode(arg + "\0"));
  let memory = null;
  let readAt = 0;
  let stdoutFile; // where the C library keeps standard output, when the program says
  const written = [0, 0, 0]; // bytes taken of each stream, by descriptor
  const view = () => new DataView(memory.buffer);
  const bytes = () => new Uint8Array(memory.buffer);

  // Each iovec is a pointer and a length, 4 bytes each.
  function* iovecs(iovs, count) {
    for (let i = 0; i < count; ++i)
      yield [view().getUint32(iovs + 8 * i, true), view().getUint32(iovs + 8 * i + 4, true)];
  }

  const imports = {
    args_sizes_get(countPtr, sizePtr) {
      view().setUint32(countPtr, argBytes.length, true);
      view().setUint32(sizePtr, argBytes.reduce((n, a) => n + a.length, 0), true);
      return SUCCESS;
    },
    args_get(argvPtr, bufPtr) {
      argBytes.forEach((arg, i) => {
        view().setUint32(argvPtr + 4 * i, bufPtr, true);
        bytes().set(arg, bufPtr);
        bufPtr += arg.length;
      });
      return SUCCESS;
    },
    fd_fdstat_get(fd, statPtr) {
      if (fd > 2)
        return BADF;
      // A character device with every right; 24 bytes in all.
      bytes().fill(0, statPtr, statPtr + 24);
      view().setUint8(statPtr, FILETYPE_CHARACTER_DEVICE);
      view().setBigUint64(statPtr + 8, 0xffffffffn, true);
      view().setBigUint64(statPtr + 16, 0xffffffffn, true);
      return SUCCESS;
    },
    fd_read(fd, iovs, count, nreadPtr) {
      if (fd !== 0)
        return BADF;
      const from = readAt;
      let n = 0;
      for (const [ptr, len] of iovecs(iovs, count)) {
        let end = readAt + len;
        if (onRead) { // up to the end of the line
          const newline = stdin.indexOf(10, readAt);
          if (newline >= 0 && newline < end)
            end = newline + 1;
        }
        const part = stdin.subarray(readAt, end);
        bytes().set(part, ptr);
        readAt += part.length;
        n += part.length;
        if (part.length < len || (onRead && part.includes(10)))
          break;
      }
      view().setUint32(nreadPtr, n, true);
      if (onRead)
        onRead(from, readAt, held()?.length ?? 0);
      return SUCCESS;
    },
    fd_write(fd, iovs, count, nwrittenPtr) {
      if (fd !== 1 && fd !== 2)
        return BADF;
      let n = 0;
      for (const [ptr, len] of iovecs(iovs, count)) {
        const room = Math.min(len, outputCap - written[fd]);
        if (room > 0 && !write(fd, bytes().slice(ptr, ptr + room)))
          return IO;
        written[fd] += room;
        n += room;
        if (room < len)
          return NOSPC;
      }
      view().setUint32(nwrittenPtr, n, true);
      return SUCCESS;
    },
    fd_seek() {
      return SPIPE;
    },
    fd_close() {
      return SUCCESS;
    },
    proc_exit(code) {
      throw new Exit(code);
    },
  };

  // A program built elsewhere may import more of WASI: no environment and no
  // folders, and every other call fails with NOSYS, as on a system without it.
  imports.environ_sizes_get = (countPtr, sizePtr) => {
    view().setUint32(countPtr, 0, true);
    view().setUint32(sizePtr, 0, true);
    return SUCCESS;
  };
  imports.environ_get = () => SUCCESS;
  imports.fd_prestat_get = () => BADF;
  for (const { module: from, name, kind } of WebAssembly.Module.imports(module))
    if (from === "wasi_snapshot_preview1" && kind === "function" && !(name in imports))
      imports[name] = () => NOSYS;
  // What the C library holds of standard output, not yet written, where the program says
  // where its stdout is (__stdout_FILE): in the C library's layout, from the pointer at 24
  // to the one at 20; undefined where it cannot be told.
  function held() {
    if (typeof stdoutFile !== "number" || stdoutFile + 32 > memory.buffer.byteLength)
      return undefined;
    const from = view().getUint32(stdoutFile + 24, true), to = view().getUint32(stdoutFile + 20, true);
    return from <= to && to - from <= 65536 && to <= memory.buffer.byteLength ? bytes().subarray(from, to) : undefined;
  }
  // What it still held when the program trapped (at an exit it writes it), written as it
  // would have been: a prompt shows.
  function pending() {
    const part = held()?.slice(0, Math.max(0, outputCap - written[1]));
    if (part?.length > 0) {
      write(1, part);
      written[1] += part.length;
    }
  }
  const instance = new WebAssembly.Instance(module, { wasi_snapshot_preview1: imports });
  memory = instance.exports.memory;
  stdoutFile = instance.exports.__stdout_FILE?.value;
  try {
    instance.exports._start();
    return { status: 0 };
  } catch (e) {
    if (e instanceof Exit)
      return { status: e.code };
    pending();
    throw e; // a trap: the program crashed
  }
}
