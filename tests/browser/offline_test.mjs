// The page installed and used without a network, in headless chromium: the
// manifest as chromium reads it (nothing stands in the way of installing)
// and its icons; after one visit, with the static server stopped, the page
// reloads from its service worker's cache and the README's session gives
// its answer; a changed site reaches the page on the next visit. And the
// build's script that writes the worker: its file list and cache name.
import assert from 'node:assert/strict';
import {spawnSync} from 'node:child_process';
import {cpSync, mkdirSync, mkdtempSync, readdirSync, readFileSync, rmSync, statSync, utimesSync, writeFileSync} from 'node:fs';
import {tmpdir} from 'node:os';
import {dirname, join} from 'node:path';
import {after, before, describe, test} from 'node:test';
import {fileURLToPath} from 'node:url';
import {launch, recordProblems, serve} from './chromium.mjs';
import * as transcript from './transcript.mjs';

const root = join(dirname(fileURLToPath(import.meta.url)), '..', '..');
const site = join(root, 'build-wasm', 'site');
const script = join(root, 'web', 'service_worker.cmake');
const WORKER = 'service_worker.js';
const ANSWER = '4.3 lightyears are 4.06803e+13 km.';

// The cache name and file list of the worker in the folder `dir`.
function readWorker(dir) {
  const text = readFileSync(join(dir, WORKER), 'utf8');
  const list = /const FILES = \[\n([^;]*)\n\];/.exec(text)[1].trim().split('\n');
  return {cache: /const CACHE = '([^']+)';/.exec(text)[1], files: list.map((line) => /'([^']*)'/.exec(line)[1]), text};
}

// Writes the worker for the folder `dir` as the build does, and reads it.
function writeWorker(dir) {
  const run = spawnSync('cmake', [`-DSITE=${dir}`, '-P', script], {encoding: 'utf8'});
  return run.status === 0 ? readWorker(dir) : {failed: run.stderr};
}

describe("the build's worker", () => {
  let work;
  before(() => {
    work = mkdtempSync(join(tmpdir(), 'cosmic-worker-'));
  });
  after(() => rmSync(work, {recursive: true, force: true}));

  function folder(name, files) {
    const dir = join(work, name);
    for (const [file, text] of Object.entries(files)) {
      mkdirSync(dirname(join(dir, file)), {recursive: true});
      writeFileSync(join(dir, file), text);
    }
    return dir;
  }

  test("lists every file of the site as built, sorted, the worker itself left out", () => {
    const built = readWorker(site);
    const expected = readdirSync(site).filter((file) => file !== WORKER).sort();
    assert.deepEqual(built.files, expected);
    assert.ok(built.files.includes('index.html') && built.files.includes('cosmic-distances.wasm'));
    assert.deepEqual(writeWorker(folder('nested', {'b.js': '', 'a/z.css': '', 'a/b/c.png': ''})).files,
      ['a/b/c.png', 'a/z.css', 'b.js']);
  });

  test('the cache name follows the content: the same files anywhere, the same bytes', () => {
    const files = {'index.html': '<p>one</p>', 'main.mjs': 'x;'};
    const first = writeWorker(folder('first', files));
    const elsewhere = writeWorker(folder('deeper/elsewhere', files));
    assert.match(first.cache, /^cosmic-distances-[0-9a-f]{16}$/);
    assert.equal(elsewhere.text, first.text);
    assert.equal(writeWorker(join(work, 'first')).text, first.text, 'its own file is not hashed');

    const names = new Set([first.cache]);
    const variants = [
      {'index.html': '<p>one</p>', 'main.mjs': 'y;'},               // one byte changed
      {'index.html': '<p>one</p>', 'other.mjs': 'x;'},              // a file renamed
      {...files, 'page.css': ''},                                   // a file added
      {'index.html': '<p>one</p>'},                                 // a file removed
      {'index.html': '<p>one</p>x;', 'main.mjs': ''},               // a byte moved to the other file
    ];
    for (const [k, variant] of variants.entries()) names.add(writeWorker(folder(`variant${k}`, variant)).cache);
    assert.equal(names.size, variants.length + 1);
  });

  test("a file whose name cannot stand in the worker's text stops the build", () => {
    assert.match(writeWorker(folder('quoted', {"it's.js": ''})).failed, /plain name/);
  });
});

