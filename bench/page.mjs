// The web page's weight and start: every file of build-wasm/site/ as served
// gzipped (and the program's .wasm as it stands), and the time from opening
// the page in headless chromium to the first prompt in its terminal, each
// run in a fresh browser context (empty cache), from a local static server.
//
//   node bench/page.mjs [runs]    # default 10
//
// Builds the page when it is missing and emscripten is there; says so and
// stops when it cannot (no emscripten, no chromium). Passes or fails nothing.
import {execFileSync} from 'node:child_process';
import {existsSync, readdirSync, readFileSync} from 'node:fs';
import {dirname, join} from 'node:path';
import {fileURLToPath} from 'node:url';
import {gzipSync} from 'node:zlib';

const root = join(dirname(fileURLToPath(import.meta.url)), '..');
const site = join(root, 'build-wasm', 'site');
const runs = Number(process.argv[2] ?? 10);

if (!existsSync(join(site, 'index.html'))) {
  if (!existsSync('/usr/bin/emcc')) {
    console.log('page: skipped, no build-wasm/site/ and no emscripten to build it');
    process.exit(0);
  }
  const build = (args) => execFileSync('cmake', args, {cwd: root, stdio: 'ignore'});
  build(['--preset', 'wasm']);
  build(['--build', '--preset', 'wasm', '-j2']);
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
const {CHROMIUM, launch, promptsShown, serve} = await import('../tests/browser/chromium.mjs');
if (!existsSync(CHROMIUM)) {
  console.log(`first prompt: skipped, no ${CHROMIUM}`);
  process.exit(0);
}
const server = await serve(site);
const chromium = await launch();
const times = [];
try {
  for (let i = 0; i < runs; i++) {
    const context = await chromium.browser.createBrowserContext();
    const page = await context.newPage();
    await page.goto(`${server.origin}/`, {waitUntil: 'domcontentloaded'});
    await page.waitForFunction(promptsShown, {polling: 'raf'}, ':\\> ', 1);
    times.push(await page.evaluate(() => performance.now()));
    await context.close();
  }
} finally {
  await chromium.close();
  server.close();
}
times.sort((a, b) => a - b);
const median = times[Math.floor((times.length - 1) / 2)];
console.log(`opening the page to the first prompt (headless chromium, ${runs} runs, empty cache):` +
  ` median ${median.toFixed(0)} ms, least ${times[0].toFixed(0)} ms`);
