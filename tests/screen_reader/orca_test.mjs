// The page as a blind user hears it: Orca listening to Chromium, then to
// Firefox ESR, on a desktop of their own (desktop.mjs), while real key
// presses (xdotool, through XTEST) go to the browser's window: the README's
// session, a wrong entry, the end, Start again with an entry, and Ctrl-D.
// Each step's speech is what Orca's debug log says it said between the key
// and its falling quiet (speech_log.mjs). The transcript is printed for each
// engine; the rules below judge it, each a test named by its rule.
//
//   bash tests/screen_reader/run.sh                    # build-wasm/site
//   COSMIC_SITE=/path/to/site COSMIC_ENGINES=firefox bash tests/screen_reader/run.sh
import assert from 'node:assert/strict';
import {spawnSync} from 'node:child_process';
import {mkdirSync, rmSync} from 'node:fs';
import {dirname, join, resolve} from 'node:path';
import {before, describe, test} from 'node:test';
import {fileURLToPath} from 'node:url';
import puppeteer from 'puppeteer-core';
import {launch as launchChromium, serve} from '../browser/chromium.mjs';
import {FIREFOX} from '../browser/engines.mjs';
import {startDesktop, until} from './desktop.mjs';
import {QUIET, SpeechLog} from './speech_log.mjs';

const root = join(dirname(fileURLToPath(import.meta.url)), '..', '..');
const site = resolve(process.env.COSMIC_SITE ?? join(root, 'build-wasm', 'site'));
// Orca's logs and the desktop's, kept beside the site for a look after a run.
const logs = join(site, '..', 'screen-reader');
const engines = process.env.COSMIC_ENGINES?.split(',') ?? ['chromium', 'firefox'];

const MENU = 'Please select an item from the menu';
const LIGHT_MENU = 'LIGHTDISTANCES';
// Each step: the entry typed (if any), the key then pressed (xdotool's
// name; none: the page opens), what must be heard first after it and the
// prompt it comes before, or what is asked, to be heard.
const STEPS = [
  {asked: MENU, as: 'load'},
  {type: '3', key: 'Return', answer: LIGHT_MENU, next: MENU},
  {type: '1', key: 'Return', answer: 'CONVERT LIGHTDISTANCES TO KM', next: 'Your selection'},
  {type: '7', key: 'Return', answer: 'How many lightyears would you like to convert to km'},
  {type: '4.3', key: 'Return', answer: '4.3 lightyears are 4.06803e+13 km.', next: MENU},
  {type: 'x', key: 'Return', answer: 'incorrect entry!', next: MENU, as: 'wrong entry'},
  {type: '0', key: 'Return', answer: 'exit status 255', as: 'end'},
  {key: 'Return', asked: MENU, as: 'Start again'},
  {type: '3', key: 'Return', answer: LIGHT_MENU, next: MENU, as: 'after Start again'},
  {key: 'ctrl+d', answer: 'exit status 0', as: 'Ctrl-D'},
];
const FIRST_WORDS = 25;

// The judge: each rule, and what it finds wrong in a run (listen()'s
// result): one string per fault, none when it holds.
const RULES = [
  ['after each key the answer comes within the first 25 words, before the next prompt',
    ({heard}) => heard.flatMap(answerFirst)],
  ['on load and after Start again what is asked is heard',
    ({heard}) => heard.filter((step) => step.asked && timesHeard(step, step.asked) === 0)
      .map((step) => `after ${keysOf(step)}: "${step.asked}" not heard`)],
  ['an entry typed is echoed key by key, and nothing else is said',
    ({heard}) => heard.flatMap((step) => step.typed.filter((text) => words(text).length !== 1)
      .map((text) => `typing ${step.type}: "${text}"`))],
  ['the start-up screen is never read again', ({heard}) => heardIn(heard, 'This program is meant to analyze distances', ['load'], true)],
  ['a wrong entry\'s complaint is heard once, when it is made', ({heard}) => heardIn(heard, 'incorrect entry', ['wrong entry'])],
  ['the end is heard once', ({heard}) => heardIn(heard, 'exit status 255', ['end'])],
  ['the end of input is heard once', ({heard}) => heardIn(heard, 'exit status 0', ['Ctrl-D'])],
  ['the page\'s hint is heard once at most', ({heard, hint}) => heardOnceAtMost(heard, hint)],
  ['the key after Start again reaches the program',
    ({heard}) => (stepAs(heard, 'after Start again').screen.includes(LIGHT_MENU) ? [] : ['the screen does not show its answer'])],
];

