// The program's screen: its output as text in a <pre>, drawn once per
// animation frame. The program writes only text, newlines, tabs (8-column
// stops, from CSS), the bell (not shown) and the sequence that `clear`
// writes, which empties the screen and its scrollback; the line discipline's
// echo adds the Enter's "\r\n" and Backspace's "\b \b". Like a terminal it
// keeps the last SCROLLBACK lines, so a huge output keeps the page small.
//
// Each frame's text is appended as a text node of its own, so a screen
// reader (the <pre> is a polite live log) hears what is new, never the
// whole history again.
import {CLEAR} from './commands.mjs';

export const SCROLLBACK = 5000;
// Undrawn text beyond which the program should wait for the next frame.
export const UNDRAWN_BOUND = 256 * 1024;
const WIDEST_LINE = 54;
const LARGEST_FONT = 15;

export class Screen {
  #element;
  #decoder = new TextDecoder();
  #undrawn = '';
  #frame = 0;
  #drawn = [];  // the waiters for the next frame
  #lines = [];  // the newlines in each text node, oldest first
  #kept = 0;  // the sum of #lines
  #characters = 0;  // shown since the last clear, scrolled out or not
  #newlines = 0;

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
    if (/[\x07\r\b]/.test(text)) text = this.#controls(text);
    this.#undrawn += text;
    this.#schedule();
  }

  // An empty screen with no scrollback.
  reset() {
    this.#decoder = new TextDecoder();
    this.#undrawn = '';
    this.#element.textContent = '';
    this.#lines = [];
    this.#kept = 0;
    this.#characters = 0;
    this.#newlines = 0;
  }

  // Resolves once the text not yet drawn is within the bound: at once, or
  // after the frame that draws it.
  drawn() {
    if (this.#undrawn.length <= UNDRAWN_BOUND) return Promise.resolve();
    return new Promise((resolve) => this.#drawn.push(resolve));
  }

  // The text on the screen, scrollback included.
  text() {
    return this.#element.textContent + this.#undrawn;
  }

  // The text as a person sees it (tabs expanded, the ends of lines and of
  // the screen without blanks), for scripts that read the screen.
  shown() {
    return this.text()
      .split('\n')
      .map((line) => {
        let shown = '';
        for (const c of line) shown += c === '\t' ? ' '.repeat(8 - (shown.length % 8)) : c;
        return shown.trimEnd();
      })
      .join('\n')
      .replace(/\n+$/, '');
  }

  // Characters and lines shown since the last clear, scrolled out or not.
  counts() {
    const undrawn = this.#undrawn;
    return {characters: this.#characters + undrawn.length, newlines: this.#newlines + newlinesIn(undrawn)};
  }

  // The bell shows nothing; "\r\n" is a newline; Backspace takes back the
  // last character of the line ("\b \b" erases it, as on a terminal).
  #controls(text) {
    let out = this.#undrawn;
    this.#undrawn = '';
    for (const c of text.replaceAll('\r\n', '\n')) {
      if (c === '\b') out = this.#eraseLast(out);
      else if (c !== '\x07' && c !== '\r') out += c;
    }
    return out;
  }

  #eraseLast(out) {
    if (out !== '') return out.endsWith('\n') ? out : dropLast(out);
    const last = this.#element.lastChild;
    if (last && last.data !== '' && !last.data.endsWith('\n')) {
      last.data = dropLast(last.data);
      this.#characters -= 1;
    }
    return out;
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
    const newlines = newlinesIn(text);
    this.#characters += text.length;
    this.#newlines += newlines;
    const atEnd = element.scrollTop + element.clientHeight >= element.scrollHeight - 4;
    const kept = newlines > SCROLLBACK ? lastLines(text, SCROLLBACK) : text;
    element.append(kept);
    this.#lines.push(newlinesIn(kept));
    this.#kept += this.#lines.at(-1);
    while (this.#lines.length > 1 && this.#kept - this.#lines[0] >= SCROLLBACK) {
      this.#kept -= this.#lines.shift();
      element.firstChild.remove();
    }
    if (atEnd) element.scrollTop = element.scrollHeight;
  }
}

function newlinesIn(text) {
  let count = 0;
  for (let i = text.indexOf('\n'); i >= 0; i = text.indexOf('\n', i + 1)) count++;
  return count;
}

// The text from the start of its last `count` lines (the last one
// unfinished).
function lastLines(text, count) {
  let at = text.length;
  for (let i = 0; i <= count && at > 0; i++) at = text.lastIndexOf('\n', at - 1);
  return text.slice(at + 1);
}

function dropLast(text) {
  const low = text.charCodeAt(text.length - 1);
  return text.slice(0, low >= 0xdc00 && low <= 0xdfff ? -2 : -1);
}

// The largest font (up to LARGEST_FONT px) at which the widest line fits the
// screen's width, measured with the screen's own font.
function fitFont(element) {
  const width = element.clientWidth - paddingOf(element);
  if (width <= 0) return;
  const probe = document.createElement('span');
  probe.textContent = '0'.repeat(WIDEST_LINE);
  Object.assign(probe.style, {
    position: 'absolute', visibility: 'hidden', whiteSpace: 'pre',
    fontFamily: getComputedStyle(element).fontFamily, fontSize: `${LARGEST_FONT}px`,
  });
  document.body.append(probe);
  const needed = probe.getBoundingClientRect().width;
  probe.remove();
  const size = Math.min(LARGEST_FONT, Math.floor((LARGEST_FONT * width * 4) / needed) / 4);
  element.style.fontSize = `${size}px`;
}

function paddingOf(element) {
  const style = getComputedStyle(element);
  return parseFloat(style.paddingLeft) + parseFloat(style.paddingRight);
}
