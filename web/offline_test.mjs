// When a newer build's service worker takes over, the page goes over to it
// without losing what someone is doing: the decisions of keepOffline(), with
// a stand-in for the browser's service worker container.
import assert from 'node:assert/strict';
import {test} from 'node:test';
import {keepOffline} from './offline.mjs';

function setUp({controlled, registers = true, when = null}) {
  const container = new EventTarget();
  container.controller = controlled ? {} : null;
  container.registered = [];
  container.register = (url) => {
    container.registered.push(url);
    return registers ? Promise.resolve({}) : Promise.reject(new Error('not here'));
  };
  const document = new EventTarget();
  const reloads = [];
  const registered = keepOffline({container, document, reload: () => reloads.push(true), when});
  return {container, document, reloads, registered};
}

const takeOver = (container) => container.dispatchEvent(new Event('controllerchange'));

function clickOn(document, id) {
  const event = new Event('click', {cancelable: true});
  Object.defineProperty(event, 'target', {value: {id}});
  let reachedPage = true;
  event.stopImmediatePropagation = () => { reachedPage = false; };
  document.dispatchEvent(event);
  return reachedPage;
}

test('registers the worker the build writes, once the page has started; a failure is quiet', async () => {
  const works = setUp({controlled: false});
  assert.deepEqual(works.container.registered, ['service_worker.js']);
  assert.equal(await works.registered, true);
  assert.equal(await setUp({controlled: false, registers: false}).registered, false);
  let shown;
  const later = setUp({controlled: false, when: new Promise((resolve) => { shown = resolve; })});
  await Promise.resolve();
  assert.deepEqual(later.container.registered, [], 'not before the page has started');
  shown();
  assert.equal(await later.registered, true);
  assert.deepEqual(later.container.registered, ['service_worker.js']);
});

test('the first worker taking over the page it did not serve reloads nothing', () => {
  const {container, reloads} = setUp({controlled: false});
  takeOver(container);
  assert.equal(reloads.length, 0);
});

test('a newer build taking over an untouched page reloads it at once', () => {
  const {container, reloads} = setUp({controlled: true});
  takeOver(container);
  assert.equal(reloads.length, 1);
});

test('once someone has typed or tapped, the newer build waits for "Start again"', () => {
  for (const type of ['keydown', 'pointerdown', 'beforeinput', 'paste']) {
    const {container, document, reloads} = setUp({controlled: true});
    document.dispatchEvent(new Event(type));
    takeOver(container);
    assert.equal(reloads.length, 0, type);
    assert.equal(clickOn(document, 'end-input'), true, 'other buttons work as before');
    assert.equal(reloads.length, 0, type);
    assert.equal(clickOn(document, 'again'), false, 'the old page does not start its program');
    assert.equal(reloads.length, 1, type);
  }
});

test('without a newer build, "Start again" is left to the page', () => {
  const {document, reloads} = setUp({controlled: true});
  document.dispatchEvent(new Event('keydown'));
  assert.equal(clickOn(document, 'again'), true);
  assert.equal(reloads.length, 0);
});
