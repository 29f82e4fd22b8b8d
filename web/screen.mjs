// The program's screen: its output as text in a <pre>, drawn once per
// animation frame. The program writes only text, newlines, tabs (8-column
// stops, from CSS), the bell and the sequence that `clear` writes, which
// empties the screen and its scrollback; the line discipline's echo adds the
// Enter's "\r\n". Like a terminal it keeps the last SCROLLBACK lines, so a
// huge output keeps the page small.
//
// The bell is not a character on the screen: the line that rang is marked
// instead, silently and without flashing, and is an alert of its own within
// the log, so that a screen reader says it at once, and once.
//
// Each frame's text is appended to what is there, never rewritten, so a
// screen reader (the <pre> is a polite live log) hears what is new, never
// the whole history again. Whole lines go in blocks of their own, so that
// drawing lays out only what is new.
import {CLEAR} from './commands.mjs';

const SCROLLBACK = 5000;
// Undrawn text beyond which the program should wait for the next frame.
const UNDRAWN_BOUND = 256 * 1024;
const BLOCK_LINES = 100;
// The width to fit: the widest prompt the program writes (58 columns) with
// an entry of up to 4 characters echoed after it, which is wider than its
// menus and tables. Its wider prose (up to 84 columns: a star's distance in
// kilometres, the light-time question) wraps at spaces, as a longer entry
// does at its start.
const COLUMNS = 62;
const LARGEST_FONT = 15;
const SMALLEST_FONT = 6;
const FONT_STEP = 0.25;

export class Screen {
  #element;
  #decoder = new TextDecoder();
  #undrawn = '';
  #frame = 0;
  #drawn = [];  // the waiters for the next frame
  #blocks = [];  // {element, newlines}: the screen's blocks, oldest first
  #open = null;  // the block of the unfinished last line
  #kept = 0;  // the newlines in #blocks
  #lastLine = '';  // the text after the last newline written, drawn or not

  constructor(element) {
    this.#element = element;
    const fit = () => fitFont(element);
    fit();
    new ResizeObserver(fit).observe(element);
  }

  // Output: program bytes (UTF-8) or text.
  write(data) {
    let text = typeof data === 'string' ? data : this.#decoder.decode(data, {stream: true});
    const cleared = text.lastIndexOf(CLEAR);
    if (cleared >= 0) {
      this.reset();
      text = text.slice(cleared + CLEAR.length);
    }
    if (text.includes('\r')) text = text.replaceAll('\r', '');
    const lineEnd = text.lastIndexOf('\n');
    this.#lastLine = lineEnd < 0 ? this.#lastLine + text : text.slice(lineEnd + 1);
    this.#undrawn += text;
    this.#schedule();
  }

  // An empty screen with no scrollback.
  reset() {
    this.#decoder = new TextDecoder();
    this.#undrawn = '';
    this.#element.textContent = '';
    this.#blocks = [];
    this.#open = null;
    this.#kept = 0;
    this.#lastLine = '';
  }

  // The line the output ends with, drawn or not (the bell left out): the
  // prompt, when the program waits for an entry.
  lastLine() {
    return this.#lastLine.replaceAll('\x07', '');
  }

