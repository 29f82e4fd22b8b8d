// The terminal emulator on the page, sized to its box: as many columns and
// rows as fit, with a font small enough for the program's widest line (54
// columns) to fit on a phone's screen without scrolling sideways.
import {Terminal} from './xterm.mjs';

const WIDEST_LINE = 54;
const LARGEST_FONT = 15;
const FEWEST_ROWS = 10;
const SCROLLBAR = 14;  // xterm.js's scroll bar, beside the text
const FONT = '"DejaVu Sans Mono", "Liberation Mono", Menlo, Consolas, monospace';

export function openTerminal(element) {
  const terminal = new Terminal({
    convertEol: true,  // a newline returns the carriage too, as a tty's output does
    disableStdin: true,  // keys go to the entry field
    screenReaderMode: true,
    fontFamily: FONT,
    fontSize: LARGEST_FONT,
    scrollback: 10000,
  });
  // Tab moves the focus out of the terminal rather than trapping it there;
  // the program has no use for it.
  terminal.attachCustomKeyEventHandler((event) => event.key !== 'Tab');
  terminal.open(element);
  terminal.textarea.tabIndex = -1;  // nothing to type there: Tab passes it by
  const fit = () => fitTo(terminal, element);
  fit();
  new ResizeObserver(fit).observe(element);
  return terminal;
}

// The cell size follows the font size, so measure it from the screen once the
// font is set, then take the columns and rows that fit.
function fitTo(terminal, element) {
  const width = element.clientWidth - SCROLLBAR;
  const height = element.clientHeight;
  if (width <= 0) return;
  let cell = cellSize(terminal, element);
  const widestFit = (cell.width * WIDEST_LINE) / width;
  const fontSize = Math.min(LARGEST_FONT, Math.floor((terminal.options.fontSize / widestFit) * 4) / 4);
  if (fontSize !== terminal.options.fontSize) {
    terminal.options.fontSize = fontSize;
    cell = cellSize(terminal, element);
  }
  const columns = Math.max(WIDEST_LINE, Math.floor(width / cell.width));
  const rows = Math.max(FEWEST_ROWS, Math.floor(height / cell.height));
  if (columns !== terminal.cols || rows !== terminal.rows) terminal.resize(columns, rows);
}

function cellSize(terminal, element) {
  const screen = element.querySelector('.xterm-screen').getBoundingClientRect();
  return {width: screen.width / terminal.cols, height: screen.height / terminal.rows};
}

// The screen's text as a person sees it: scrollback included, a wrapped row
// joined to the row it continues, spaces that end a line and empty lines at
// the end left out.
export function screenText(terminal) {
  const buffer = terminal.buffer.active;
  const lines = [];
  for (let i = 0; i < buffer.length; i++) {
    const row = buffer.getLine(i);
    const text = row.translateToString(false);
    if (row.isWrapped) lines[lines.length - 1] += text;
    else lines.push(text);
  }
  return lines.map((line) => line.trimEnd()).join('\n').replace(/\n+$/, '');
}
