// The entry field's core: which keys it takes, what it hands to the line
// discipline, what it leaves in the field, and a composition that its
// keyboard commits after the Enter that took it.
import assert from 'node:assert/strict';
import {test} from 'node:test';
import {Entry} from './entry_field.mjs';

function setUp(value = '') {
  const field = {value, selectionStart: value.length, selectionEnd: value.length};
  const sent = [];
  const entry = new Entry(field, (text) => sent.push(text));
  const key = (key, more = {}) => entry.keyDown({key, keyCode: 0, ...more});
  return {field, sent, entry, key};
}

test('Enter hands over the text as typed with a carriage return, and empties the field', () => {
  const {field, sent, key} = setUp('0x1f');
  assert.equal(key('Enter', {keyCode: 13}), true);
  assert.deepEqual(sent, ['0x1f\r']);
  assert.equal(field.value, '');
  assert.equal(key('Enter', {keyCode: 13}), true);
  assert.deepEqual(sent, ['0x1f\r', '\r']);
});

test('an Enter that an input method handles (keyCode 229) confirms its text and sends nothing', () => {
  const {field, sent, key} = setUp('4.3');
  assert.equal(key('Enter', {keyCode: 229, isComposing: true}), false);
  assert.equal(key('Process', {keyCode: 229}), false);
  assert.deepEqual(sent, []);
  assert.equal(field.value, '4.3');
});

test("Ctrl-D: end of input on an empty field, the text without a newline otherwise", () => {
  const {field, sent, key, entry} = setUp();
  assert.equal(key('d', {ctrlKey: true}), true);
  field.value = '12';
  assert.equal(key('D', {ctrlKey: true, shiftKey: true}), true);
  field.value = '3';
  entry.end();
  assert.deepEqual(sent, ['\x04', '12\x04', '3\x04']);
  assert.equal(field.value, '');
});

test('other keys stay with the field: Tab, d, Alt-Ctrl-D (AltGr), Backspace, keys behind 229', () => {
  const {sent, key} = setUp('1');
  for (const [name, more] of [['Tab'], ['d'], ['d', {ctrlKey: true, altKey: true}], ['d', {metaKey: true, ctrlKey: true}],
    ['Backspace', {keyCode: 8}], ['Unidentified', {keyCode: 229}]]) {
    assert.equal(key(name, more), false, name);
  }
  assert.deepEqual(sent, []);
});

test('a pasted line goes into the field; pasted lines are handed over with their breaks', () => {
  const {field, sent, entry} = setUp('9');
  assert.equal(entry.paste('12'), false);
  assert.equal(entry.paste('3\r\n1\n7\n'), true);
  assert.deepEqual(sent, ['93\r\n1\n7\n']);
  assert.equal(field.value, '');
});

test('a paste over a selection keeps the text around it; the text after the last break stays', () => {
  const {field, sent, entry} = setUp('1xx4');
  Object.assign(field, {selectionStart: 1, selectionEnd: 3});
  assert.equal(entry.paste('2\r3'), true);
  assert.deepEqual(sent, ['12\r']);
  assert.equal(field.value, '34');
});

test('Enter with the composition open takes its text once, though the keyboard commits it after', () => {
  const {field, sent, key, entry} = setUp('4.3');
  key('Enter', {keyCode: 13, isComposing: true});
  field.value = '4.3';  // the keyboard commits what it was composing
  entry.input();
  assert.equal(field.value, '');
  field.value = '4.3';  // typed again, as a new entry
  entry.input();
  assert.equal(field.value, '4.3');
  assert.deepEqual(sent, ['4.3\r']);
});

test('after an Enter with no composition open, or once a key is pressed, the same text stays', () => {
  const {field, key, entry} = setUp('7');
  key('Enter', {keyCode: 13});
  field.value = '7';
  entry.input();
  assert.equal(field.value, '7');
  field.value = '5';
  key('Enter', {keyCode: 13, isComposing: true});
  key('Unidentified', {keyCode: 229});
  field.value = '5';
  entry.input();
  assert.equal(field.value, '5');
});
