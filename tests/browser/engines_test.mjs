// The page's desktop checks in each browser engine (engines.mjs): the
// README's session typed key by key, each answer one element added to the
// screen with nothing there changed, Ctrl-D and choice 0 with their exit
// statuses, Start again, a pasted session through every dialog, every line
// of the menus whole and nothing scrolling sideways at phone widths, the
// prose that wraps on a phone wrapping between words, the page after one
// visit with the server stopped (in Chromium, offline_test.mjs checks it),
// and no console error or warning and no policy violation.
// COSMIC_ENGINES=firefox,webkit picks engines, and COSMIC_SITE another site
// folder than build-wasm/site (a release's page, unpacked). Leaves a
// screenshot at 375 pixels per engine in build-wasm/<engine>-375.png.
import assert from 'node:assert/strict';
import {spawnSync} from 'node:child_process';
import {readFileSync} from 'node:fs';
import {dirname, join} from 'node:path';
import {after, before, describe, test} from 'node:test';
import {fileURLToPath} from 'node:url';
import {promptsShown, screenText, serve} from './chromium.mjs';
import {consoleOnLoad, enginesToRun, openEngine} from './engines.mjs';
import * as transcript from './transcript.mjs';

const root = join(dirname(fileURLToPath(import.meta.url)), '..', '..');
const site = process.env.COSMIC_SITE ?? join(root, 'build-wasm', 'site');
const DESKTOP = {width: 1024, height: 768};
const PHONE_WIDTHS = [320, 360, 375, 412];
const session = transcript.readmeSession(join(root, 'README.md'));
const entries = session.input.split('\n').slice(0, -1);
const ANSWER = '4.3 lightyears are 4.06803e+13 km.';
const AXE = join(root, 'node_modules', 'axe-core', 'axe.min.js');
const WCAG = ['wcag2a', 'wcag2aa', 'wcag21a', 'wcag21aa', 'wcag22aa'];
const HINT = 'How far the stars and planets are. Type a menu number in the field below and press Enter.';

