// The page on a phone: Chromium emulating one (412x915, touch, an Android
// user agent), with text arriving in the entry field as Android keyboards
// deliver it, through the DevTools protocol's input-method calls. Each way
// of typing runs the README's session, whose screen must show the README's
// output with each entry echoed once after its prompt. Then: entries pass
// unchanged, a tap on the output opens the field, the end-input control,
// and the field and the waiting prompt above an open keyboard. A screenshot
// is left in build-wasm/phone.png.
import assert from 'node:assert/strict';
import {spawnSync} from 'node:child_process';
import {dirname, join} from 'node:path';
import {after, before, test} from 'node:test';
import {fileURLToPath} from 'node:url';
import {launch, promptsShown, recordProblems, screenText, serve} from './chromium.mjs';
import * as transcript from './transcript.mjs';

const root = join(dirname(fileURLToPath(import.meta.url)), '..', '..');
const site = join(root, 'build-wasm', 'site');
const PHONE = {width: 412, height: 915, deviceScaleFactor: 2.625, isMobile: true, hasTouch: true};
const ANDROID = 'Mozilla/5.0 (Linux; Android 14; Pixel 7) AppleWebKit/537.36 (KHTML, like Gecko) ' +
  'Chrome/126.0.0.0 Mobile Safari/537.36';

let server;
let chromium;
let page;
let cdp;
const problems = [];
const session = transcript.readmeSession(join(root, 'README.md'));
const entries = session.input.split('\n').slice(0, -1);

before(async () => {
  server = await serve(site);
  chromium = await launch();
  page = await chromium.browser.newPage();
  recordProblems(page, problems);
  await page.setUserAgent(ANDROID);
  await page.setViewport(PHONE);
  await page.goto(`${server.origin}/`);
  cdp = await page.createCDPSession();
  await waitForPrompts(1);
});

after(async () => {
  try {
    await chromium?.close();
  } finally {
    server?.close();
  }
});

// The ways an Android keyboard delivers an entry into the focused field.
const key = (type, code, name, more = {}) =>
  cdp.send('Input.dispatchKeyEvent', {type, windowsVirtualKeyCode: code, key: name, ...more});
const imeKey = (more) => key('rawKeyDown', 229, 'Unidentified', more);
const compose = (text) =>
  cdp.send('Input.imeSetComposition', {text, selectionStart: text.length, selectionEnd: text.length});
const commit = (text) => cdp.send('Input.insertText', {text});
// An Android keyboard's Backspace: a key it handles, deleting one character.
const backspace = () => imeKey({commands: ['deleteBackward']});

async function send() {
  await key('keyDown', 13, 'Enter', {code: 'Enter', text: '\r'});
  await key('keyUp', 13, 'Enter', {code: 'Enter'});
}

// Each character inserted behind a keydown with keyCode 229 (Gboard, with
// or without suggestions).
async function perCharacter(entry) {
  for (const c of entry) {
    await imeKey();
    await commit(c);
    await key('keyUp', 229, 'Unidentified');
  }
}

// A composition grown a character at a time.
async function grow(entry) {
  for (let i = 1; i <= entry.length; i++) {
    await imeKey();
    await compose(entry.slice(0, i));
  }
}

const WAYS = {
  'each character inserted behind keyCode 229': async (entry) => {
    await perCharacter(entry);
    await send();
  },
  'a composition grown and committed, then Enter': async (entry) => {
    await grow(entry);
    await commit(entry);
    await send();
  },
  // Some keyboards commit the composition after their Enter (every other
  // entry here), some never do; either way it is entered once.
  'Enter with the composition still open': async (entry, k) => {
    await grow(entry);
    await send();
    if (k % 2 === 0) await commit(entry);
  },
  // A wrong key mended with Backspace: between characters, and inside a
  // composition, which the keyboard shrinks.
  'a slip mended with Backspace': async (entry, k) => {
    if (k % 2 === 0) {
      await perCharacter(entry.slice(0, 1));
      await perCharacter('9');
      await backspace();
      await perCharacter(entry.slice(1));
    } else {
      await grow(`${entry}8`);
      await compose(entry);
      await commit(entry);
    }
    await send();
  },
};

async function screen() {
  return transcript.asScreen(await page.evaluate(screenText));
}

async function waitForPrompts(count) {
  await page.waitForFunction(promptsShown, {timeout: 20000}, transcript.PROMPT_END, count);
}

async function waitForStatus(text) {
  await page.waitForFunction((t) => document.getElementById('status').textContent.includes(t), {}, text);
}

const focused = () => page.evaluate(() => document.activeElement?.id);
const fieldValue = () => page.$eval('#entry', (field) => field.value);

// Start-up as the screen shows it, then `rest`.
async function expectScreen(rest) {
  transcript.assertStartedScreen(await screen(), rest);
}

// Types `inputs` with `way`, each once its prompt waits.
async function typeSession(way, inputs) {
  for (const [k, entry] of inputs.entries()) {
    await way(entry, k);
    await waitForPrompts(k + 2);
  }
  assert.equal(await fieldValue(), '');
}

async function tap(selector) {
  const box = await (await page.$(selector)).boundingBox();
  await page.touchscreen.tap(box.x + box.width / 2, box.y + box.height / 2);
}

// The end-input control on an empty field ends the program (status 0);
// "Start again" then starts it afresh with the focus in the field.
async function endAndStartAgain() {
  await tap('#end-input');
  await waitForStatus('exit status 0');
  assert.equal(await focused(), 'again');
  await tap('#again');
  await waitForPrompts(1);
  assert.equal(await focused(), 'entry');
}

