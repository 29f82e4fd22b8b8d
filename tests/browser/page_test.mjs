// The page in Chromium (Debian's chromium, headless, driven by
// puppeteer-core) beyond what engines_test.mjs checks in every engine:
// served by a plain static server with no special headers and loading
// nothing from elsewhere, the date in another time zone, a 1 MB paste, a
// failure of the page and a program that cannot be fetched. Any console message of the error kind, failed
// request or error response fails it.
import assert from 'node:assert/strict';
import {spawnSync} from 'node:child_process';
import {dirname, join} from 'node:path';
import {after, before, test} from 'node:test';
import {fileURLToPath} from 'node:url';
import {launch, promptsShown, recordProblems, screenText, serve} from './chromium.mjs';
import * as transcript from './transcript.mjs';

const root = join(dirname(fileURLToPath(import.meta.url)), '..', '..');
const site = join(root, 'build-wasm', 'site');
let server;
let chromium;
let page;
const problems = [];

before(async () => {
  server = await serve(site);
  chromium = await launch();
  page = await chromium.browser.newPage();
  recordProblems(page, problems);
  await page.emulateTimezone('America/New_York');
  await page.setViewport({width: 360, height: 640});
  await page.goto(`${server.origin}/`);
  await waitForPrompts(1);
});

after(async () => {
  try {
    await chromium?.close();
  } finally {
    server?.close();
  }
});

// The screen's text, scrollback included, as a screen shows it.
async function screen() {
  return transcript.asScreen(await page.evaluate(screenText));
}

async function waitForPrompts(count) {
  await page.waitForFunction(promptsShown, {timeout: 20000}, transcript.PROMPT_END, count);
}

async function waitForStatus(text) {
  await page.waitForFunction((t) => document.getElementById('status').textContent.includes(t), {}, text);
}

// Start-up as the screen shows it, then `rest`.
async function expectScreen(rest) {
  transcript.assertStartedScreen(await screen(), rest);
}

test('served with no cross-origin isolation, loading nothing from elsewhere', async () => {
  const response = await fetch(`${server.origin}/`);
  for (const header of ['cross-origin-opener-policy', 'cross-origin-embedder-policy']) {
    assert.equal(response.headers.get(header), null);
  }
  assert.equal(await page.evaluate(() => globalThis.crossOriginIsolated), false);
  const csp = await page.$eval('meta[http-equiv="Content-Security-Policy"]', (m) => m.content);
  assert.match(csp, /default-src 'self'/);
  assert.doesNotMatch(csp, /unsafe-inline|https?:|\*/);
});

test('the date line is the local time with the zone abbreviation', async () => {
  const lines = (await screen()).split('\n');
  assert.match(lines[5], / E[SD]T \d{4}$/);
});

