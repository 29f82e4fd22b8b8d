// The web page's weight and start: every file of build-wasm/site/ as served
// gzipped, the time from opening the page in headless chromium to the first
// prompt on this machine (fresh browser context, empty cache), and the same
// on an emulated slow phone: the CPU 4 times slower (CDP's CPU throttling),
// 1.6 Mbit/s down and 150 ms latency, first with an empty cache (cold), then
// a second visit, which the page's service worker answers (repeat), with
// where the time went: when the page's HTML had been read, its scripts and
// the program had arrived.
//
//   node bench/page.mjs [runs]    # default 10 (slow phone: half as many)
//
// The pages come from a static server here that compresses with gzip, as
// real static hosts do, and asks the browser to revalidate every file (ETag,
// Cache-Control: no-cache); COSMIC_BENCH_PLAIN=1 serves without compression,
// as Python's http.server does. Builds the page when it is missing and
// emscripten is there; says so and stops when it cannot (no emscripten, no
// chromium). Passes or fails nothing.
import {execFileSync} from 'node:child_process';
import {existsSync, readdirSync, readFileSync} from 'node:fs';
import {createServer} from 'node:http';
import {dirname, extname, join} from 'node:path';
import {fileURLToPath} from 'node:url';
import {gzipSync} from 'node:zlib';

const root = join(dirname(fileURLToPath(import.meta.url)), '..');
const site = join(root, 'build-wasm', 'site');
const runs = Number(process.argv[2] ?? 10);
const plain = process.env.COSMIC_BENCH_PLAIN === '1';
const SLOW_PHONE = {cpu: 4, down: 1.6e6 / 8, up: 750e3 / 8, latency: 150};

if (!existsSync(join(site, 'index.html'))) {
  if (!existsSync('/usr/bin/emcc')) {
    console.log('page: skipped, no build-wasm/site/ and no emscripten to build it');
    process.exit(0);
  }
  const build = (args) => execFileSync('cmake', args, {cwd: root, stdio: 'ignore'});
  build(['--preset', 'wasm']);
  build(['--build', '--preset', 'wasm']);
}

let total = 0;
let totalGzipped = 0;
console.log(`${'file'.padEnd(24)} ${'bytes'.padStart(9)} ${'gzipped'.padStart(9)}`);
for (const file of readdirSync(site).sort()) {
  const bytes = readFileSync(join(site, file));
  const gzipped = gzipSync(bytes, {level: 9}).length;
  total += bytes.length;
  totalGzipped += gzipped;
  console.log(`${file.padEnd(24)} ${String(bytes.length).padStart(9)} ${String(gzipped).padStart(9)}`);
}
console.log(`${'the whole page'.padEnd(24)} ${String(total).padStart(9)} ${String(totalGzipped).padStart(9)}`);

if (!existsSync(join(root, 'node_modules', 'puppeteer-core'))) {
  execFileSync('npm', ['ci', '--no-audit', '--no-fund', '--loglevel=error'], {cwd: root, stdio: 'ignore'});
}
const {CHROMIUM, launch} = await import('../tests/browser/chromium.mjs');
if (!existsSync(CHROMIUM)) {
  console.log(`first prompt: skipped, no ${CHROMIUM}`);
  process.exit(0);
}

const TYPES = {
  '.html': 'text/html', '.mjs': 'text/javascript', '.js': 'text/javascript', '.css': 'text/css',
  '.wasm': 'application/wasm', '.svg': 'image/svg+xml', '.json': 'application/manifest+json',
  '.webmanifest': 'application/manifest+json', '.png': 'image/png',
};

// A static host: every file of `dir` (read once), gzipped for clients that
// accept it unless `plain`, with an ETag and the given Cache-Control.
// `sent()` counts the body bytes sent so far, to whichever client asked:
// the page's requests and its service worker's alike.
function serveSite(dir, cacheControl) {
  let sent = 0;
  const files = new Map();
  for (const name of readdirSync(dir)) {
    const bytes = readFileSync(join(dir, name));
    files.set(`/${name}`, {bytes, gzipped: gzipSync(bytes, {level: 9}), tag: `"${bytes.length}-${name}"`});
  }
  const server = createServer((request, response) => {
    const asked = new URL(request.url, 'http://host').pathname;
    const path = asked === '/' ? '/index.html' : asked;
    const file = files.get(path);
    if (!file) return response.writeHead(404).end();
    const headers = {'Cache-Control': cacheControl, 'ETag': file.tag, 'Vary': 'Accept-Encoding',
      'Content-Type': TYPES[extname(path)] ?? 'application/octet-stream'};
    if (request.headers['if-none-match'] === file.tag) return response.writeHead(304, headers).end();
    const gzip = !plain && /\bgzip\b/.test(request.headers['accept-encoding'] ?? '');
    const body = gzip ? file.gzipped : file.bytes;
    if (gzip) headers['Content-Encoding'] = 'gzip';
    sent += body.length;
    response.writeHead(200, {...headers, 'Content-Length': body.length}).end(body);
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () =>
    resolve({origin: `http://127.0.0.1:${server.address().port}`, close: () => server.close(), sent: () => sent})));
}

