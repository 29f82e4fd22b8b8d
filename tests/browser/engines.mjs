// One small driver per browser engine, so that the same checks of the page
// run in each: Debian's chromium and firefox-esr through puppeteer-core (the
// DevTools protocol and WebDriver BiDi), and WebKitGTK's MiniBrowser through
// plain WebDriver HTTP calls to WebKitWebDriver under xvfb-run. Each driver
// opens one page at a time and offers what the checks need: evaluate a
// function in the page, wait until one is true, keys, a paste, the size of
// the view, a screenshot, a reload, and the console's errors and warnings.
import {spawn} from 'node:child_process';
import {writeFileSync} from 'node:fs';
import {createServer} from 'node:net';
import puppeteer from 'puppeteer-core';
import {launch as launchChromium, recordProblems} from './chromium.mjs';

export const ENGINES = ['chromium', 'firefox', 'webkit'];
export const FIREFOX = process.env.FIREFOX ?? '/usr/bin/firefox-esr';
export const MINIBROWSER = process.env.MINIBROWSER ?? '/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser';
const TIMEOUT = 20000;

// The engines to run: COSMIC_ENGINES (comma-separated), or all three.
export function enginesToRun() {
  const named = process.env.COSMIC_ENGINES?.split(',').filter(Boolean) ?? ENGINES;
  for (const name of named) if (!ENGINES.includes(name)) throw new Error(`no such engine: ${name}`);
  return named;
}

export async function openEngine(name) {
  if (name === 'webkit') return WebKit.start();
  const browser = name === 'chromium' ? await launchChromium() :
    {browser: await puppeteer.launch({browser: 'firefox', executablePath: FIREFOX, headless: true})};
  return new Puppeteer(name, browser);
}

class Puppeteer {
  #browser;
  #page = null;
  problems = [];

  constructor(name, browser) {
    this.name = name;
    this.#browser = browser;
  }

  async version() {
    return this.#browser.browser.version();
  }

