// What the page shows of a program, a run, a check, a compile and a class: plain DOM. It keeps
// only the source views it made, which the next program's replace, and the observer that fits a
// report to its box.
import { columns } from "./report.mjs";
import { score } from "./class.mjs";
const $ = (id) => document.getElementById(id);
const decoder = new TextDecoder();
export const SHOWN = 4096; // bytes of output shown, up to the end of a line

export function clearResults() {
  for (const id of ["report", "terminal", "stdout", "stderr", "stdout-info", "terminal-more", "stdout-more", "verdict",
                    "mine-summary"])
    $(id).textContent = "";
  $("status").textContent = "(not run)";
}

// The start of a long output, up to the end of a line, and what is left out.
function start(bytes) {
  if (bytes.length <= SHOWN)
    return [decoder.decode(bytes), ""];
  let end = bytes.lastIndexOf(10, SHOWN - 1) + 1;
  if (end === 0)
    end = SHOWN;
  return [decoder.decode(bytes.subarray(0, end)), `${bytes.length - end} more bytes not shown.`];
}

// What a run wrote: the terminal (both outputs in the order written, each typed line
// after its prompt), standard output and error, and the exit status, or `status` as given.
export function show({ out, err, order, reads }, stdin, status) {
  const terminal = $("terminal");
  terminal.replaceChildren();
  let outAt = 0, errAt = 0, shown = 0, readIndex = 0;
  const typed = (upTo) => {
    while (readIndex < reads.length && reads[readIndex][0] <= upTo) {
      const [, from, to] = reads[readIndex++];
      const span = document.createElement("span");
      span.className = "typed";
      span.textContent = decoder.decode(stdin.subarray(from, to));
      terminal.append(span);
    }
  };
  for (const [fd, length] of order) {
    if (shown >= SHOWN)
      break;
    typed(outAt);
    if (fd === 1) {
      // A read may come within what was written at once: a prompt held, then more.
      const end = outAt + Math.min(length, SHOWN - shown);
      let at = outAt;
      while (readIndex < reads.length && reads[readIndex][0] > at && reads[readIndex][0] < end) {
        terminal.append(decoder.decode(out.subarray(at, reads[readIndex][0])));
        at = reads[readIndex][0];
        typed(at);
      }
      terminal.append(decoder.decode(out.subarray(at, end)));
      outAt += length;
    } else {
      const span = document.createElement("span");
      span.className = "stderr";
      span.textContent = decoder.decode(err.subarray(errAt, errAt + length));
      terminal.append(span);
      errAt += length;
    }
    shown += length;
  }
  typed(Infinity);
  $("terminal-more").textContent = shown >= SHOWN ? `${out.length + err.length - shown} more bytes not shown.` : "";
  const [text, more] = start(out);
  $("stdout").textContent = text;
  $("stdout-more").textContent = more;
  $("stdout-info").textContent = `(${out.length} bytes, ` +
    (out.length === 0 ? "empty)" : out[out.length - 1] === 10 ? "ends with a newline)" : "ends without a newline)");
  $("stderr").textContent = start(err)[0];
  $("status").textContent = status;
}

// A check's report: long lines wrap, but a difference's expected, actual and caret lines
// stay aligned in a box of their own that scrolls sideways; each case's input is a link,
// and so is each place in a file of yours where a program went wrong: goTo(file, line)
// gives what a click on it does, or null for a file that is not yours.
export function showReport(lines, openInput, goTo = () => null) {
  const box = $("report");
  box.replaceChildren();
  let aligned = null;
  lines.join("\n").split("\n").forEach((line, i, all) => {
    const text = i < all.length - 1 ? line + "\n" : line;
    if (/^ {4}(expected|actual) |^ +\^$/.test(line)) {
      if (!aligned) {
        aligned = document.createElement("span");
        aligned.className = "aligned";
        aligned.full = [];
        box.append(aligned);
      }
      aligned.full.push(line);
      return;
    }
    aligned = null;
    const input = /^( {4}input {4})(checker\/cases\/([^/]+)\/([^/]+)\/(.+)\.in)$/.exec(line);
    const place = /^( {4}(?:(?:in|from) +.*, at |at +))(\S+ line (\d+))$/.exec(line);
    const go = place && goTo(place[2].replace(/ line \d+$/, ""), Number(place[3]));
    const span = document.createElement("span");
    span.className = "line";
    if (go) {
      const link = document.createElement("a");
      link.href = "#";
      link.textContent = place[2];
      link.onclick = (e) => { e.preventDefault(); go(); };
      span.append(place[1], link, text.slice(line.length));
    } else if (input) {
      const link = document.createElement("a");
      link.href = `#${input[3]}/${input[4]}/${input[5]}`;
      link.textContent = input[2];
      link.onclick = (e) => { e.preventDefault(); openInput(`${input[4]}/${input[5]}`); };
      span.append(input[1], link, text.slice(line.length));
    } else {
      span.append(text);
    }
    box.append(span);
  });
  fit(box);
}

