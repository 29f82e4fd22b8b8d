// The program's screen: its output as text in a log, drawn once per
// animation frame. The program writes only text, newlines, tabs (8-column
// stops, from CSS), the bell and the sequence that `clear` writes, which
// empties the screen and its scrollback; the line discipline's echo adds the
// Enter's "\r\n". Like a terminal it keeps the last SCROLLBACK lines, so a
// huge output keeps the page small.
//
// What a screen reader hears: each frame's new text is one element of its
// own appended to the log, never a change to what is there, so that it is
// announced whole, in order, and alone (Chromium re-reads a log whose text
// nodes grow, Firefox says only the last of several elements added at once).
// The line a frame leaves open, the prompt, floats, so that the next frame's
// first line, the echoed entry, goes on beside it, as on a terminal, without
// touching the prompt's element.
//
// The bell is not a character on the screen: the line that rang is marked
// instead, silently and without flashing.
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
  #blocks = [];  // {element, newlines}: the frames' blocks, oldest first
  #kept = 0;  // the newlines in #blocks
  #lastLine = '';  // the text after the last newline written, drawn or not

  constructor(element) {
    this.#element = element;
    // Fitted again only when the width changes: not for the observer's
    // first call, nor when a phone's keyboard takes height.
    let fittedWidth = -1;
    const fit = () => {
      if (element.clientWidth === fittedWidth) return;
      fittedWidth = element.clientWidth;
      fitFont(element);
    };
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

  // Resolves once the text written so far is drawn.
  shown() {
    if (this.#undrawn === '') return Promise.resolve();
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
    for (const from of blockStarts(text)) this.#addBlock(text.slice(from.start, from.end));
    while (this.#blocks.length > 1 && this.#kept - this.#blocks[0].newlines >= SCROLLBACK) {
      const oldest = this.#blocks.shift();
      this.#kept -= oldest.newlines;
      oldest.element.remove();
    }
    if (atEnd) element.scrollTop = element.scrollHeight;
  }

  // A block of the frame's text: its lines as text, but for the lines that
  // rang and the open last line, each in a span of its own. A block with
  // many lines is laid out only once it is scrolled into view (a flood of
  // output is mostly scrolled past unseen).
  #addBlock(text) {
    const block = {element: document.createElement('div'), newlines: newlinesIn(text)};
    for (const {text: part, rang} of partsOf(text)) {
      const last = part.lastIndexOf('\n') + 1;
      block.element.append(spanOf(part.slice(0, last), rang ? 'rang' : ''));
      if (last < part.length) block.element.append(spanOf(part.slice(last), rang ? 'open rang' : 'open'));
    }
    if (block.newlines >= BLOCK_LINES / 2) {
      block.element.style.contentVisibility = 'auto';
      block.element.style.containIntrinsicBlockSize = `auto ${block.newlines}lh`;
    }
    this.#element.append(block.element);
    this.#blocks.push(block);
    this.#kept += block.newlines;
  }
}

// Text, or a span of the class when it has one.
function spanOf(text, className) {
  if (!className || !text) return text;
  const span = document.createElement('span');
  span.className = className;
  span.append(text);
  return span;
}

// Where a frame's text is cut into blocks: after its first line, which
// goes on beside a line left open (a block with many lines is laid out on
// its own, not beside it), then every BLOCK_LINES lines.
function blockStarts(text) {
  const blocks = [];
  let start = 0;
  let end = text.indexOf('\n') + 1;
  if (end === 0 || lineEnd(text, 0, BLOCK_LINES / 2) === text.length) end = text.length;
  while (start < text.length) {
    blocks.push({start, end});
    start = end;
    end = lineEnd(text, start, BLOCK_LINES);
  }
  return blocks;
}

// A frame's text in parts, each {text, rang}: the lines that rang the bell
// (the bells left out) apart from the others.
function partsOf(text) {
  const parts = [];
  let rest = text;
  for (let bell = rest.indexOf('\x07'); bell >= 0; bell = rest.indexOf('\x07')) {
    const lineStart = rest.lastIndexOf('\n', bell) + 1;
    const next = rest.indexOf('\n', bell) + 1 || rest.length;
    if (lineStart > 0) parts.push({text: rest.slice(0, lineStart), rang: false});
    parts.push({text: rest.slice(lineStart, next).replaceAll('\x07', ''), rang: true});
    rest = rest.slice(next);
  }
  if (rest) parts.push({text: rest, rang: false});
  return parts;
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
// So the width at the largest size gives only a first guess; the sizes
// beside it are then measured until the largest that fits is found, about
// three layouts of a probe in all.
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
  const widthAt = (steps) => {
    probe.style.fontSize = `${steps * FONT_STEP}px`;
    return probe.getBoundingClientRect().width;
  };
  const fits = (steps) => widthAt(steps) <= width;
  const smallest = SMALLEST_FONT / FONT_STEP;
  const largest = LARGEST_FONT / FONT_STEP;
  let steps = Math.max(smallest, Math.min(largest, Math.floor((largest * width) / widthAt(largest))));
  if (fits(steps)) {
    while (steps < largest && fits(steps + 1)) steps++;
  } else {
    // The smallest size is taken when none fits.
    while (steps > smallest && !fits(--steps));
  }
  probe.remove();
  element.style.fontSize = `${steps * FONT_STEP}px`;
}

function paddingOf(element) {
  const style = getComputedStyle(element);
  return parseFloat(style.paddingLeft) + parseFloat(style.paddingRight);
}
