// How a case is judged and reported, and how a check of many cases is summed up, as
// checker/check.cmake does it (its rules are in checker/report.cmake, and as examples in
// checker/rules.json, which this file must pass too): bytes compared with bytes, and the
// first difference shown with what cannot be seen made visible.

const NEWLINE = 0x0a;
const WIDE_RANGES = [[0x1100, 0x115f], [0x2e80, 0x303e], [0x3040, 0xa4cf], [0xac00, 0xd7a3],
                     [0xf900, 0xfaff], [0xfe30, 0xfe4f], [0xff00, 0xff60], [0xffe0, 0xffe6],
                     [0x1f300, 0x1f64f], [0x1f680, 0x1f6ff], [0x1f900, 0x1f9ff], [0x1fa70, 0x1faff],
                     [0x20000, 0x3fffd]];
// Combining marks: they take no column of their own.
const COMBINING_RANGES = [[0x0300, 0x036f], [0x0483, 0x0489], [0x0591, 0x05bd], [0x0610, 0x061a],
                          [0x064b, 0x065f], [0x1ab0, 0x1aff], [0x1dc0, 0x1dff], [0x20d0, 0x20ff],
                          [0xfe20, 0xfe2f]];
// Characters that are hard to see or to tell from another: C1 controls, spaces that look
// like none or like an ordinary one, zero-width, joining and direction marks, the byte
// order mark, variation selectors and fillers. Shown as their bytes.
const INVISIBLE_RANGES = [[0x80, 0xa0], [0xad, 0xad], [0x034f, 0x034f], [0x061c, 0x061c],
                          [0x115f, 0x1160], [0x1680, 0x1680], [0x180e, 0x180e], [0x2000, 0x200f],
                          [0x2028, 0x202f], [0x205f, 0x206f], [0x3000, 0x3000], [0x3164, 0x3164],
                          [0xfe00, 0xfe0f], [0xfeff, 0xfeff], [0xffa0, 0xffa0], [0xfff0, 0xfffb],
                          [0xe0000, 0xe0fff]];
const within = (ranges, point) => ranges.some(([low, high]) => point >= low && point <= high);
const SHOWN_BEFORE = 30; // a long line is shown from this many bytes before its difference,
const CUT_AFTER = 40;    // when the difference lies further in than this,
const SHOWN_AFTER = 40;  // to this many bytes after it
const LEFT_OUT = "...";
const STDERR_SHOWN = 80; // bytes of a line of standard error shown, then LEFT_OUT
const STDERR_LINES = 3;  // lines of standard error shown,
const STDERR_READ = 65536; // looked for in this many bytes
const NOTHING = "(nothing: the output ends before this line)";

// The code point of the well-formed UTF-8 character at bytes[i], and its length;
// point -1 for a byte that starts none.
function character(bytes, i) {
  const lead = bytes[i];
  if (lead < 0xc2 || lead >= 0xf5)
    return [-1, 1];
  const length = lead >= 0xf0 ? 4 : lead >= 0xe0 ? 3 : 2;
  const least = [0, 0, 0x80, 0x800, 0x10000][length];
  if (i + length > bytes.length)
    return [-1, 1];
  let point = lead & (0x7f >> length);
  for (let j = i + 1; j < i + length; j++) {
    if ((bytes[j] & 0xc0) !== 0x80)
      return [-1, 1];
    point = (point << 6) | (bytes[j] & 0x3f);
  }
  if (point < least || point > 0x10ffff || (point >= 0xd800 && point <= 0xdfff))
    return [-1, 1];
  return [point, length];
}

const invisible = (point) => point < 0x80 || within(INVISIBLE_RANGES, point) || (point & 0xffff) >= 0xfffe;

const hex = (byte) => "\\x" + byte.toString(16).padStart(2, "0");