  async open(url, {width, height}) {
    if (this.#page) await this.collectProblems();
    await this.#page?.close();
    this.#page = await this.#browser.browser.newPage();
    recordProblems(this.#page, this.problems);
    await this.#page.evaluateOnNewDocument(watchProblems);
    await this.resize(width, height);
    await this.#page.goto(url);
  }

  async collectProblems() {
    this.problems.push(...(await this.evaluate(() => globalThis.cosmicProblems ?? [])));
  }

  click(selector) {
    return this.#page.click(selector);
  }

  resize(width, height) {
    return this.#page.setViewport({width, height});
  }

  evaluate(fn, ...args) {
    return this.#page.evaluate(fn, ...args);
  }

  async waitFor(fn, ...args) {
    await this.#page.waitForFunction(fn, {timeout: TIMEOUT, polling: 100}, ...args);
  }

  async type(text) {
    await this.#page.keyboard.type(text, {delay: 5});
  }

  press(key) {
    return this.#page.keyboard.press(key);
  }

  async withControl(key) {
    const keyboard = this.#page.keyboard;
    await keyboard.down('Control');
    await keyboard.press(key);
    await keyboard.up('Control');
  }

  // Chromium takes the text from the paste event; Firefox ignores the
  // clipboardData given to the event's constructor, so there the text goes
  // through the real clipboard: copied from a text area, pasted with Ctrl+V.
  async paste(text) {
    if (this.name === 'chromium') {
      await this.evaluate(dispatchPaste, text);
      return;
    }
    await this.evaluate(selectInTextArea, text);
    await this.withControl('KeyC');
    await this.evaluate(leaveTextArea);
    await this.withControl('KeyV');
  }

  async screenshot(path) {
    await this.#page.screenshot({path});
  }

  // Chromium's accessibility tree as a screen reader is given it: its
  // nodes that are not ignored, each {role, name, description, live,
  // disabled, focused, text} (live: the politeness it is announced with;
  // text: the static text within it).
  async accessibilityTree() {
    const cdp = await this.#page.createCDPSession();
    try {
      const {nodes} = await cdp.send('Accessibility.getFullAXTree');
      return axNodes(nodes);
    } finally {
      await cdp.detach();
    }
  }

  async reload() {
    await this.collectProblems();
    await this.#page.reload();
  }

  async close() {
    await this.#browser.browser.close();
    await this.#browser.close?.();
  }
}

// WebKitGTK: MiniBrowser in automation mode (WebKitWebDriver hangs on a new
// session unless --automation stays among its arguments). Its window is no
// narrower than its toolbar allows, so a narrower view is the page in a frame
// of that width, on a blank page; the frame's page runs as the page does,
// but as a third party of the blank page, without a service worker.
// Automation's pages write no console messages, so consoleOnLoad() opens
// the page apart, in a MiniBrowser of its own that writes them out.
class WebKit {
  #driver;
  #base;
  #session;
  #version;
  #framed = false;
  #chrome = {width: 0, height: 0};  // the window's size beyond the view's
  problems = [];
  name = 'webkit';

  static async start() {
    const port = await freePort();
    const driver = spawn('xvfb-run', ['-a', 'WebKitWebDriver', `--port=${port}`],
      {detached: true, stdio: 'ignore'});
    const engine = new WebKit();
    engine.#driver = driver;
    engine.#base = `http://127.0.0.1:${port}`;
    try {
      await engine.#waitForDriver();
      const {sessionId, capabilities} = await engine.#call('POST', '/session', {capabilities: {alwaysMatch: {
        'browserName': 'MiniBrowser',
        'webkitgtk:browserOptions': {binary: MINIBROWSER, args: ['--automation']},
      }}});
      engine.#session = `/session/${sessionId}`;
      engine.#version = `MiniBrowser, WebKitGTK ${capabilities.browserVersion}`;
    } catch (error) {
      engine.#stopDriver();
      throw error;
    }
    return engine;
  }

  version() {
    return this.#version;
  }

  async open(url, {width, height}) {
    if (this.#session) await this.collectProblems();
    await this.#command('POST', '/frame', {id: null});
    this.#framed = false;
    await this.#command('POST', '/window/rect', {width: 1024, height: 768});
    const view = await this.evaluate(() => [innerWidth, innerHeight]);
    this.#chrome = {width: 1024 - view[0], height: 768 - view[1]};
    if (!(await this.#fitWindow(width, height))) {
      await this.#command('POST', '/url', {url: 'about:blank'});
      await this.evaluate(openFrame, url, width, height);
      const frame = await this.#command('POST', '/element', {using: 'css selector', value: 'iframe'});
      await this.#command('POST', '/frame', {id: frame});
      this.#framed = true;
      return;
    }
    await this.#command('POST', '/url', {url});
    await this.evaluate(watchProblems);
  }

  async resize(width, height) {
    if (!this.#framed) {
      if (await this.#fitWindow(width, height)) return;
      throw new Error(`MiniBrowser's window is wider than ${width} px; open the page at that width instead`);
    }
    await this.#command('POST', '/frame/parent', {});
    await this.evaluate(sizeFrame, width, height);
    const frame = await this.#command('POST', '/element', {using: 'css selector', value: 'iframe'});
    await this.#command('POST', '/frame', {id: frame});
  }

  // Sizes the window for a view of width x height; false if it cannot be
  // that narrow.
  async #fitWindow(width, height) {
    await this.#command('POST', '/window/rect', {width: width + this.#chrome.width, height: height + this.#chrome.height});
    return (await this.evaluate(() => innerWidth)) === width;
  }

  async evaluate(fn, ...args) {
    const script = `const done = arguments[arguments.length - 1];
      Promise.resolve().then(() => (${fn})(...Array.prototype.slice.call(arguments, 0, -1)))
        .then((value) => done({value}), (error) => done({error: String(error)}));`;
    const result = await this.#command('POST', '/execute/async', {script, args});
    if (result.error) throw new Error(`in the page: ${result.error}`);
    return result.value;
  }

  async waitFor(fn, ...args) {
    for (const end = Date.now() + TIMEOUT; !(await this.evaluate(fn, ...args));) {
      if (Date.now() > end) throw new Error(`waited ${TIMEOUT} ms for ${fn}`);
      await new Promise((resolve) => setTimeout(resolve, 100));
    }
  }

  type(text) {
    return this.#keys([...text].flatMap((c) => [{type: 'keyDown', value: c}, {type: 'keyUp', value: c}]));
  }

  press(key) {
    const value = WEBDRIVER_KEYS[key] ?? key;
    return this.#keys([{type: 'keyDown', value}, {type: 'keyUp', value}]);
  }

  withControl(key) {
    const value = key.replace(/^Key/, '').toLowerCase();
    return this.#keys([{type: 'keyDown', value: WEBDRIVER_KEYS.Control}, {type: 'keyDown', value},
      {type: 'keyUp', value}, {type: 'keyUp', value: WEBDRIVER_KEYS.Control}]);
  }

  paste(text) {
    return this.evaluate(dispatchPaste, text);
  }

  async screenshot(path) {
    let shot;
    if (this.#framed) {
      await this.#command('POST', '/frame/parent', {});
      const frame = await this.#command('POST', '/element', {using: 'css selector', value: 'iframe'});
      shot = await this.#command('GET', `/element/${Object.values(frame)[0]}/screenshot`);
      await this.#command('POST', '/frame', {id: frame});
    } else {
      shot = await this.#command('GET', '/screenshot');
    }
    writeFileSync(path, Buffer.from(shot, 'base64'));
  }

  async click(selector) {
    const element = await this.#command('POST', '/element', {using: 'css selector', value: selector});
    await this.#command('POST', `/element/${Object.values(element)[0]}/click`, {});
  }

  async reload() {
    await this.collectProblems();
    await this.#command('POST', '/refresh', {});
    await this.evaluate(watchProblems);
  }

  // What the page reported (its errors, unhandled rejections and policy
  // violations) since it was opened or reloaded at full size.
  async collectProblems() {
    if (!this.#framed) this.problems.push(...(await this.evaluate(() => globalThis.cosmicProblems ?? [])));
  }

  async close() {
    try {
      if (this.#session) await this.#call('DELETE', this.#session);
    } finally {
      this.#stopDriver();
    }
  }

  #keys(actions) {
    return this.#command('POST', '/actions', {actions: [{type: 'key', id: 'keyboard', actions}]});
  }

  #command(method, path, body) {
    return this.#call(method, `${this.#session}${path}`, body);
  }

  async #call(method, path, body) {
    const response = await fetch(`${this.#base}${path}`, {
      method, headers: {'Content-Type': 'application/json'}, body: body && JSON.stringify(body),
      signal: AbortSignal.timeout(3 * TIMEOUT),
    });
    const {value} = await response.json();
    if (!response.ok) throw new Error(`WebDriver ${method} ${path}: ${value?.error} ${value?.message ?? ''}`);
    return value;
  }

  async #waitForDriver() {
    for (const end = Date.now() + TIMEOUT; ;) {
      try {
        if ((await this.#call('GET', '/status')).ready) return;
      } catch (error) {
        if (Date.now() > end) throw error;
      }
      await new Promise((resolve) => setTimeout(resolve, 100));
    }
  }

  #stopDriver() {
    try {
      process.kill(-this.#driver.pid);  // xvfb-run, Xvfb, the driver and its browser
    } catch {
      // already gone
    }
  }
}

