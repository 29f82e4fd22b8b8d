// What a terminal's line discipline does for a program that reads lines:
// it echoes keys, erases with Backspace (Ctrl-U: the whole line), hands over
// a line on Enter, and reports the end of input on Ctrl-D at the start of a
// line (elsewhere Ctrl-D hands over the line so far, without a newline).
//
// Lines that arrive while the program is busy (a pasted block, keys typed
// ahead) wait in order and are echoed when the program reads them, so the
// screen shows each entry after the prompt that took it.

const ENTER = '\r';
const NEWLINE = '\n';
const ERASE = new Set(['\x7f', '\b']);
const KILL = '\x15';
const END = '\x04';
const ESCAPE = '\x1b';
const TAB = '\t';

const encoder = new TextEncoder();

export class LineDiscipline {
  #echo;
  #edit = [];  // the line being typed, one code point per element
  #live = false;  // the line being typed is on screen and keys echo at once
  #ready = [];  // {bytes, echo}: input handed over, not yet read
  #reader = null;  // {capacity, resolve}: the program waits for input
  #closed = false;

  // echo(text) writes to the terminal.
  constructor(echo) {
    this.#echo = echo;
  }

  // Keys typed or text pasted, as the terminal reports them.
  input(data) {
    if (this.#closed) return;
    const keys = [...data];
    for (let i = 0; i < keys.length; i++) {
      const key = keys[i];
      if (key === ENTER || key === NEWLINE) {
        if (key === NEWLINE && keys[i - 1] === ENTER) continue;
        this.#handOver(NEWLINE);
      } else if (ERASE.has(key)) {
        this.#erase(1);
      } else if (key === KILL) {
        this.#erase(this.#edit.length);
      } else if (key === END) {
        this.#handOver('');
      } else if (key === ESCAPE) {
        i = skipSequence(keys, i);
      } else if (key >= ' ' || key === TAB) {
        this.#edit.push(key);
        if (this.#live) this.#echo(key);
      }
    }
  }

  // The program's read: a promise of at most `capacity` bytes, none at the
  // end of input.
  read(capacity) {
    return new Promise((resolve) => {
      this.#reader = {capacity, resolve};
      this.#serve();
    });
  }

  // The program has ended: keys no longer matter.
  close() {
    this.#closed = true;
  }

  #erase(count) {
    const n = Math.min(count, this.#edit.length);
    this.#edit.length -= n;
    if (this.#live && n > 0) this.#echo('\b \b'.repeat(n));
  }

  // Enter (ending '\n') or Ctrl-D (ending ''): the line so far goes to the
  // program; Ctrl-D on an empty line hands over nothing, which is the end.
  #handOver(ending) {
    const text = this.#edit.join('');
    const shown = ending === NEWLINE ? '\r\n' : '';
    this.#edit = [];
    this.#ready.push({bytes: encoder.encode(text + ending), echo: this.#live ? null : text + shown});
    if (this.#live) this.#echo(shown);
    this.#live = false;
    this.#serve();
  }

  #serve() {
    const reader = this.#reader;
    if (!reader) return;
    const next = this.#ready[0];
    if (!next) {
      if (!this.#live) {
        this.#live = true;
        this.#echo(this.#edit.join(''));
      }
      return;
    }
    if (next.echo) this.#echo(next.echo);
    next.echo = null;
    const bytes = next.bytes.subarray(0, reader.capacity);
    next.bytes = next.bytes.subarray(bytes.length);
    if (next.bytes.length === 0) this.#ready.shift();
    this.#reader = null;
    reader.resolve(bytes);
  }
}

// Keys such as the arrows arrive as escape sequences; a line discipline
// without line editing has no use for them. Returns the index of the
// sequence's last character.
function skipSequence(keys, start) {
  const kind = keys[start + 1];
  if (kind === '[') {
    let i = start + 2;
    while (i < keys.length && !(keys[i] >= '@' && keys[i] <= '~')) i++;
    return i;
  }
  return kind === 'O' ? start + 2 : start + 1;
}