for (const engine of engines) {
  describe(`Orca and ${engine}`, {timeout: 240000}, () => {
    let run;
    before(async () => {
      run = await listen(engine);
    });
    for (const [rule, faults] of RULES) {
      test(rule, () => assert.deepEqual(faults(run), [], `${engine}: ${rule}`));
    }
  });
}

// The steps played to the page in `engine` under Orca: {heard, hint},
// where heard holds each step as {...step, typed, said, screen}: what Orca
// said after the entry was typed and after the key, and the page's screen
// after it; hint is the page's hint.
async function listen(engine) {
  const dir = join(logs, engine);
  rmSync(dir, {recursive: true, force: true});
  mkdirSync(dir, {recursive: true});
  let server;
  let desktop;
  let speech;
  let browser;
  try {
    server = await serve(site);
    desktop = await startDesktop(dir);
    speech = new SpeechLog(desktop.log);
    await speech.quiet();
    // The page opens as the browser starts, as from a link or a launcher.
    browser = await open(engine, desktop.env, `${server.origin}/`);
    const [page] = await browser.browser.pages();
    await until(() => activeWindowOf(desktop.env) === browser.browser.process().pid, 'the browser\'s window to have the focus');
    const heard = [];
    for (const step of STEPS) heard.push(await play(step, page, speech, desktop.env));
    console.log(transcript(engine, await browser.browser.version(), heard));
    return {heard, hint: (await page.evaluate(() => document.getElementById('hint')?.textContent)) ?? ''};
  } finally {
    speech?.close();
    await browser?.close();
    await desktop?.stop();
    await server?.close();
  }
}

async function play(step, page, speech, env) {
  const shown = step.key ? await page.evaluate(pageState) : '';
  let typed = [];
  if (step.type) {
    xdotool(env, 'type', '--delay', '50', step.type);
    typed = await speech.quiet();
  }
  // Quiet is waited for once the page has answered (or has had time to).
  if (step.key) {
    xdotool(env, 'key', step.key);
    await until(async () => (await page.evaluate(pageState)) !== shown, 'the page to change', 5000).catch(() => {});
  } else {
    await until(() => page.evaluate(promptShown).catch(() => false), 'the first prompt');
  }
  // A new page, or the program started again, is a whole screen for Orca
  // to take in, with longer pauses.
  const said = await speech.quiet(step.type ? QUIET : 2 * QUIET);
  return {...step, typed, said, screen: await page.evaluate(() => document.getElementById('screen')?.textContent ?? '')};
}

// The browser at `url`, in a real window on the desktop's display, its
// accessibility switched on.
async function open(engine, env, url) {
  if (engine === 'chromium') {
    return launchChromium({
      headless: false, env, ignoreDefaultArgs: ['--enable-automation'],
      args: ['--force-renderer-accessibility', '--window-position=0,0', '--window-size=1024,768', '--no-default-browser-check', url],
    });
  }
  const browser = await puppeteer.launch({
    browser: 'firefox', executablePath: FIREFOX, headless: false, env, args: ['--width=1024', '--height=768', url],
    // Puppeteer's test mode keeps every window focused, whatever the
    // display says; a screen reader follows the real focus.
    extraPrefsFirefox: {'focusmanager.testmode': false},
  });
  return {browser, close: () => browser.close()};
}