// The console messages of errors and warnings (including policy violations)
// that WebKitGTK writes while loading the page that `server` serves and for
// `ms` after its load event, in a MiniBrowser of its own under xvfb-run. The
// page registers its service worker on its load event, so the server's
// request for the worker marks the load.
export async function consoleOnLoad(server, ms = 10000) {
  const browser = spawn('xvfb-run', ['-a', 'stdbuf', '-oL', MINIBROWSER, '--enable-write-console-messages-to-stdout=true',
    `${server.origin}/`], {detached: true, stdio: ['ignore', 'pipe', 'pipe']});
  // It writes the console's warnings to its standard error, the rest to its output.
  let out = '';
  for (const stream of [browser.stdout, browser.stderr]) {
    stream.setEncoding('utf8').on('data', (data) => {
      out += data;
    });
  }
  try {
    for (const end = Date.now() + TIMEOUT; !server.downloads().includes('/service_worker.js');) {
      if (Date.now() > end) throw new Error('MiniBrowser did not load the page');
      await new Promise((resolve) => setTimeout(resolve, 100));
    }
    await new Promise((resolve) => setTimeout(resolve, ms));
  } finally {
    process.kill(-browser.pid);
  }
  return out.split('\n').filter((line) => / CONSOLE .*(ERROR|WARN)/.test(` ${line}`));
}