// Opens the page in `context` (throttled as `phone` says, if given) and
// waits for the first prompt; resolves to its time and the steps before it,
// in ms since the navigation started, and the bytes the server sent for
// the visit, the service worker's storing of the files included.
async function firstPrompt(context, {origin, sent}, phone) {
  const sentBefore = sent();
  const page = await context.newPage();
  if (phone) {
    const cdp = await page.createCDPSession();
    await cdp.send('Emulation.setCPUThrottlingRate', {rate: phone.cpu});
    await cdp.send('Network.enable');
    await cdp.send('Network.emulateNetworkConditions', {offline: false, latency: phone.latency,
      downloadThroughput: phone.down, uploadThroughput: phone.up});
  }
  // The page notes the first frame that shows a prompt itself: a poll
  // from here would be late by the time the driver's own script takes.
  await page.evaluateOnNewDocument(() => {
    const screen = () => document.getElementById('screen')?.textContent ?? '';
    const poll = () => {
      if (screen().trimEnd().endsWith(':\\>')) globalThis.promptAt = performance.now();
      else requestAnimationFrame(poll);
    };
    requestAnimationFrame(poll);
  });
  await page.goto(`${origin}/`, {waitUntil: 'domcontentloaded'});
  await page.waitForFunction(() => globalThis.promptAt !== undefined, {polling: 100, timeout: 60000});
  const steps = await page.evaluate(() => {
    const prompt = globalThis.promptAt;
    const resources = performance.getEntriesByType('resource');
    const wasm = resources.find((r) => r.name.endsWith('.wasm'));
    const scripts = resources.filter((r) => /\.m?js$/.test(r.name));
    return {
      prompt,
      // The page's HTML read, its scripts not yet run: what comes before is
      // the browser's and the network's.
      parsed: performance.getEntriesByType('navigation')[0].domInteractive,
      scripts: Math.max(...scripts.map((r) => r.responseEnd)),
      wasmAsked: wasm?.startTime ?? NaN,
      wasmLoaded: wasm?.responseEnd ?? NaN,
      transferred: resources.reduce((sum, r) => sum + r.transferSize, 0) +
        performance.getEntriesByType('navigation')[0].transferSize,
    };
  });
  // A first visit leaves the page's service worker in charge of its files,
  // as for a person who comes back.
  await page.evaluate(() => navigator.serviceWorker?.ready);
  await page.close();
  return {...steps, served: sent() - sentBefore};
}

const median = (values) => [...values].sort((a, b) => a - b)[Math.floor((values.length - 1) / 2)];
const ms = (value) => `${value.toFixed(0)} ms`;

const server = await serveSite(site, 'no-cache');
const chromium = await launch();
const local = [];
const cold = [];
const repeat = [];
try {
  for (let i = 0; i < runs; i++) {
    const context = await chromium.browser.createBrowserContext();
    local.push(await firstPrompt(context, server));
    await context.close();
  }
  for (let i = 0; i < Math.max(1, Math.ceil(runs / 2)); i++) {
    const context = await chromium.browser.createBrowserContext();
    cold.push(await firstPrompt(context, server, SLOW_PHONE));
    repeat.push(await firstPrompt(context, server, SLOW_PHONE));
    await context.close();
  }
} finally {
  await chromium.close();
  server.close();
}

const served = plain ? 'uncompressed' : 'gzipped';
console.log(`first prompt, this machine, empty cache (${local.length} runs, ${served}):` +
  ` median ${ms(median(local.map((s) => s.prompt)))}, least ${ms(Math.min(...local.map((s) => s.prompt)))}`);
for (const [name, list] of [['cold', cold], ['repeat', repeat]]) {
  const m = (key) => median(list.map((s) => s[key]));
  console.log(`first prompt, slow phone, ${name} (${list.length} runs, ${served}): median ${ms(m('prompt'))}` +
    ` [page parsed ${ms(m('parsed'))}, scripts loaded ${ms(m('scripts'))}, program asked ${ms(m('wasmAsked'))},` +
    ` loaded ${ms(m('wasmLoaded'))}; ${Math.round(m('transferred'))} bytes transferred,` +
    ` ${Math.round(m('served'))} bytes served with the worker's]`);
}