for (const name of enginesToRun()) {
  // A bound on each check, so that a browser that stops answering fails it.
  describe(`the page in ${name}`, {timeout: 300000}, () => {
    let server;
    let engine;
    const screen = async () => transcript.asScreen(await engine.evaluate(screenText));
    const waitForPrompts = (count) => engine.waitFor(promptsShown, transcript.PROMPT_END, count);
    const waitForStatus = (text) =>
      engine.waitFor((t) => document.getElementById('status').textContent.includes(t), text);
    // What a screen reader is given, in Chromium, whose accessibility tree
    // a test can read: axe-core's WCAG 2.0-2.2 A and AA rules find no
    // violation (unless `axe` is false), then `check` looks at the tree's
    // nodes (engines.mjs). Elsewhere, nothing.
    const accessibility = async (check = () => {}, axe = true) => {
      if (name !== 'chromium') return;
      if (axe) {
        await engine.evaluate(readFileSync(AXE, 'utf8'));
        const result = await engine.evaluate((tags) => globalThis.axe.run({runOnly: {type: 'tag', values: tags}}), WCAG);
        assert.deepEqual(result.violations.map((v) => `${v.id}: ${v.nodes.map((n) => n.target).join(', ')}`), []);
      }
      check(await engine.accessibilityTree());
    };
    const describesField = (description) => accessibility((tree) => {
      assert.equal(tree.find((node) => node.role === 'textbox').description.trim(), description);
    }, false);
    // Each entry typed, sent, and answered; with `added`, what the answer
    // added to the screen, element by element (once the log is watched).
    const typeSession = async (typed = entries, before = 1, added = null) => {
      for (const [k, entry] of typed.entries()) {
        await engine.type(entry);
        await engine.press('Enter');
        await waitForPrompts(before + k + 1);
        added?.push(await engine.evaluate(() => globalThis.logChanges.splice(0)));
      }
    };

    before(async () => {
      server = await serve(site);
      engine = await openEngine(name);
      await engine.open(`${server.origin}/`, DESKTOP);
      await waitForPrompts(1);
    });

    after(async () => {
      try {
        await engine?.close();
      } finally {
        server?.close();
      }
    });

    test("the README's session, typed key by key, shows the README's text with the echo", async (t) => {
      t.diagnostic(await engine.version());
      await accessibility();
      // The field is described by the hint; by the prompt the program waits
      // at once the focus has left it, so that coming back says what is asked.
      await describesField(HINT);
      // Each answer, the echoed entry first, is one element added to the
      // screen, and nothing there changes: screen readers say it whole, once.
      await engine.evaluate(watchLog);
      const added = [];
      await typeSession(entries.slice(0, -1), 1, added);
      await engine.evaluate(() => document.getElementById('screen').focus());
      await describesField('How many lightyears would you like to convert to km?');
      await engine.evaluate(() => document.getElementById('entry').focus());
      await typeSession(entries.slice(-1), entries.length, added);
      const answers = transcript.withEchoedEntries(session.output, entries).split(transcript.PROMPT_END).slice(1, entries.length + 1);
      assert.deepEqual(added, answers.map((answer) => [`${answer}${transcript.PROMPT_END}`]));
      transcript.assertStartedScreen(await screen(), transcript.withEchoedEntries(session.output, entries));
      // What a screen reader is given: the screen as a log with no name (a
      // screen reader says a log's name before each addition), its text the
      // program's output, and the field by its name.
      const log = await engine.evaluate(() => {
        const view = document.querySelector('[role="log"]');
        return {label: view.getAttribute('aria-label'), text: view.textContent};
      });
      assert.equal(log.label, null);
      assert.ok(log.text.includes(ANSWER));
      await accessibility((tree) => {
        assert.ok(tree.some((node) => node.text.includes(ANSWER)), 'the answer is in the accessibility tree');
        const field = tree.findLast((node) => node.focused);
        assert.deepEqual([field?.role, field?.name], ['textbox', 'Entry']);
      });
    });

    // (The icon is left out: the browser asks for it as it likes.)
    test('on a first visit the page asks for each script once, and for the program with them', async () => {
      const resources = await engine.evaluate(() => performance.getEntriesByType('resource')
        .map((r) => ({path: new URL(r.name).pathname, initiator: r.initiatorType})));
      const asked = resources.map((r) => r.path).filter((path) => /\.(m?js|wasm)$/.test(path));
      assert.deepEqual(asked.filter((path, k) => asked.indexOf(path) !== k), [], 'each asked for once');
      // By index.html's preload, which the program's own fetch then used.
      assert.deepEqual(resources.filter((r) => r.path === '/cosmic-distances.wasm').map((r) => r.initiator), ['link']);
    });

    test('Ctrl-D on an empty line ends the input with status 0, plainly; Start again starts anew', async () => {
      // Ctrl-D where End input announces it, not only in the field.
      await engine.evaluate(() => document.getElementById('end-input').focus());
      await engine.withControl('KeyD');
      await waitForStatus('exit status 0');
      assert.equal(await engine.evaluate(() => document.activeElement.id), 'again');
      assert.deepEqual(await engine.evaluate(endState), {disabled: [true, true], atEnd: true});
      await accessibility((tree) => {
        assert.equal(tree.find((node) => node.name === 'Start again').description, 'The program has ended with exit status 0.');
        assert.equal(tree.find((node) => node.role === 'textbox').disabled, true);
      });
      await engine.press('Enter');
      await waitForPrompts(1);
      transcript.assertStartedScreen(await screen(), transcript.startMenu());
      // The focus is in the field; the button goes with the first entry.
      assert.equal(await engine.evaluate(() => document.activeElement.id), 'entry');
      assert.deepEqual(await engine.evaluate(endState), {disabled: [false, false], atEnd: true});
      // The new run is another instance of the program compiled at the start.
      assert.equal(await engine.evaluate(() =>
        performance.getEntriesByType('resource').filter((r) => r.name.endsWith('.wasm')).length), 1);
    });

    test('a pasted session through every dialog is entered line by line', async () => {
      const input = `${transcript.LONG_SESSION.join('\n')}\n`;
      const reference = spawnSync('node', [join(root, 'build-wasm', 'cosmic-distances.js')], {
        input,
        env: {...process.env, PATH: `${join(root, 'tests', 'stubs')}:${process.env.PATH}`},
        encoding: 'latin1',
      });
      assert.equal(reference.status, 0);
      const start = `<clear>${transcript.START_UP}<date>\n`;
      assert.ok(reference.stdout.startsWith(start), 'the reference run starts as documented');
      const output = reference.stdout.slice(start.length).replace(/\n$/, '');
      // The walk reaches every dialog: each one's documented heading or report.
      for (const text of transcript.DIALOGS) assert.ok(output.includes(text), `the long session shows ${JSON.stringify(text)}`);

      await engine.paste(input);
      await waitForPrompts(transcript.LONG_SESSION.length + 1);
      transcript.assertStartedScreen(await screen(), transcript.withEchoedEntries(output, transcript.LONG_SESSION));
      assert.equal(await engine.evaluate(() => document.getElementById('again').hidden), true);
      // Each line that rang the bell is marked, and heard with the rest of
      // its answer, in order, from the log: no alert of its own to be said
      // apart, or again later.
      const complaints = Array(output.split('\nincorrect entry!\x07\n').length - 1);
      const rang = await engine.evaluate(() =>
        [...document.querySelectorAll('#screen .rang')].map((line) => `${line.getAttribute('role')}: ${line.textContent}`));
      assert.deepEqual(rang, complaints.fill('null: incorrect entry!\n'));
      await accessibility((tree) => {
        const heard = tree.filter((node) => node.role === 'StaticText' && node.name.includes('incorrect entry!'));
        assert.ok(heard.length > 0);
        assert.deepEqual(heard.filter((node) => node.live !== 'polite'), []);
      }, false);
    });

    test('choice 0 ends the program with status 255', async () => {
      await engine.type('0');
      await engine.press('Enter');
      await waitForStatus('exit status 255');
    });

    test('at phone widths every line of the menus is whole, nothing scrolls sideways, and prose wraps between words', async (t) => {
      await engine.open(`${server.origin}/`, {width: PHONE_WIDTHS[0], height: 640});
      await waitForPrompts(1);
      await engine.click('#entry');
      await typeSession();
      await accessibility();
      for (const width of PHONE_WIDTHS) {
        await engine.resize(width, 640);
        await engine.waitFor((w) => innerWidth === w, width);
        await engine.evaluate(() => new Promise((resolve) => requestAnimationFrame(() => requestAnimationFrame(resolve))));
        const layout = await engine.evaluate(layoutOfLines, transcript.PROMPT_END);
        t.diagnostic(`${width} px: the screen's font ${layout.font}`);
        assert.deepEqual(layout.broken, [], `${width} px: ${layout.font}`);
        assert.equal(layout.sideways, false, `${width} px`);
        if (width === 375) await engine.screenshot(join(root, 'build-wasm', `${name}-375.png`));
      }
      // The prose wider than the screen: a planet pair with its light time
      // and the question before it, a star's distance in kilometres.
      await engine.resize(PHONE_WIDTHS[0], 640);
      await engine.waitFor((w) => innerWidth === w, PHONE_WIDTHS[0]);
      await typeSession(transcript.WRAPPING_WALK, entries.length + 1);
      const layout = await engine.evaluate(layoutOfLines, transcript.PROMPT_END);
      assert.deepEqual(layout.brokenWords, [], layout.font);
      for (const start of ['Would you like to know,', 'Fomalhaut in the constellation of Piscis Austrinus is 217592155489911.250']) {
        assert.ok(layout.broken.some((line) => line.startsWith(start)), `${start} wraps`);
      }
    });

    test('after one visit, with the server stopped, the page reloads and the session runs',
      {skip: name === 'chromium' && 'offline_test.mjs checks it in Chromium'}, async () => {
      await engine.open(`${server.origin}/`, DESKTOP);
      await engine.waitFor(() => navigator.serviceWorker.controller !== null);
      await waitForPrompts(1);
      const stopping = server;
      server = null;
      await stopping.close();
      await engine.reload();
      await waitForPrompts(1);
      await typeSession();
      assert.ok((await screen()).includes(ANSWER));
    });

    test('no console error or warning, no policy violation, no failed request', async () => {
      await engine.collectProblems();
      if (name === 'webkit') {
        // Its automation writes no console; a page opened apart does.
        const again = await serve(site);
        try {
          engine.problems.push(...(await consoleOnLoad(again)));
        } finally {
          again.close();
        }
      }
      // The reload without a server fails the requests the page makes online.
      assert.deepEqual(engine.problems.filter((p) => !/^request failed: .*\/(service_worker\.js)?$/.test(p)), []);
    });
  });
}

