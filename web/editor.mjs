// The page's editor and source views: CodeMirror 6 with C and C++ highlighting and line
// numbers, bundled by make_page.mjs as the global `Editor`, which the page loads once its
// first screen is painted.
import { EditorState } from "@codemirror/state";
import { EditorView, keymap, lineNumbers, highlightActiveLine, highlightActiveLineGutter,
         drawSelection } from "@codemirror/view";
import { defaultKeymap, history, historyKeymap, indentWithTab } from "@codemirror/commands";
import { syntaxHighlighting, HighlightStyle, bracketMatching, indentOnInput } from "@codemirror/language";
import { cpp } from "@codemirror/lang-cpp";
import { tags } from "@lezer/highlight";

// Colours that read on white for everyone (contrast 4.5:1 and more).
const colours = syntaxHighlighting(HighlightStyle.define([
  { tag: [tags.keyword, tags.controlKeyword, tags.modifier], color: "#7a1f99" },
  { tag: [tags.comment, tags.lineComment, tags.blockComment], color: "#4d5d4d", fontStyle: "italic" },
  { tag: [tags.string, tags.character, tags.special(tags.string)], color: "#a31515" },
  { tag: [tags.number, tags.bool, tags.null], color: "#106040" },
  { tag: [tags.typeName, tags.standard(tags.typeName)], color: "#0b5394" },
  { tag: [tags.processingInstruction, tags.meta], color: "#7a4a00" },
  { tag: tags.function(tags.variableName), color: "#1c4f8a" },
]));

const theme = EditorView.theme({
  "&": { fontSize: "15px", border: "1px solid #767676" },
  ".cm-scroller": { fontFamily: 'ui-monospace, "WenQuanYi Micro Hei Mono", monospace', overflow: "auto" },
  ".cm-content": { padding: "4px 0" },
  "&.cm-focused": { outline: "3px solid #1a5fb4", outlineOffset: "2px" },
});

// A read-only view of a source file, highlighted, with line numbers; long lines scroll.
export function view(parent, text, label) {
  return new EditorView({
    parent,
    state: EditorState.create({
      doc: text,
      extensions: [lineNumbers(), colours, cpp(), theme,
                   EditorState.readOnly.of(true), EditorView.editable.of(false),
                   EditorView.contentAttributes.of({ "aria-label": label, tabindex: "0" })],
    }),
  });
}

// An editor: `changed(text)` is called after each change. Tab indents; Escape, then Tab,
// moves on to the next control, as in any CodeMirror editor.
export function editor(parent, text, label, changed) {
  return new EditorView({
    parent,
    state: EditorState.create({
      doc: text,
      extensions: [lineNumbers(), highlightActiveLine(), highlightActiveLineGutter(), drawSelection(),
                   history(), indentOnInput(), bracketMatching(), cpp(), theme,
                   colours,
                   keymap.of([...defaultKeymap, ...historyKeymap, indentWithTab]),
                   EditorView.contentAttributes.of({ "aria-label": label, tabindex: "0" }),
                   EditorView.updateListener.of((u) => { if (u.docChanged) changed(u.state.doc.toString()); })],
    }),
  });
}

export const text = (v) => v.state.doc.toString();
export function replace(v, doc) {
  v.dispatch({ changes: { from: 0, to: v.state.doc.length, insert: doc } });
}
// Puts the cursor at a line and column (from 1), shows it, and focuses the editor.
export function goTo(v, line, column) {
  const l = v.state.doc.line(Math.min(Math.max(line, 1), v.state.doc.lines));
  const at = Math.min(l.from + Math.max(column, 1) - 1, l.to);
  v.dispatch({ selection: { anchor: at }, scrollIntoView: true });
  v.focus();
}
