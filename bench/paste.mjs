// A long paste into the page against the same input piped into the native
// program: `3 1 7 4.3` (a light distance) repeated to 100 KB and 1 MB, then
// `0`, pasted into the page in headless chromium (no throttling) and timed
// from the paste to the exit status below the screen, with the longest task
// the tab ran meanwhile (how long a click could have waited); the native
// program reads the same bytes from a file, its output going to /dev/null.
//
//   node bench/paste.mjs [KB ...]    # default 100 1024
//
// Needs build-wasm/site/ and build/cosmic-distances (the wasm and default
// presets) and chromium; says so and stops when one is missing. Passes or
// fails nothing.
import {spawnSync} from 'node:child_process';
import {existsSync, mkdtempSync, rmSync, writeFileSync} from 'node:fs';
import {tmpdir} from 'node:os';
import {dirname, join} from 'node:path';
import {fileURLToPath} from 'node:url';
import {CHROMIUM, launch, promptsShown, serve} from '../tests/browser/chromium.mjs';

const root = join(dirname(fileURLToPath(import.meta.url)), '..');
const sizes = (process.argv.length > 2 ? process.argv.slice(2) : ['100', '1024']).map(Number);
const native = join(root, 'build', 'cosmic-distances');
const ENTRY = '3\n1\n7\n4.3\n';
const LIMIT = 180000;

for (const needed of [join(root, 'build-wasm', 'site', 'index.html'), native, CHROMIUM]) {
  if (!existsSync(needed)) {
    console.log(`paste: skipped, no ${needed}`);
    process.exit(0);
  }
}

// `3 1 7 4.3` as often as fits in `kb` kilobytes, then 0.
const pasteOf = (kb) => `${ENTRY.repeat(Math.ceil((kb * 1024) / ENTRY.length))}0\n`;

function timeNative(input) {
  const dir = mkdtempSync(join(tmpdir(), 'cosmic-paste-'));
  const file = join(dir, 'in');
  writeFileSync(file, input);
  const env = {...process.env, PATH: `${join(root, 'tests', 'stubs')}:${process.env.PATH}`};
  const times = [];
  for (let i = 0; i < 5; i++) {
    const start = process.hrtime.bigint();
    spawnSync('sh', ['-c', `"${native}" <"${file}" >/dev/null`], {env});
    times.push(Number(process.hrtime.bigint() - start) / 1e6);
  }
  rmSync(dir, {recursive: true});
  return times.sort((a, b) => a - b)[2];
}

// Pastes into the page's entry field and waits for the exit status.
async function timePage(browser, origin, kb) {
  const page = await browser.newPage();
  await page.goto(`${origin}/`);
  await page.waitForFunction(promptsShown, {timeout: 30000}, ':\\> ', 1);
  await page.evaluate((entry, count) => {
    globalThis.longestTask = 0;
    new PerformanceObserver((list) => {
      for (const task of list.getEntries()) globalThis.longestTask = Math.max(globalThis.longestTask, task.duration);
    }).observe({type: 'longtask'});
    const data = new DataTransfer();
    data.setData('text/plain', `${entry.repeat(count)}0\n`);
    globalThis.pasted = performance.now();
    document.getElementById('entry').dispatchEvent(new ClipboardEvent('paste', {clipboardData: data, bubbles: true, cancelable: true}));
  }, ENTRY, (pasteOf(kb).length - 2) / ENTRY.length);
  let result;
  try {
    await page.waitForFunction(() => document.getElementById('status').textContent.includes('exit status'),
      {timeout: LIMIT, polling: 200});
    result = await page.evaluate(() => ({
      ms: performance.now() - globalThis.pasted, longest: globalThis.longestTask,
      status: document.getElementById('status').textContent,
    }));
  } catch {
    result = {ms: NaN, longest: await page.evaluate(() => globalThis.longestTask), status: 'no exit status'};
  }
  await page.close();
  return result;
}

const server = await serve(join(root, 'build-wasm', 'site'));
let chromium;
try {
  chromium = await launch();
  for (const kb of sizes) {
    const input = pasteOf(kb);
    const page = await timePage(chromium.browser, server.origin, kb);
    const shown = Number.isNaN(page.ms) ? `not answered in ${LIMIT / 1000} s` : `${page.ms.toFixed(0)} ms`;
    console.log(`${kb} KB pasted (${input.length} bytes): page ${shown}, longest task` +
      ` ${page.longest.toFixed(0)} ms (${page.status}); native ${timeNative(input).toFixed(1)} ms`);
  }
} finally {
  try {
    await chromium?.close();
  } finally {
    server.close();
  }
}