// A difference's lines, windowed around the caret to the width of their box: on a phone
// the caret stays in view, and the lines stay aligned. Again when the box's width changes.
const PREFIX = "    expected ".length;
function fit(box) {
  const groups = box.querySelectorAll(".aligned");
  if (groups.length === 0)
    return;
  const probe = document.createElement("span");
  probe.textContent = "0".repeat(40);
  groups[0].replaceChildren(probe);
  const room = Math.floor(groups[0].clientWidth / (probe.getBoundingClientRect().width / 40));
  for (const group of groups)
    group.textContent = windowed(group.full, room).join("\n") + "\n";
}
function windowed(lines, room) {
  const caretLine = lines.findIndex((l) => /^ +\^$/.test(l));
  const cells = (line) => [...line].map((char) => [char, columns(char)]);
  const widths = lines.map((l) => cells(l).reduce((n, [, w]) => n + w, 0));
  if (caretLine < 0 || Math.max(...widths) <= room)
    return lines;
  const caret = lines[caretLine].length - 1;
  const shown = Math.max(room - PREFIX - 2, 12);
  const from = Math.max(PREFIX, caret - Math.floor(shown / 2));
  let start = Infinity; // the column where the window's first character starts
  const cut = lines.map((line, i) => {
    if (i === caretLine)
      return line;
    let column = 0, kept = "", more = false;
    for (const [char, width] of cells(line)) {
      if (column < PREFIX || (column >= from && column + width <= from + shown))
        kept += char;
      else if (column >= from + shown)
        more = true;
      if (column >= from && column < start && column >= PREFIX)
        start = Math.min(start, column);
      column += width;
    }
    return kept.slice(0, PREFIX) + (from > PREFIX ? "…" : "") + kept.slice(PREFIX) + (more ? "…" : "");
  });
  const lead = from > PREFIX ? 1 : 0;
  cut[caretLine] = " ".repeat(PREFIX + lead + caret - Math.min(start, caret)) + "^";
  return cut;
}
let watched = null;
export function fitOnResize() {
  let width = 0;
  watched ??= new ResizeObserver(() => {
    if ($("report").clientWidth !== width) {
      width = $("report").clientWidth;
      fit($("report"));
    }
  });
  watched.observe($("report"));
}

// What the compiler said, each place in your file a link that calls goTo(line, column);
// `first`, when given, is said before it.
export function showDiagnostics(output, name, goTo, first = "") {
  const box = $("diagnostics");
  box.replaceChildren();
  if (first) {
    const p = document.createElement("strong");
    p.textContent = first + (output ? "\n\n" : "");
    box.append(p);
  }
  box.hidden = output === "" && first === "";
  const place = new RegExp(`(${name.replace(/[.+]/g, "\\$&")}):(\\d+):(\\d+)`, "g");
  let at = 0;
  for (const m of output.matchAll(place)) {
    box.append(output.slice(at, m.index));
    const link = document.createElement("a");
    link.href = "#";
    link.textContent = m[0];
    link.onclick = (e) => { e.preventDefault(); goTo(Number(m[2]), Number(m[3])); };
    box.append(link);
    at = m.index + m[0].length;
  }
  box.append(output.slice(at));
}

// A summary in view: focused (so that a screen reader reads it) and scrolled to.
export function bringIntoView(id) {
  const element = $(id);
  element.tabIndex = -1;
  element.focus({ preventScroll: true });
  element.scrollIntoView({ block: "nearest" });
}

// A program's source files, the lesson first: each as plain text at once, then in a
// read-only editor once `Editor` is there (editor(), a promise), unless another program
// is shown by then. The views of the program shown before are destroyed.
let sourceViews = [];
let shownSources = null;
export function showSources(program, editor) {
  for (const v of sourceViews)
    v.destroy();
  sourceViews = [];
  shownSources = program;
  $("files").replaceChildren();
  program.sources.forEach((s, i) => {
    const heading = document.createElement("h3");
    heading.textContent = s.name;
    const box = document.createElement("div");
    box.className = "source";
    const plain = document.createElement("pre");
    plain.textContent = s.text;
    plain.tabIndex = 0;
    plain.setAttribute("aria-label", `${s.name}, read only`);
    box.append(plain);
    $("files").append(heading, box);
    editor.then((Editor) => setTimeout(() => {
      if (shownSources !== program)
        return;
      box.replaceChildren();
      sourceViews.push(Editor.view(box, s.text, `${s.name}, read only`));
    }, 30 * i));
  });
}

// A graded student's row; its button shows their report and source (open() gives them).
export function addClassRow(row, open) {
  const tr = document.createElement("tr");
  tr.dataset.student = row.student;
  tr.dataset.passed = String(row.passed);
  tr.dataset.failed = String(row.failed);
  const button = document.createElement("button");
  button.type = "button";
  button.textContent = row.student;
  button.onclick = () => {
    const { report, files } = open();
    $("class-report").textContent = report;
    $("class-source").textContent = Object.entries(files).map(([name, text]) => `// ---- ${name}\n${text}`).join("\n");
    $("class-report").focus();
  };
  const cells = [button, row.built ? "yes" : "no",
                 `${row.passed} / ${row.failed}${row.skipped ? `, ${row.skipped} skipped` : ""}`,
                 `${score(row.passed, row.cases)} (${row.passed} of ${row.cases})`];
  for (const content of cells) {
    const td = document.createElement("td");
    td.append(content);
    tr.append(td);
  }
  $("class-table").tBodies[0].append(tr);
}

// A file made here, offered by the link `id`.
export function offerFile(id, blob) {
  URL.revokeObjectURL($(id).href);
  $(id).href = URL.createObjectURL(blob);
  $(id).hidden = false;
}