// Bytes as text, with what cannot be seen made visible, and the columns it takes.
function visible(bytes) {
  let text = "";
  let width = 0;
  for (let i = 0; i < bytes.length;) {
    const [point, length] = character(bytes, i);
    let shown;
    if (point >= 0 && !invisible(point)) {
      shown = new TextDecoder().decode(bytes.subarray(i, i + length));
      width += within(WIDE_RANGES, point) ? 2 : within(COMBINING_RANGES, point) ? 0 : 1;
      text += shown;
      i += length;
      continue;
    }
    if (point >= 0)
      shown = [...bytes.subarray(i, i + length)].map(hex).join("");
    else {
      const byte = bytes[i];
      shown = byte === 0x0a ? "\\n" : byte === 0x0d ? "\\r" : byte === 0x09 ? "\\t" : byte === 0x5c ? "\\\\"
            : byte < 0x20 || byte >= 0x7f ? hex(byte) : String.fromCharCode(byte);
    }
    text += shown;
    width += shown.length;
    i += length;
  }
  return { text, width };
}

// Text as a report shows it, when it holds what cannot be seen, newlines aside; else "".
// Each line is quoted on a line of its own.
export function unseen(bytes) {
  const { text } = visible(bytes);
  if (!/\\[^n]/.test(text.replace(/\\\\/g, "")))
    return "";
  return text.split(/(?<=\\n)/).map((line) => `"${line}"`).join("\n");
}

// The columns a character takes in a report's line: 2 for a wide one, 0 for a combining one.
export function columns(char) {
  const point = char.codePointAt(0);
  return within(WIDE_RANGES, point) ? 2 : within(COMBINING_RANGES, point) ? 0 : 1;
}

const continues = (bytes, at) => at < bytes.length && (bytes[at] & 0xc0) === 0x80;

// Text a user gave (a name), as bytes, as a report shows it: what cannot be seen, or is
// not UTF-8, made visible, and only its last 160 bytes when it is longer.
export function shownText(bytes) {
  if (bytes.length <= 160 && bytes.every((b) => b >= 0x20 && b <= 0x7e))
    return String.fromCharCode(...bytes);
  let from = Math.max(0, bytes.length - 160);
  while (continues(bytes, from))
    from++;
  return (from > 0 ? LEFT_OUT : "") + visible(bytes.subarray(from)).text.replace(/\\\\/g, "\\");
}

// The line of `bytes` that holds byte `at`, with its newline, and where `at` is in it.
function lineAt(bytes, at) {
  const start = at === 0 ? 0 : bytes.lastIndexOf(NEWLINE, at - 1) + 1;
  const end = bytes.indexOf(NEWLINE, at);
  return [bytes.subarray(start, end < 0 ? bytes.length : end + 1), at - start];
}

function shownLine(line, from, to) {
  if (line.length === 0)
    return NOTHING;
  while (to < line.length && continues(line, to))
    to++;
  const tail = to < line.length ? LEFT_OUT : "";
  return (from > 0 ? LEFT_OUT : "") + `"${visible(line.subarray(from, Math.min(to, line.length))).text}"` + tail;
}

// The first line where `actual` differs from `expected`, or "" when they are the same.
function difference(what, expected, actual) {
  let low = 0;
  while (low < expected.length && low < actual.length && expected[low] === actual[low])
    low++;
  if (low === expected.length && low === actual.length)
    return "";
  while (low > 0 && (continues(expected, low) || continues(actual, low)))
    low--;
  const line = expected.subarray(0, low).filter((b) => b === NEWLINE).length + 1;
  const [e, at] = lineAt(expected, low);
  const [a] = lineAt(actual, low);
  const leadWidth = visible(e.subarray(0, at)).width;
  let from = 0;
  if (at > CUT_AFTER) {
    from = at - SHOWN_BEFORE;
    while (continues(e, from))
      from++;
  }
  const indent = from > 0 ? LEFT_OUT.length + visible(e.subarray(from, at)).width : leadWidth;
  return `${what} differs at line ${line}, column ${leadWidth + 1}:\n` +
         `    expected ${shownLine(e, from, at + SHOWN_AFTER)}\n` +
         `    actual   ${shownLine(a, from, at + SHOWN_AFTER)}\n` +
         `              ${" ".repeat(indent)}^`;
}

// The first lines of standard error, each cut after STDERR_SHOWN bytes, then "..." if
// there is more. The lines are looked for in the first STDERR_READ bytes.
function firstLines(bytes) {
  let shown = "";
  let rest = bytes.subarray(0, STDERR_READ);
  for (let n = 0; n < STDERR_LINES && rest.length > 0; n++) {
    const end = rest.indexOf(NEWLINE);
    const line = end < 0 ? rest : rest.subarray(0, end + 1);
    rest = end < 0 ? rest.subarray(rest.length) : rest.subarray(end + 1);
    shown += `\n    stderr   ${shownLine(line, 0, STDERR_SHOWN)}`;
  }
  return rest.length > 0 || bytes.length > STDERR_READ ? shown + "\n    stderr   ..." : shown;
}