// Run in the page: from now on, each change to the screen in
// globalThis.logChanges, as the text of each element added to it, or
// 'changed' for any other change.
function watchLog() {
  globalThis.logChanges = [];
  const lines = document.getElementById('screen');
  new MutationObserver((records) => {
    for (const record of records) {
      const added = record.target === lines && record.removedNodes.length === 0 ? [...record.addedNodes] : [];
      if (added.length === 0 || added.some((node) => node.nodeType !== Node.ELEMENT_NODE)) globalThis.logChanges.push('changed');
      else globalThis.logChanges.push(...added.map((node) => node.textContent));
    }
  }).observe(document.getElementById('screen'), {childList: true, subtree: true, characterData: true, attributes: true});
}

// Run in the page: whether the field and End input are disabled, and
// whether the screen shows its end.
function endState() {
  const view = document.getElementById('screen');
  return {
    disabled: ['entry', 'end-input'].map((id) => document.getElementById(id).disabled),
    atEnd: view.scrollTop + view.clientHeight >= view.scrollHeight - 1,
  };
}

// Run in the page: the screen's lines that are not drawn as one row, but
// for a long entry, which may go on the next row after its prompt; its words
// that are not drawn as one row; and whether the page or the screen scrolls
// sideways.
function layoutOfLines(promptEnd) {
  const view = document.getElementById('screen');
  const nodes = [];
  let text = '';
  const walker = document.createTreeWalker(view, NodeFilter.SHOW_TEXT);
  for (let node = walker.nextNode(); node; node = walker.nextNode()) {
    nodes.push({node, start: text.length});
    text += node.data;
  }
  const position = (index) => {
    const found = nodes.findLast((n) => n.start <= index);
    return [found.node, index - found.start];
  };
  const rows = (from, to) => {
    const range = document.createRange();
    range.setStart(...position(from));
    range.setEnd(...position(to));
    return new Set([...range.getClientRects()].filter((r) => r.width > 0).map((r) => Math.round(r.top))).size;
  };
  const broken = [];
  for (let from = 0; from < text.length;) {
    const end = text.indexOf('\n', from) < 0 ? text.length : text.indexOf('\n', from);
    const line = text.slice(from, end);
    const prompt = line.lastIndexOf(promptEnd);
    const longEntry = prompt >= 0 && line.length - prompt - promptEnd.length > 4;
    if (end > from && rows(from, longEntry ? from + prompt + promptEnd.length - 1 : end) > 1) broken.push(line);
    from = end + 1;
  }
  const brokenWords = [...text.matchAll(/[^\s]+/g)]
    .filter((word) => rows(word.index, word.index + word[0].length) > 1).map((word) => word[0]);
  return {
    broken,
    brokenWords,
    font: view.style.fontSize,
    sideways: view.scrollWidth > view.clientWidth || document.documentElement.scrollWidth > innerWidth,
  };
}