test('a 1 MB paste is answered in full, and a click meanwhile at once', async (t) => {
  // `3 1 7 4.3` (a light distance) to 1 MB, then 0: the program's output
  // is 57 MB, far beyond the screen's scrollback.
  const block = '3\n1\n7\n4.3\n';
  const count = Math.ceil(2 ** 20 / block.length);
  const entries = [...Array(count).fill(['3', '1', '7', '4.3']).flat(), '0'];
  const reference = spawnSync('node', [join(root, 'build-wasm', 'cosmic-distances.js')], {
    input: `${block.repeat(count)}0\n`,
    env: {...process.env, PATH: `${join(root, 'tests', 'stubs')}:${process.env.PATH}`},
    encoding: 'latin1',
    maxBuffer: 2 ** 28,
  });
  assert.equal(reference.status, 255);
  const start = `<clear>${transcript.START_UP}<date>\n`;
  assert.ok(reference.stdout.startsWith(start));
  const dateLine = (await screen()).split('\n')[transcript.START_UP.split('\n').length - 1];
  assert.match(dateLine, transcript.DATE_LINE);
  // Every character the screen was given since the clear, the bells left out.
  const expected = `${transcript.START_UP}${dateLine}\n${transcript.withEchoedEntries(
    reference.stdout.slice(start.length), entries)}`.replaceAll('\x07', '');

  // Every character the screen's log is given (what a screen reader is
  // told is new), counted as it comes, though most scroll out at once.
  await page.evaluate(() => {
    const view = document.getElementById('screen');
    const counted = new WeakSet();
    const logged = {characters: view.textContent.length, newlines: view.textContent.split('\n').length - 1};
    const count = (node) => {
      if (node.nodeType === Node.ELEMENT_NODE) node.childNodes.forEach(count);
      if (node.nodeType !== Node.TEXT_NODE || counted.has(node)) return;
      counted.add(node);
      logged.characters += node.data.length;
      logged.newlines += node.data.split('\n').length - 1;
    };
    const observer = new MutationObserver((records) => records.forEach((r) => r.addedNodes.forEach(count)));
    observer.observe(view, {childList: true, subtree: true});
    globalThis.loggedCounts = () => (observer.takeRecords().forEach((r) => r.addedNodes.forEach(count)), logged);
  });
  await page.evaluate(() => {
    globalThis.clickDelays = [];
    // Only the clicks that come while the paste is still being answered.
    document.addEventListener('click', (event) => {
      if (document.getElementById('status').textContent === '') {
        globalThis.clickDelays.push(performance.now() - event.timeStamp);
      }
    });
  });
  await page.evaluate((text, times) => {
    const data = new DataTransfer();
    data.setData('text/plain', `${text.repeat(times)}0\n`);
    document.getElementById('entry').dispatchEvent(
      new ClipboardEvent('paste', {clipboardData: data, bubbles: true, cancelable: true}));
  }, block, count);
  // Clicks every 100 ms until the paste is answered in full.
  const box = await (await page.$('#screen')).boundingBox();
  const ended = () => page.$eval('#status', (s) => s.textContent.includes('exit status'));
  for (const begun = Date.now(); !(await ended()) && Date.now() - begun < 300000;) {
    await new Promise((resolve) => setTimeout(resolve, 100));
    await page.mouse.click(box.x + box.width / 2, box.y + box.height / 2);
  }
  assert.match(await page.$eval('#status', (s) => s.textContent), /exit status 255/);
  const clicks = await page.evaluate(() => globalThis.clickDelays);

  // The clicks that came while the paste was being answered were answered
  // at once: the median within 200 ms. The slowest may take longer on a
  // machine busy with other work, which can keep the tab from running at
  // all for a while; a tab frozen by the paste would take the whole paste.
  t.diagnostic(`clicks answered after ${clicks.map(Math.round).join(', ')} ms`);
  assert.ok(clicks.length >= 2, `${clicks.length} clicks during the paste`);
  clicks.sort((a, b) => a - b);
  const median = clicks[Math.floor(clicks.length / 2)];
  assert.ok(median < 200 && clicks.at(-1) < 1000, `clicks answered after ${clicks.map(Math.round)} ms`);

  // Nothing lost or doubled: as many characters and lines as the program
  // wrote and the screen echoed, and the last lines the same text.
  await page.evaluate(() => new Promise((resolve) => requestAnimationFrame(() => requestAnimationFrame(resolve))));
  const counts = await page.evaluate(() => globalThis.loggedCounts());
  assert.deepEqual(counts, {characters: expected.length, newlines: expected.split('\n').length - 1});
  const shown = (await screen()).split('\n');
  assert.ok(shown.length >= 5000 && shown.length < 5200, `${shown.length} lines kept`);
  const tail = expected.slice(expected.length - 500000);
  assert.deepEqual(shown, transcript.asScreen(tail).split('\n').slice(-shown.length));
});

test('should the page fail the program, the status says so and it starts again', async () => {
  await page.click('#again');  // the clicks of the last test took the focus
  await waitForPrompts(1);
  await page.evaluate(() => {
    globalThis.savedDecode = TextDecoder.prototype.decode;
    TextDecoder.prototype.decode = () => {
      throw new Error('no more text');
    };
  });
  await page.keyboard.type('3');
  await page.keyboard.press('Enter');
  await waitForStatus('could not go on running the program (Error: no more text)');
  assert.equal(await page.evaluate(() => document.activeElement.id), 'again');
  await page.evaluate(() => {
    TextDecoder.prototype.decode = globalThis.savedDecode;
  });
  await page.keyboard.press('Enter');
  await waitForPrompts(1);
  await expectScreen(transcript.startMenu());
  assert.equal(await page.$eval('#status', (s) => s.textContent), '');
});

test('a program that cannot be fetched is reported, not waited for', async () => {
  const context = await chromium.browser.createBrowserContext();
  try {
    const broken = await context.newPage();
    await broken.setRequestInterception(true);
    broken.on('request', (request) => (request.url().endsWith('.wasm') ? request.abort() : request.continue()));
    await broken.goto(`${server.origin}/`);
    await broken.waitForFunction(() => document.getElementById('status').textContent.includes('could not be started'),
      {timeout: 20000});
  } finally {
    await context.close();
  }
});

test('no console error or warning, no failed request, no error response', () => {
  assert.deepEqual(problems, []);
});
