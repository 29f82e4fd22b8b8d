// The page's line discipline, for a program that reads lines: the entry
// field sends whole entries, each ending in Enter ('\r') or Ctrl-D ('\x04'),
// or pasted blocks of lines. It hands the program a line at a time and
// reports the end of input on Ctrl-D at the start of a line (elsewhere Ctrl-D
// hands over the line so far, without a newline).
//
// Lines wait in order until the program reads them and are echoed then, so
// the screen shows each entry after the prompt that takes it.
//
// A paste of any length costs time in proportion to its length, and while
// the program answers it the page stays responsive: text is looked at only
// as far as the next read needs, and since the program resumes from each
// read in a promise callback, once a slice of SLICE_MS has run without a
// break the next read is answered from a new task, letting clicks and
// drawing in between.

export const SLICE_MS = 10;

const CONTROL = /[\x00-\x08\x0a-\x1f\x7f]/g;  // every control but Tab
const encoder = new TextEncoder();

export class LineDiscipline {
  #echo;
  #now;
  #nextTask;
  #pending = [];  // text input and not yet looked at, in order
  #at = 0;  // how far the first of #pending has been looked at
  #control = new RegExp(CONTROL);
  #edit = '';  // the line so far, not yet ended
  #ready = [];  // lines handed over ('' for the end), read from #head on
  #head = 0;
  #rest = null;  // what a read left of the line it took, as bytes
  #reader = null;  // {capacity, resolve}: the program waits for input
  #sliceStart;
  #closed = false;

  // echo(text) writes to the screen. `now` and `nextTask` (run a callback
  // from a new task) are the clock and scheduler, for tests.
  constructor(echo, {now = () => performance.now(), nextTask = inNewTask} = {}) {
    this.#echo = echo;
    this.#now = now;
    this.#nextTask = nextTask;
    this.#sliceStart = now();
  }

  // Entries sent or text pasted.
  input(data) {
    if (this.#closed) return;
    this.#sliceStart = this.#now();
    if (data !== '') this.#pending.push(data);
    this.#serve();
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

  // Looks at the pending text up to its next control character (which may
  // end a line) or its end.
  #scan() {
    const data = this.#pending[0];
    this.#control.lastIndex = this.#at;
    const found = this.#control.exec(data);
    const end = found ? found.index : data.length;
    this.#edit += data.slice(this.#at, end);
    this.#at = found ? this.#onControl(data, end) : end;
    if (this.#at >= data.length) {
      this.#pending.shift();
      this.#at = 0;
    }
  }

  // Handles the control character at `at`: a line's end, or one that
  // pasted text may hold, which no entry needs and is left out. Returns
  // where the text goes on.
  #onControl(data, at) {
    const key = data[at];
    if (key === '\x04') this.#handOver('');
    if (key !== '\r' && key !== '\n') return at + 1;
    this.#handOver('\n');
    return key === '\r' && data[at + 1] === '\n' ? at + 2 : at + 1;
  }

  // Enter (ending '\n') or Ctrl-D (ending ''): the line so far goes to the
  // program; Ctrl-D on an empty line hands over nothing, which is the end.
  #handOver(ending) {
    this.#ready.push(this.#edit + ending);
    this.#edit = '';
  }

  #serve() {
    const reader = this.#reader;
    if (!reader) return;
    if (this.#rest === null && !this.#take()) return;
    const bytes = this.#rest.subarray(0, reader.capacity);
    this.#rest = bytes.length < this.#rest.length ? this.#rest.subarray(bytes.length) : null;
    this.#reader = null;
    if (this.#now() - this.#sliceStart < SLICE_MS) {
      reader.resolve(bytes);
      return;
    }
    this.#nextTask(() => {
      this.#sliceStart = this.#now();
      reader.resolve(bytes);
    });
  }

  // The next line becomes the one being read, and is echoed.
  #take() {
    while (this.#head === this.#ready.length && this.#pending.length > 0) this.#scan();
    if (this.#head === this.#ready.length) return false;
    const line = this.#ready[this.#head];
    this.#ready[this.#head++] = undefined;
    if (this.#head === this.#ready.length || this.#head * 2 > this.#ready.length + 8192) {
      this.#ready = this.#ready.slice(this.#head);
      this.#head = 0;
    }
    this.#echo(line.endsWith('\n') ? `${line.slice(0, -1)}\r\n` : line);
    this.#rest = encoder.encode(line);
    return true;
  }
}

// Runs `callback` from a task of its own, after whatever input and drawing
// the browser has waiting (a message, unlike a timer, is not held back).
function inNewTask(callback) {
  if (typeof MessageChannel === 'undefined') {
    setTimeout(callback, 0);
    return;
  }
  const channel = new MessageChannel();
  channel.port1.onmessage = () => {
    channel.port1.close();
    callback();
  };
  channel.port2.postMessage(null);
}