  // Resolves once the text not yet drawn is within the bound: at once, or
  // after the frame that draws it.
  drawn() {
    if (this.#undrawn.length <= UNDRAWN_BOUND) return Promise.resolve();
    return new Promise((resolve) => this.#drawn.push(resolve));
  }

  #schedule() {
    if (this.#frame || this.#undrawn === '') return;
    const draw = () => {
      this.#frame = 0;
      this.#draw();
    };
    // Hidden pages get no frames; their text is drawn all the same.
    this.#frame = document.hidden ? setTimeout(draw, 100) : requestAnimationFrame(draw);
  }

  #draw() {
    const element = this.#element;
    const text = this.#undrawn;
    this.#undrawn = '';
    for (const resolve of this.#drawn.splice(0)) resolve();
    if (text === '') return;
    const atEnd = element.scrollTop + element.clientHeight >= element.scrollHeight - 4;
    let rest = text;
    for (let bell = rest.indexOf('\x07'); bell >= 0; bell = rest.indexOf('\x07')) {
      const lineStart = rest.lastIndexOf('\n', bell) + 1;
      this.#drawText(rest.slice(0, lineStart));
      this.#continueLine(rest.slice(lineStart, bell));
      this.#open.element.className = 'rang';
      this.#open.element.setAttribute('role', 'alert');
      rest = rest.slice(bell + 1);
    }
    this.#drawText(rest);
    while (this.#blocks.length > 1 && this.#kept - this.#blocks[0].newlines >= SCROLLBACK) {
      const oldest = this.#blocks.shift();
      this.#kept -= oldest.newlines;
      oldest.element.remove();
    }
    if (atEnd) element.scrollTop = element.scrollHeight;
  }

  #drawText(text) {
    if (text === '') return;
    const first = text.indexOf('\n');
    const last = text.lastIndexOf('\n');
    if (first < 0) {
      this.#continueLine(text);
    } else {
      this.#continueLine(text.slice(0, first + 1));
      if (last > first) this.#addBlock(text.slice(first + 1, last + 1));
      if (last + 1 < text.length) this.#continueLine(text.slice(last + 1));
    }
  }

  // Text for the unfinished last line, in a block of its own that is done
  // once the text ends the line.
  #continueLine(text) {
    if (!this.#open) this.#open = this.#blockOf('');
    if (text) this.#open.element.append(text);
    if (text.endsWith('\n')) {
      this.#open.newlines = 1;
      this.#kept += 1;
      this.#open = null;
    }
  }

  // Whole lines in blocks of their own: appending one leaves the layout of
  // the others as it was, and the browser lays out a block of many lines
  // only once it is scrolled into view (a flood of output is mostly
  // scrolled past unseen).
  #addBlock(text) {
    for (let from = 0; from < text.length; ) {
      const to = lineEnd(text, from, BLOCK_LINES);
      this.#blockOf(text.slice(from, to));
      from = to;
    }
  }

  #blockOf(text) {
    const block = {element: document.createElement('span'), newlines: newlinesIn(text)};
    if (text) block.element.append(text);
    if (block.newlines >= BLOCK_LINES / 2) {
      block.element.style.contentVisibility = 'auto';
      block.element.style.containIntrinsicBlockSize = `auto ${block.newlines}lh`;
    }
    this.#element.append(block.element);
    this.#blocks.push(block);
    this.#kept += block.newlines;
    return block;
  }
}

// The index after the `count`-th newline from `from` on, or the end.
function lineEnd(text, from, count) {
  let at = from - 1;
  for (let i = 0; i < count; i++) {
    at = text.indexOf('\n', at + 1);
    if (at < 0) return text.length;
  }
  return at + 1;
}

function newlinesIn(text) {
  let count = 0;
  for (let i = text.indexOf('\n'); i >= 0; i = text.indexOf('\n', i + 1)) count++;
  return count;
}

// The largest font, in steps of FONT_STEP px up to LARGEST_FONT, at which
// COLUMNS characters of the screen's own font fit its width, as measured at
// that size: engines round glyph widths differently at small sizes (WebKit to
// whole pixels), so a width measured at one size does not scale to another.
function fitFont(element) {
  const width = element.clientWidth - paddingOf(element);
  if (width <= 0) return;
  const probe = document.createElement('span');
  probe.textContent = '0'.repeat(COLUMNS);
  probe.setAttribute('aria-hidden', 'true');
  Object.assign(probe.style, {
    position: 'absolute', visibility: 'hidden', whiteSpace: 'pre', fontFamily: getComputedStyle(element).fontFamily,
  });
  document.body.append(probe);
  const fits = (steps) => {
    probe.style.fontSize = `${steps * FONT_STEP}px`;
    return probe.getBoundingClientRect().width <= width;
  };
  // Binary search over the steps, the smallest size taken when none fits.
  let low = SMALLEST_FONT / FONT_STEP;
  let high = LARGEST_FONT / FONT_STEP;
  while (low < high) {
    const middle = Math.ceil((low + high) / 2);
    if (fits(middle)) low = middle;
    else high = middle - 1;
  }
  probe.remove();
  element.style.fontSize = `${low * FONT_STEP}px`;
}

function paddingOf(element) {
  const style = getComputedStyle(element);
  return parseFloat(style.paddingLeft) + parseFloat(style.paddingRight);
}
