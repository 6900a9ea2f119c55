// How a case is judged and reported, as tests/check.cmake does it (its rules are in
// tests/report.cmake, and as examples in tests/report-examples.json, which this file
// must pass too): bytes compared with bytes, and the first difference shown with
// what cannot be seen made visible.

const NEWLINE = 0x0a;
const WIDE_RANGES = [[0x1100, 0x115f], [0x2e80, 0xa4cf], [0xac00, 0xd7a3], [0xf900, 0xfaff],
                     [0xfe30, 0xfe4f], [0xff00, 0xff60], [0xffe0, 0xffe6], [0x20000, 0x3fffd]];
const SHOWN_BEFORE = 30; // a long line is shown from this many bytes before its difference,
const CUT_AFTER = 40;    // when the difference lies further in than this,
const SHOWN_AFTER = 40;  // to this many bytes after it
const LEFT_OUT = "...";
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

// C1 controls, spaces that look like none, zero-width and direction marks, the
// byte order mark and the noncharacters: shown as their bytes.
function invisible(point) {
  return point <= 0xa0 || point === 0xad || point === 0xfeff || (point >= 0x200b && point <= 0x200f) ||
         (point >= 0x2028 && point <= 0x202e) || (point >= 0x2060 && point <= 0x2064) ||
         (point & 0xffff) >= 0xfffe;
}

const hex = (byte) => "\\x" + byte.toString(16).padStart(2, "0");

// Bytes as text, with what cannot be seen made visible, and the columns it takes.
export function visible(bytes) {
  let text = "";
  let width = 0;
  for (let i = 0; i < bytes.length;) {
    const [point, length] = character(bytes, i);
    let shown;
    if (point >= 0 && !invisible(point)) {
      shown = new TextDecoder().decode(bytes.subarray(i, i + length));
      width += WIDE_RANGES.some(([low, high]) => point >= low && point <= high) ? 2 : 1;
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

const continues = (bytes, at) => at < bytes.length && (bytes[at] & 0xc0) === 0x80;

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
export function difference(what, expected, actual) {
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

// The first three lines of standard error, shown as text is, then "..." if there is more.
export function firstLines(bytes) {
  let shown = "";
  let rest = bytes;
  for (let n = 0; n < 3 && rest.length > 0; n++) {
    const end = rest.indexOf(NEWLINE);
    const line = end < 0 ? rest : rest.subarray(0, end + 1);
    rest = end < 0 ? rest.subarray(rest.length) : rest.subarray(end + 1);
    shown += `\n    stderr   ${shownLine(line, 0, line.length)}`;
  }
  return rest.length > 0 ? shown + "\n    stderr   ..." : shown;
}

// Judges a run against a case: { out, err, status } each, bytes and the exit status
// (a number, or words for an abnormal end). "" when they agree, else the report: the
// exit status, then standard output, then standard error.
export function judge(expected, actual) {
  if (typeof actual.status !== "number")
    return `ended abnormally: ${actual.status}${firstLines(actual.err)}`;
  const output = difference("standard output", expected.out, actual.out);
  if (actual.status !== expected.status)
    return `exit status ${actual.status}, expected ${expected.status}` +
           (output ? `\n    ${output}` : "") + firstLines(actual.err);
  return output || difference("standard error", expected.err, actual.err);
}

// What makes two failures the same fault: the report without the actual line and its
// mark, nor the case's input and command.
export function failureKey(report) {
  return report.replace(/\n    actual {3}[^\n]*\n +\^/g, "").replace(/\n {4}(input|run) +[^\n]*/g, "");
}