// The output a case expects, with each {argv0} in it replaced by `name`, the name the
// program was started by.
export function withArgv0(bytes, name) {
  const marker = new TextEncoder().encode("{argv0}");
  const replacement = new TextEncoder().encode(name);
  const markedAt = (i) => marker.every((b, j) => bytes[i + j] === b);
  const out = [];
  for (let i = 0; i < bytes.length;)
    if (markedAt(i)) {
      out.push(...replacement);
      i += marker.length;
    } else
      out.push(bytes[i++]);
  return Uint8Array.from(out);
}

// Undefined behaviour and crashes, as the sanitizer of g++ and clang++ reports its first
// finding on standard error (the page writes a trap's in the same shape): what it found,
// in a student's words, the first key found in what it said deciding.
const CAUSES = [
  [["signed integer overflow", "signed integer addition", "signed integer subtraction",
    "signed integer multiplication", "negation of", "signed integer negation"],
   "undefined behaviour: a signed integer overflowed: its value does not fit in its type"],
  [["division by zero", "division of", "integer divide or remainder", "divide by zero", "integer overflow"],
   "undefined behaviour: an integer division by zero, or of the lowest value by -1"],
  [["shift exponent", "shift of negative", "left shift of", "shift out of bounds"],
   "undefined behaviour: a shift by a negative amount or by the width of its type or more, or of a negative value"],
  [["null pointer", "misaligned address", "insufficient space", "alignment, null, or object-size"],
   "undefined behaviour: a pointer used that is null or does not point to an object of its type"],
  [["out of bounds for type", "array index out of bounds"], "undefined behaviour: an array index out of bounds"],
  [["end of a value-returning function"], "undefined behaviour: a function that returns a value ended without a return"],
  [["unreachable program point"], "undefined behaviour: code that must never be reached was reached"],
  [["not a valid value for type", "load of invalid value"],
   "undefined behaviour: a bool or enum holds a value it cannot have (was it ever given one?)"],
  [["pointer index expression", "applying non-zero offset", "applying zero offset", "unsigned offset", "pointer overflow"],
   "undefined behaviour: pointer arithmetic out of the memory it points into"],
  [["variable length array bound"], "undefined behaviour: an array's length is not positive"],
  [["outside the range of representable values", "floating-point to integer", "float unrepresentable"],
   "undefined behaviour: a floating-point value too large for the integer it is converted to"],
  [["function signature mismatch", "incorrect function type", "null function", "table index is out of bounds"],
   "undefined behaviour: a call through a null or wrong function pointer"],
  [["stack-overflow", "maximum call stack size exceeded"],
   "crashed: the stack ran out (calls nested too deep: a recursion that never ends?)"],
  [["segv on unknown address", "memory access out of bounds"], "crashed: a read or write outside the program's memory"],
];
const FINDING = /^(?:(.*):(\d+):\d+: runtime error: (.*)|==\d+==ERROR: (?:UndefinedBehaviorSanitizer: )?([^(]*).*)$/;
const FRAME = /^ *#\d+ 0x[0-9a-f]+ in (.+) (\S+)$/;
const PLACE = /^(.*):(\d+):\d+$|^(.*):(\d+)$/; // file:line:column, or file:line
const FRAMES_SHOWN = 5;
const baseName = (path) => path.replace(/^.*[/\\]/, "");

// The first finding a sanitizer reported in `err` (bytes), as the report tells it: what
// it found, then where, the calls that led there, innermost first, the program's own
// ("" when there is none). Looked for in the first STDERR_READ bytes, as ASCII.
export function fault(err) {
  const lines = String.fromCharCode(...err.subarray(0, STDERR_READ).map((b) => (b < 0x80 ? b : 0x3f))).split("\n");
  const at = lines.findIndex((line) => FINDING.test(line));
  if (at < 0)
    return "";
  const [, file, line, found, crash] = FINDING.exec(lines[at]);
  const said = (found ?? crash).trim();
  const words = CAUSES.find(([keys]) => keys.some((key) => said.toLowerCase().includes(key)))?.[1] ??
                `undefined behaviour: ${said}`;
  const frames = [];
  for (const text of lines.slice(at + 1)) {
    const frame = FRAME.exec(text);
    if (!frame)
      break;
    const [, name, where] = frame;
    const place = PLACE.exec(where);
    if (!place)
      continue;
    const path = place[1] ?? place[3], number = place[2] ?? place[4];
    if (/^(\/usr\/|\.\.\/|csu\/)/.test(path) || /^(_start|__libc_start)/.test(name))
      continue;
    const shown = `${name}, at ${baseName(path)} line ${number}`;
    if (frames[frames.length - 1] !== shown) // a call repeated (a recursion) is shown once
      frames.push(shown);
  }
  if (frames.length === 0 && file !== undefined)
    return `${words}\n    at       ${baseName(file)} line ${line}`;
  return words + frames.slice(0, FRAMES_SHOWN).map((shown, i) => `\n    ${i === 0 ? "in      " : "from    "} ${shown}`).join("");
}

// An exit status as a process reports it: its low eight bits (return 256 is 0, -1 is 255).
export const exitStatus = (status) => (typeof status === "number" ? status & 0xff : status);

// Judges a run against a case: { out, err, status } each, bytes and the exit status
// (a number, or words for an abnormal end), and the most bytes a run may write on each
// stream. "" when they agree, else the report: the exit status, then standard output,
// then standard error. Where the output ends early and standard error holds something,
// that is shown too.
export function judge(expected, actual, limit = Infinity) {
  for (const [stream, bytes] of [["output", actual.out], ["error", actual.err]])
    if (bytes.length > limit)
      return `wrote more than ${limit} bytes on standard ${stream}`;
  const found = fault(actual.err);
  if (found)
    return found;
  const status = exitStatus(actual.status);
  if (typeof status !== "number")
    return `ended abnormally: ${status}${firstLines(actual.err)}`;
  const output = difference("standard output", expected.out, actual.out);
  if (status !== expected.status)
    return `exit status ${status}, expected ${expected.status}` +
           (output ? `\n    ${output}` : "") + firstLines(actual.err);
  if (output && output.includes(`\n    actual   ${NOTHING}`) && actual.err.length > 0 && expected.err.length === 0)
    return output + firstLines(actual.err);
  return output || difference("standard error", expected.err, actual.err);
}

// What makes two failures the same fault: the same report, but for the case's input and
// command.
const failureKey = (report) => report.replace(/\n {4}(input|run|note) +[^\n]*/g, "");

// What a case that ran out of time says, with `how` to run it by hand.
export const unfinished = (timeout, how = "") => `did not finish within ${timeout} seconds${how}`;

// A check of many cases, as the checker prints it: `results` holds, in order, for each
// case run, { label, report } ("" for a pass) or { label, hung: true, how } for one that
// did not finish within `timeout` seconds, after which the rest (`left` more cases)
// were not run. Gives the lines printed, the summary last, and the counts.
export function checkLines(results, left, timeout) {
  const lines = [];
  const firstOf = new Map();
  let passed = 0, failed = 0, hungOn = "";
  for (const { label, report, hung, how } of results) {
    if (hung) {
      failed++;
      hungOn = label;
      lines.push(`FAIL ${label}: ${unfinished(timeout, how)}`);
      break;
    }
    if (!report) {
      passed++;
      lines.push(`pass ${label}`);
      continue;
    }
    failed++;
    const key = failureKey(report);
    if (failed > 3 && firstOf.has(key))
      lines.push(`FAIL ${label}: ${report.split("\n")[0].replace(/:$/, "")}, as in ${firstOf.get(key)}`);
    else {
      lines.push(`FAIL ${label}: ${report}`);
      if (!firstOf.has(key)) firstOf.set(key, label);
    }
  }
  let summary = `${passed} passed, ${failed} failed`;
  const skipped = hungOn ? left : 0;
  if (skipped > 0) {
    lines.push(`SKIP the other ${skipped} cases: ${hungOn} did not finish, and would not on them either`);
    summary += `, ${skipped} skipped`;
  }
  lines.push(summary);
  return { lines: lines.join("\n").split("\n"), passed, failed, skipped };
}
