// Expected screens for the page test. A terminal shows what a pipe does not:
// each entry echoed after the prompt that takes it, with the Enter that ends
// it. The texts come from the README's session and the program's documented
// start-up; the long session's comes from the program's own build for Node,
// whose output the session tests compare with the documented dialogs.
import assert from 'node:assert/strict';
import {readFileSync} from 'node:fs';

export const STARS = '*'.repeat(54);
export const BANNER =
  '\n* This program is meant to analyze distances to      *' +
  '\n* celestial bodies in our neighborhood and thereby   *' +
  '\n* to obtain a clearer knowledge of our location.     *';
export const PROMPT_END = ':\\> ';
export const DATE_LINE =
  /^(Sun|Mon|Tue|Wed|Thu|Fri|Sat) (Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) [ 123]\d [012]\d:[0-5]\d:[0-6]\d [A-Z+-][A-Z0-9]{1,5} \d{4}$/;

// The start-up screen before the date line: the banner between two rows
// of asterisks, as the program writes it after "clear".
export const START_UP = `${STARS}${BANNER}\n${STARS}\n`;

// The README's "A short session": its command's input and the output that
// the block shows (after the command line, unindented).
export function readmeSession(readmePath) {
  const lines = readFileSync(readmePath, 'utf8').split('\n');
  const start = lines.indexOf('## A short session');
  const command = lines.findIndex((line, i) => i > start && line.startsWith('    $ '));
  if (start < 0 || command < 0) throw new Error('no session block in the README');
  const block = [];
  for (const line of lines.slice(command + 1)) {
    if (line !== '' && !line.startsWith('    ')) break;
    block.push(line.slice(4));
  }
  while (block.at(-1) === '') block.pop();
  const input = /printf '([^']*)'/.exec(lines[command])[1].replaceAll('\\n', '\n');
  return {input, output: `${block.join('\n')}\n`};
}

// Piped output as a terminal shows it: entry k (without its newline)
// echoed after the k-th prompt, then the newline of its Enter.
export function withEchoedEntries(output, entries) {
  const pieces = output.split(PROMPT_END);
  if (pieces.length <= entries.length) throw new Error('fewer prompts than entries');
  return pieces.reduce((screen, piece, k) =>
    k === 0 ? piece : `${screen}${PROMPT_END}${k <= entries.length ? `${entries[k - 1]}\n` : ''}${piece}`);
}

// Text as it stands on a screen: tabs advance to the next multiple of 8,
// the bell shows nothing, and spaces at the end of a line are not kept.
export function asScreen(text) {
  return text
    .replaceAll('\x07', '')
    .split('\n')
    .map((line) => {
      let shown = '';
      for (const c of line) shown += c === '\t' ? ' '.repeat(8 - (shown.length % 8)) : c;
      return shown.trimEnd();
    })
    .join('\n')
    .replace(/\n+$/, '');
}

// Asserts that `screen` (a page's screen text) is the start-up (the banner,
// then a date line, checked apart), then `rest` as a screen shows it.
export function assertStartedScreen(screen, rest) {
  const lines = screen.split('\n');
  const startUp = asScreen(START_UP).split('\n');
  assert.deepEqual(lines.slice(0, startUp.length), startUp);
  assert.match(lines[startUp.length], DATE_LINE);
  assert.equal(lines.slice(startUp.length + 1).join('\n'), asScreen(rest));
}

export const MAIN_PROMPT = 'Please select an item from the menu:\\>';

// Every dialog, with its complaints, one entry per line: star reports (in
// kilometres too) and the star listing, planet reports and the planet
// listing, light time to kilometres in every unit and kilometres to light
// time, and entries that are no number, out of range, in hexadecimal or
// octal, or beyond 32 bits.
export const LONG_SESSION = [
  '1', '1', '1', '1', '8', '2', '20', '1', '24', '1', '3', '2', '0', '1', '2',
  '2', '1', '3', '10', '1', '4', '3', '1', '9', '10', '2', '5', '5', '0', '0', '2', '2',
  '3', '1', '1', '1', '3', '1', '2', '2.5', '3', '1', '3', '1', '3', '1', '4', '1', '3', '1', '5', '1',
  '3', '1', '6', '1', '3', '1', '7', '4.3', '3', '2', '10000000000000', '3', '2', '299792.46',
  '3', '2', '9820683354038495232',
  'abc', '7', '-1', '3', '7', '3', '1', '8', '3', '1', '1', 'many', '1', '3', '2', 'far', '1', '3', '2',
  'inf', '1', '5', 'star', '1', '25', '-3', '3', '3', '0', '2', '5', '1', '11', '2', '3', '-1', '5', '0',
  '2', '1', '3', '10', '7', '0', '0', '0x2', '0', '010', '4294967297',
];

// From the main menu back to it through the dialogs whose prose is wider
// than a phone's screen: a planet pair (Merkur, Earth) with the light-time
// question and answer, then a star (Fomalhaut) in kilometres.
export const WRAPPING_WALK = ['2', '1', '1', '3', '1', '0', '0', '1', '1', '5', '1', '0'];

// A documented heading or report of each dialog, as the program writes it.
export const DIALOGS = [
  '\n\nSUN TO SUN DISTANCES\n',
  '\nBungula in the constellation of Centaurus is 40680274352566.453 kilometres\naway from Earth.\n',
  '\nSun\t\tConstellation\t Distance(Lightyears)\n',
  '\n\nTHE PLANETS OF OUR SOLAR SYSTEM\n',
  '\nPlease select a startplanet:\\> ',
  '\nPlanet\t\tDistance from Sun(kilometres)\n',
  '\nCONVERT LIGHTDISTANCES TO KM\n',
  '\nCONVERT DISTANCES IN KM TO LIGHTDISTANCES\n',
  '\nincorrect entry!\x07\n',
];

// The screen after start-up: the main menu, waiting.
export function startMenu() {
  return `\n\nCOSMIC DISTANCES\n\n1\tsun to sun distances\n2\tdistances within our solar system\n3\tlightdistances\n0\texit\n\n\n${MAIN_PROMPT} `;
}