// The process whose window has the keyboard's focus.
function activeWindowOf(env) {
  return Number(spawnSync('xdotool', ['getactivewindow', 'getwindowpid'], {env, encoding: 'utf8', timeout: 5000}).stdout);
}

function xdotool(env, ...args) {
  const result = spawnSync('xdotool', args, {env, encoding: 'utf8', timeout: 20000});
  if (result.status !== 0) throw new Error(`xdotool ${args.join(' ')}: ${result.stderr || result.error}`);
  return result.stdout;
}

// Run in the page (while it may still be loading): the program waits.
function promptShown() {
  return document.getElementById('screen')?.textContent.trimEnd().endsWith('\\>');
}

// Run in the page: what a key may change.
function pageState() {
  const text = (id) => document.getElementById(id)?.textContent;
  return JSON.stringify([text('screen'), document.getElementById('entry')?.value, text('status'), document.activeElement?.id]);
}

function answerFirst(step) {
  if (!step.answer) return [];
  const heard = words(step.said.join(' '));
  const answer = words(step.answer);
  const at = indexOfWords(heard, answer);
  const where = `after ${keysOf(step)}`;
  if (at < 0) return [`${where}: "${step.answer}" not heard`];
  if (at + answer.length > FIRST_WORDS) return [`${where}: "${step.answer}" heard at words ${at + 1}-${at + answer.length}`];
  const next = step.next ? indexOfWords(heard, words(step.next)) : -1;
  return next >= 0 && next < at ? [`${where}: "${step.next}" heard before "${step.answer}"`] : [];
}

// Faults if `phrase` is heard other than once in each step named in
// `steps` (at most once, with `optional`) and nowhere else.
function heardIn(heard, phrase, steps, optional = false) {
  const faults = [];
  for (const step of heard) {
    const times = timesHeard(step, phrase);
    const expected = steps.includes(step.as) ? 1 : 0;
    if (times > expected || (times < expected && !optional)) faults.push(`after ${keysOf(step)}: "${phrase}" heard ${times} times`);
  }
  return faults;
}

function heardOnceAtMost(heard, phrase) {
  const times = heard.reduce((sum, step) => sum + timesHeard(step, phrase), 0);
  return phrase && times > 1 ? [`"${phrase}" heard ${times} times`] : [];
}

function timesHeard(step, phrase) {
  return [...step.typed, ...step.said].join(' ').toLowerCase().split(phrase.toLowerCase()).length - 1;
}

function stepAs(heard, as) {
  return heard.find((step) => step.as === as);
}

// Words as heard: lower case, split at spaces, without the punctuation
// around them.
function words(text) {
  return text.toLowerCase().split(/\s+/).map((word) => word.replace(/^\W+|\W+$/g, '')).filter(Boolean);
}

function indexOfWords(heard, sought) {
  for (let at = 0; at + sought.length <= heard.length; at++) {
    if (sought.every((word, k) => heard[at + k] === word)) return at;
  }
  return -1;
}

function keysOf(step) {
  if (!step.key) return 'the page opened';
  const key = step.key === 'Return' ? 'Enter' : step.key;
  return step.type ? `${step.type} ${key}` : `${key}${step.as ? ` (${step.as})` : ''}`;
}

// The transcript: each step's keys, then every utterance, on a line of
// its own, its line breaks shown as " | ".
function transcript(engine, version, heard) {
  const lines = [`=== What Orca said, in ${engine} (${version}) ===`];
  const utterances = (said) => said.map((text) => `    "${text.replace(/[ \t]*\n\s*/g, ' | ').replaceAll('\t', ' ')}"`);
  for (const step of heard) {
    if (step.type) lines.push(`  typed ${step.type}`, ...utterances(step.typed));
    lines.push(`  ${keysOf(step)}: ${words(step.said.join(' ')).length} words`, ...utterances(step.said));
  }
  return lines.join('\n');
}
