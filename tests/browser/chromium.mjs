// Headless chromium and a plain static server for the page: Python's
// http.server, which sends no special headers (no cross-origin isolation).
import {spawn} from 'node:child_process';
import {mkdtempSync, rmSync} from 'node:fs';
import {tmpdir} from 'node:os';
import {join} from 'node:path';
import puppeteer from 'puppeteer-core';

export const CHROMIUM = process.env.CHROMIUM ?? '/usr/bin/chromium';

// `python3 -m http.server`'s own server and handler, which ends when its
// standard input does: with the process that started it, however that ends,
// so no failure of a test or benchmark leaves a server running.
const SERVER = `
import functools, http.server, sys, threading
handler = functools.partial(http.server.SimpleHTTPRequestHandler, directory=sys.argv[1])
server = http.server.ThreadingHTTPServer(('127.0.0.1', 0), handler)
print(f'port {server.server_address[1]}', flush=True)
threading.Thread(target=server.serve_forever, daemon=True).start()
sys.stdin.read()
`;

// Serves `dir` on a free port of 127.0.0.1; resolves to {origin, close,
// downloads}, where close() resolves once the server has ended (nothing
// answers at origin any more) and downloads() lists the paths answered in full (200), in
// the order asked, by the page and its service worker alike.
export async function serve(dir) {
  const server = spawn('python3', ['-u', '-c', SERVER, dir], {stdio: ['pipe', 'pipe', 'pipe']});
  const ended = new Promise((resolve) => server.on('exit', resolve));
  const downloads = [];
  let log = '';
  server.stderr.setEncoding('utf8').on('data', (data) => {
    const lines = (log + data).split('\n');
    log = lines.pop();
    for (const line of lines) {
      const found = /"GET (\S+) HTTP\/[\d.]+" 200 /.exec(line);
      if (found) downloads.push(found[1]);
    }
  });
  const port = await new Promise((resolve, reject) => {
    let out = '';
    server.stdout.setEncoding('utf8').on('data', (data) => {
      out += data;
      const found = /port (\d+)\n/.exec(out);
      if (found) resolve(found[1]);
    });
    server.on('exit', () => reject(new Error('the static server did not start')));
  });
  const close = () => {
    server.kill();
    return ended;
  };
  return {origin: `http://127.0.0.1:${port}`, close, downloads: () => [...downloads]};
}

// A browser with a fresh, empty profile; resolves to {browser, close}, and
// close() removes the profile too. `options` go to puppeteer's launch(),
// their args after ours.
export async function launch({args = [], ...options} = {}) {
  const profile = mkdtempSync(join(tmpdir(), 'cosmic-chromium-'));
  const browser = await puppeteer.launch({
    executablePath: CHROMIUM,
    headless: true,
    ...options,
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync',
      `--user-data-dir=${profile}`, ...args],
  });
  const close = async () => {
    await browser.close();
    rmSync(profile, {recursive: true, force: true, maxRetries: 10, retryDelay: 100});
  };
  return {browser, close};
}

// Records in `problems`, and returns it, what fails a page test: console
// errors and warnings, page errors and, unless `network` is false (a page
// that is meant to lose its server), failed requests and error responses.
export function recordProblems(page, problems = [], {network = true} = {}) {
  page.on('console', (message) => {
    if (message.type() === 'error' || message.type() === 'warn') problems.push(`console: ${message.text()}`);
  });
  page.on('pageerror', (error) => problems.push(`page error: ${error.message}`));
  if (!network) return problems;
  page.on('requestfailed', (request) => problems.push(`request failed: ${request.url()}`));
  page.on('response', (response) => {
    if (response.status() >= 400) problems.push(`${response.status()}: ${response.url()}`);
  });
  return problems;
}

// True once the screen's text holds `count` prompts and ends with one.
export function promptsShown(end, count) {
  const text = document.getElementById('screen')?.textContent ?? '';
  return text.split(end).length - 1 === count && text.endsWith(end);
}

// Run in the page: the screen's text, scrollback included.
export function screenText() {
  return document.getElementById('screen').textContent;
}