function axNodes(nodes) {
  const byId = new Map(nodes.map((node) => [node.nodeId, node]));
  const text = (node) => (node.role?.value === 'StaticText' ? node.name?.value ?? '' :
    (node.childIds ?? []).map((id) => text(byId.get(id) ?? {})).join(''));
  const property = (node, name) => node.properties?.find((p) => p.name === name)?.value.value;
  // The live region a node's changes are announced in: its own or its
  // nearest ancestor's.
  const live = (node) => node && (property(node, 'live') ?? live(byId.get(node.parentId)));
  return nodes.filter((node) => !node.ignored).map((node) => ({
    role: node.role?.value, name: node.name?.value ?? '', description: node.description?.value ?? '',
    live: live(node), disabled: property(node, 'disabled') ?? false,
    focused: property(node, 'focused') ?? false, text: text(node),
  }));
}

const WEBDRIVER_KEYS = {Enter: '\uE007', Control: '\uE009', Space: ' '};

function freePort() {
  return new Promise((resolve, reject) => {
    const server = createServer().listen(0, '127.0.0.1', () => {
      const {port} = server.address();
      server.close(() => resolve(port));
    }).on('error', reject);
  });
}

// Run in the page.

function dispatchPaste(text) {
  const data = new DataTransfer();
  data.setData('text/plain', text);
  document.getElementById('entry').dispatchEvent(new ClipboardEvent('paste', {clipboardData: data, bubbles: true, cancelable: true}));
}

function selectInTextArea(text) {
  const area = document.createElement('textarea');
  area.id = 'clipboard';
  area.value = text;
  document.body.append(area);
  area.select();
}

function leaveTextArea() {
  document.getElementById('clipboard').remove();
  document.getElementById('entry').focus();
}

function watchProblems() {
  globalThis.cosmicProblems = [];
  const note = (text) => globalThis.cosmicProblems.push(text);
  addEventListener('error', (event) => note(`page error: ${event.message}`));
  addEventListener('unhandledrejection', (event) => note(`page error: ${event.reason}`));
  document.addEventListener('securitypolicyviolation', (event) => note(`policy: ${event.violatedDirective}`));
}

function openFrame(url, width, height) {
  const frame = document.createElement('iframe');
  frame.src = url;
  Object.assign(frame.style, {border: '0', display: 'block', width: `${width}px`, height: `${height}px`});
  document.body.style.margin = '0';
  document.body.append(frame);
  return new Promise((resolve) => frame.addEventListener('load', resolve, {once: true}));
}

function sizeFrame(width, height) {
  Object.assign(document.querySelector('iframe').style, {width: `${width}px`, height: `${height}px`});
}