describe('the page in chromium', () => {
  let chromium;
  before(async () => {
    chromium = await launch();
  });
  after(() => chromium?.close());

  // Serves `dir` and opens it in a page that records console warnings and
  // errors and page errors; then `body(page, server)`, and all is closed.
  async function visit(dir, body) {
    const server = await serve(dir);
    const page = await chromium.browser.newPage();
    page.problems = recordProblems(page, [], {network: false});
    try {
      await page.goto(`${server.origin}/`);
      await body(page, server);
    } finally {
      try {
        await page.close();
      } finally {
        server.close();
      }
    }
  }

  // Resolves once a service worker controls the page; to its cache's names.
  async function controlled(page) {
    await page.waitForFunction(() => navigator.serviceWorker.controller !== null, {timeout: 20000});
    return page.evaluate(async () => {
      await navigator.serviceWorker.ready;
      return caches.keys();
    });
  }

  test('the manifest has what installing needs, and its icons are PNGs of their stated sizes', () =>
    visit(site, async (page, server) => {
      await controlled(page);
      const cdp = await page.createCDPSession();
      const {url, errors} = await cdp.send('Page.getAppManifest');
      assert.equal(url, `${server.origin}/manifest.webmanifest`);
      assert.deepEqual(errors, []);
      assert.deepEqual((await cdp.send('Page.getInstallabilityErrors')).installabilityErrors, []);

      const response = await fetch(url);
      assert.match(response.headers.get('content-type'), /^application\/(manifest\+)?json/);
      const manifest = await response.json();
      for (const member of ['name', 'short_name', 'description', 'theme_color', 'background_color']) {
        assert.equal(typeof manifest[member], 'string', member);
      }
      assert.equal(manifest.display, 'standalone');
      assert.equal(new URL(manifest.start_url, url).href, `${server.origin}/`);
      assert.equal(new URL(manifest.scope, url).href, `${server.origin}/`);
      const sizes = new Set();
      for (const icon of manifest.icons.filter((i) => i.type === 'image/png')) {
        const png = Buffer.from(await (await fetch(new URL(icon.src, url))).arrayBuffer());
        assert.equal(png.subarray(0, 8).toString('hex'), '89504e470d0a1a0a', icon.src);
        assert.equal(`${png.readUInt32BE(16)}x${png.readUInt32BE(20)}`, icon.sizes, icon.src);
        sizes.add(icon.sizes);
      }
      assert.ok(sizes.has('192x192') && sizes.has('512x512'), [...sizes].join());
      assert.deepEqual(page.problems, []);
    }));

  test("after one visit, with the server stopped, the page reloads and the README's session runs", () =>
    visit(site, async (page, server) => {
      const worker = readWorker(site);
      assert.deepEqual(await controlled(page), [worker.cache]);
      const stored = await page.evaluate(async (name) =>
        (await (await caches.open(name)).keys()).map((request) => new URL(request.url).pathname.slice(1)), worker.cache);
      assert.deepEqual(stored.sort(), worker.files);
      const downloads = server.downloads();
      assert.deepEqual(downloads.filter((path, k) => downloads.indexOf(path) !== k), [], 'each file downloaded once');
      assert.deepEqual(page.problems, [], 'online, no warning or error');
      await server.close();

      const fromNetwork = [];
      page.on('response', (response) => {
        if (!response.fromServiceWorker()) fromNetwork.push(response.url());
      });
      await page.reload();
      await typeSession(page);
      assert.deepEqual(fromNetwork, []);
      assert.deepEqual(page.problems, [], 'offline, no warning or error either');
    }));

  test('a changed site reaches the page on the next visit with the network there', async () => {
    const copy = mkdtempSync(join(tmpdir(), 'cosmic-site-'));
    cpSync(site, copy, {recursive: true});
    await visit(copy, async (page, server) => {
      const [before] = await controlled(page);
      await page.waitForFunction((end) => document.body.innerText.includes(end), {timeout: 20000}, ':\\>');
      // The server's Last-Modified counts whole seconds. The changed style
      // keeps the second it was first served in, so only a download that
      // skips the browser's HTTP cache brings it; the worker, whose update
      // check is the browser's, is dated later, as a real deploy would be.
      const style = join(copy, 'page.css');
      const served = statSync(style).mtime;
      writeFileSync(style, `${readFileSync(style, 'utf8')}\nbody { --build: "next"; }\n`);
      utimesSync(style, served, served);
      const next = writeWorker(copy).cache;
      const later = new Date(Date.now() + 2000);
      utimesSync(join(copy, WORKER), later, later);
      assert.notEqual(next, before);

      await page.goto(`${server.origin}/`);
      // Opened from the old cache first; the new worker stores the new files,
      // takes over, removes the old cache, and the page reloads into them.
      await page.waitForFunction(
        async (name) => getComputedStyle(document.body).getPropertyValue('--build').trim() === '"next"' &&
          JSON.stringify(await caches.keys()) === JSON.stringify([name]),
        {timeout: 20000, polling: 200}, next);
      await page.waitForFunction((end) => document.body.innerText.includes(end), {timeout: 20000}, ':\\>');
      assert.deepEqual(page.problems, []);
    }).finally(() => rmSync(copy, {recursive: true, force: true}));
  });
});

// The README's session typed into whatever has the focus once the first
// prompt shows, each entry with its Enter (the page keeps lines typed ahead
// for the program's next reads); then its answer is on the page, whatever
// view shows it.
async function typeSession(page) {
  await page.waitForFunction((end) => document.body.innerText.includes(end), {timeout: 20000}, ':\\>');
  const session = transcript.readmeSession(join(root, 'README.md'));
  for (const entry of session.input.split('\n').slice(0, -1)) {
    await page.keyboard.type(entry, {delay: 5});
    await page.keyboard.press('Enter');
  }
  await page.waitForFunction((text) => document.body.innerText.replaceAll('\u00a0', ' ').includes(text),
    {timeout: 20000}, ANSWER);
}
