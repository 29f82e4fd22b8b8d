// The entry field: where every entry is typed, on a phone's keyboard or a
// desktop's, and whence it goes to the line discipline whole. The field is
// read when Enter (a phone keyboard's send key) is pressed, never key by
// key: phone keyboards deliver text as they please (each character behind a
// keydown with no key, words grown through compositions, their own
// Backspace), and the field's value is what all of them agree on.

const ENTER = '\r';
const END = '\x04';  // Ctrl-D: the end of input, or the text so far without a newline
const LINE_BREAK = /\r\n?|\n/g;
const IME_KEY = 229;  // keyCode of a key that an input method is handling

export class Entry {
  #field;
  #send;
  // Text handed over while the keyboard was still composing it: a keyboard
  // that commits the composition after its Enter must not put it back.
  #taken = null;

  // field: {value, selectionStart, selectionEnd}; send(text) hands text to
  // the line discipline.
  constructor(field, send) {
    this.#field = field;
    this.#send = send;
  }

  // A key pressed in the field; true when the field takes it (and the
  // browser's own handling of it must be prevented). Tab and every other
  // key keep their usual meaning.
  keyDown(event) {
    this.#taken = null;
    if (event.key === 'Enter' && event.keyCode !== IME_KEY) {
      // Enter with a composition still open sends what it shows: the value
      // holds the composed text already, so it is taken now, and once.
      if (event.isComposing) this.#taken = this.#field.value;
      this.#handOver(ENTER);
      return true;
    }
    const ctrlD = isCtrlD(event);
    if (ctrlD) this.end();
    return ctrlD;
  }

  // The field's text has changed (typed, composed, erased).
  input() {
    if (this.#taken !== null && this.#field.value === this.#taken) this.#field.value = '';
    this.#taken = null;
  }

  // What Ctrl-D does in a terminal: the end of input on an empty field,
  // the field's text without a newline otherwise.
  end() {
    this.#handOver(END);
  }

  // Text pasted over the field's selection. A single line is left to the
  // field; several are handed over at once, their line breaks intact, and
  // whatever follows the last one stays in the field to be finished. True
  // when the paste was handled here.
  paste(text) {
    if (!/[\r\n]/.test(text)) return false;
    const {value, selectionStart, selectionEnd} = this.#field;
    const whole = value.slice(0, selectionStart ?? value.length) + text + value.slice(selectionEnd ?? value.length);
    const cut = lastLineEnd(whole);
    this.#field.value = whole.slice(cut);
    this.#send(whole.slice(0, cut));
    return true;
  }

  clear() {
    this.#field.value = '';
    this.#taken = null;
  }

  #handOver(ending) {
    const text = this.#field.value;
    this.#field.value = '';
    this.#send(text + ending);
  }
}

function isCtrlD(event) {
  return Boolean(event.ctrlKey) && !event.altKey && !event.metaKey && (event.key === 'd' || event.key === 'D');
}

// Where the text's last line break ends.
function lastLineEnd(text) {
  let end = 0;
  for (const match of text.matchAll(LINE_BREAK)) end = match.index + match[0].length;
  return end;
}

// Wires the field, the end-input button and the output area together:
// clicking or tapping the output puts the focus in the field, so that a
// phone's keyboard opens, unless text is selected there to be copied
// (`selected()`: the page's selection, unless the view keeps its own).
// Ctrl-D, which the button announces, does what the button does wherever
// the focus is, as long as the button can be used. Returns the Entry.
export function openEntryField({field, endButton, output, send, selected = () => pageSelection(output)}) {
  const entry = new Entry(field, send);
  field.addEventListener('keydown', (event) => {
    if (entry.keyDown(event)) event.preventDefault();
  });
  field.addEventListener('input', () => entry.input());
  field.addEventListener('paste', (event) => {
    if (entry.paste(event.clipboardData?.getData('text/plain') ?? '')) event.preventDefault();
  });
  endButton.addEventListener('click', () => {
    entry.end();
    field.focus();
  });
  field.ownerDocument.addEventListener('keydown', (event) => {
    if (event.defaultPrevented || endButton.disabled || !isCtrlD(event)) return;
    event.preventDefault();
    endButton.click();
  });
  output.addEventListener('click', () => {
    if (!selected()) field.focus();
  });
  return entry;
}

function pageSelection(element) {
  return String(element.ownerDocument.getSelection() ?? '') !== '';
}

// Keeps the page inside the visual viewport, which a phone's keyboard
// shrinks: the page's height follows it (through --visible-height) so the
// field stays at its bottom, and `onChange` scrolls the output to its end.
// Where the browser resizes the layout itself for the keyboard, the two
// heights agree and this changes nothing. A pinch zoom shrinks the visual viewport too; the
// page keeps its height then, or zooming would gain nothing.
export function keepInView(window, field, onChange) {
  const viewport = window.visualViewport;
  if (!viewport) return;
  const root = window.document.documentElement;
  const fit = () => {
    if (Math.abs(viewport.scale - 1) < 0.01) root.style.setProperty('--visible-height', `${viewport.height}px`);
    else root.style.removeProperty('--visible-height');
    onChange();
    if (window.document.activeElement === field) field.scrollIntoView({block: 'nearest'});
  };
  viewport.addEventListener('resize', fit);
  fit();
}