// The lowest line of text on the page that ends with a prompt: the waiting
// prompt, when the output shows its end.
function lastPromptBox(end) {
  const walker = document.createTreeWalker(document.body, NodeFilter.SHOW_TEXT);
  const range = document.createRange();
  let lowest = null;
  for (let node = walker.nextNode(); node; node = walker.nextNode()) {
    if (!node.data.trimEnd().endsWith(end)) continue;
    range.selectNodeContents(node);
    for (const box of range.getClientRects()) {
      if (box.height > 0 && (!lowest || box.bottom > lowest.bottom)) lowest = box;
    }
  }
  return lowest && {top: lowest.top, bottom: lowest.bottom};
}

test('at start-up the field has the focus, and nothing may change what is typed in it', async () => {
  assert.equal(await focused(), 'entry');
  const attributes = await page.$eval('#entry', (field) =>
    Object.fromEntries(['type', 'inputmode', 'enterkeyhint', 'autocomplete', 'autocorrect', 'autocapitalize', 'spellcheck']
      .map((name) => [name, field.getAttribute(name)])));
  assert.deepEqual(attributes, {
    type: 'text', inputmode: 'text', enterkeyhint: 'send', autocomplete: 'off', autocorrect: 'off',
    autocapitalize: 'off', spellcheck: 'false',
  });
});

for (const [name, way] of Object.entries(WAYS)) {
  test(`the README's session, typed as Android keyboards do: ${name}`, async () => {
    await typeSession(way, entries);
    await expectScreen(transcript.withEchoedEntries(session.output, entries));
    await endAndStartAgain();
  });
}

test('entries reach the program as typed: hexadecimal, exponent, minus zero, a word', async () => {
  const inputs = ['0x1f', '3', '1', '7', '3e8', '3', '2', '-0', 'abc', '3'];
  const reference = spawnSync('node', [join(root, 'build-wasm', 'cosmic-distances.js')], {
    input: `${inputs.join('\n')}\n`,
    env: {...process.env, PATH: `${join(root, 'tests', 'stubs')}:${process.env.PATH}`},
    encoding: 'latin1',
  });
  const start = `<clear>${transcript.START_UP}<date>\n`;
  assert.ok(reference.stdout.startsWith(start), 'the reference run starts as documented');
  const output = reference.stdout.slice(start.length).replace(/\n$/, '');
  // The documented answers that these entries, taken as typed, give.
  assert.ok(output.includes('\nincorrect entry!\x07\n'));
  assert.ok(output.includes(':\\> 300000000.0 lightyears are 2.83816e+21 km.\n'));
  await typeSession(WAYS['each character inserted behind keyCode 229'], inputs);
  await expectScreen(transcript.withEchoedEntries(output, inputs));
  await endAndStartAgain();
});

test('a tap on the output puts the focus in the field', async () => {
  const box = await page.evaluate(lastPromptBox, transcript.PROMPT_END.trimEnd());
  await page.evaluate(() => document.activeElement.blur());
  assert.notEqual(await focused(), 'entry');
  // The click that a tap makes follows the touch events a moment later.
  await page.touchscreen.tap(180, (box.top + box.bottom) / 2);
  await page.waitForFunction(() => document.activeElement?.id === 'entry', {timeout: 5000});
});

test('End input hands over the text without a newline, and on an empty field ends the input', async () => {
  await perCharacter('3');
  await tap('#end-input');
  assert.equal(await fieldValue(), '');
  assert.equal(await focused(), 'entry');
  // The program has "3" but no end of line yet: it still waits.
  await page.waitForFunction(() => document.getElementById('screen').textContent.endsWith(':\\> 3'));
  assert.equal(await page.$eval('#status', (status) => status.textContent), '');
  await endAndStartAgain();
});

test('with the keyboard open, the field and the waiting prompt stay in view', async () => {
  await typeSession(WAYS['each character inserted behind keyCode 229'], entries);
  try {
    for (const height of [915, 520, 380]) {
      await page.setViewport({...PHONE, height});
      await page.waitForFunction((h) => Math.round(globalThis.visualViewport.height) === h, {}, height);
      await new Promise((resolve) => setTimeout(resolve, 100));  // the screen refits on a resize
      const layout = await page.evaluate(() => ({
        field: document.getElementById('entry').getBoundingClientRect().toJSON(),
        viewport: globalThis.visualViewport.height,
        scrollWidth: document.documentElement.scrollWidth,
      }));
      layout.prompt = await page.evaluate(lastPromptBox, transcript.PROMPT_END.trimEnd());
      const where = JSON.stringify(layout);
      assert.ok(layout.field.top >= 0 && layout.field.bottom <= layout.viewport, where);
      assert.ok(layout.prompt.top >= 0 && layout.prompt.bottom <= layout.field.top, where);
      assert.ok(layout.scrollWidth <= PHONE.width, where);
      // One image pixel to a CSS pixel, as a picture for the documentation.
      const clip = {x: 0, y: 0, width: PHONE.width, height, scale: 1 / PHONE.deviceScaleFactor};
      if (height === 915) await page.screenshot({path: join(root, 'build-wasm', 'phone.png'), clip});
    }
  } finally {
    await page.setViewport(PHONE);
  }
});

test('nothing scrolls sideways at 360 pixels wide', async () => {
  try {
    await page.setViewport({...PHONE, width: 360, height: 640});
    await page.waitForFunction(() => globalThis.innerWidth === 360);
    const widths = await page.evaluate(() => [document.documentElement.scrollWidth, document.body.scrollWidth]);
    assert.ok(widths.every((width) => width <= 360), `${widths}`);
  } finally {
    await page.setViewport(PHONE);
  }
});

test('no console error or warning, no failed request', () => {
  assert.deepEqual(problems, []);
});
