// The page's line discipline: what reaches the program, and what the
// screen shows, for entries sent while the program waits or ahead of it,
// and pasted blocks.
import assert from 'node:assert/strict';
import {test} from 'node:test';
import {LineDiscipline, SLICE_MS} from './line_discipline.mjs';

function setUp() {
  const screen = [];
  const lines = new LineDiscipline((text) => screen.push(text));
  const read = async (capacity = 100) => new TextDecoder().decode(await lines.read(capacity));
  return {lines, screen, read, shown: () => screen.join('')};
}

test('an entry sent while the program waits is handed over and echoed with its Enter', async () => {
  const {lines, read, shown} = setUp();
  const reading = read();
  lines.input('4.3\r');
  assert.equal(await reading, '4.3\n');
  assert.equal(shown(), '4.3\r\n');
});

test('Ctrl-D on an empty line is the end of input; after keys it hands them over', async () => {
  const {lines, read, shown} = setUp();
  let reading = read();
  lines.input('12\x04');
  assert.equal(await reading, '12');
  reading = read();
  lines.input('\x04');
  assert.equal(await reading, '');
  assert.equal(shown(), '12');
});

test('a pasted block is entered line by line, each echoed when it is read', async () => {
  const {lines, read, shown} = setUp();
  const first = read();
  lines.input('3\r1\r\n7\r');
  assert.equal(await first, '3\n');
  assert.equal(shown(), '3\r\n');
  assert.equal(await read(), '1\n');
  assert.equal(shown(), '3\r\n1\r\n');
  assert.equal(await read(), '7\n');
  assert.equal(shown(), '3\r\n1\r\n7\r\n');
});

test('an entry sent ahead shows when the program reads it', async () => {
  const {lines, read, shown} = setUp();
  lines.input('42\r');
  assert.equal(shown(), '');
  assert.equal(await read(), '42\n');
  assert.equal(shown(), '42\r\n');
});

test('a line longer than a read is handed over in pieces and echoed once', async () => {
  const {lines, read, shown} = setUp();
  lines.input('12345\r');
  assert.equal(await read(3), '123');
  assert.equal(await read(3), '45\n');
  assert.equal(shown(), '12345\r\n');
});

test('bytes reach the program as sent; controls other than Tab do not', async () => {
  const {lines} = setUp();
  const reading = lines.read(100);
  lines.input('\u00e9\x1b\x7f\b\x03\t1\r');
  assert.deepEqual([...(await reading)], [0xc3, 0xa9, 0x09, 0x31, 0x0a]);
});

test('after the program has ended, keys change nothing', async () => {
  const {lines, shown} = setUp();
  lines.close();
  lines.read(100);
  lines.input('1\r');
  assert.equal(shown(), '');
});

test('a paste and keys typed while it is read are entered in order', async () => {
  const {lines, read, shown} = setUp();
  lines.input('1\n2\n');
  assert.equal(await read(), '1\n');
  lines.input('3\r');
  assert.equal(await read(), '2\n');
  assert.equal(await read(), '3\n');
  assert.equal(shown(), '1\r\n2\r\n3\r\n');
});

test('reads are answered at once within a slice, from a new task after it', async () => {
  let time = 0;
  const tasks = [];
  const lines = new LineDiscipline(() => {}, {now: () => time, nextTask: (run) => tasks.push(run)});
  lines.input('1\n2\n3\n');
  time = SLICE_MS - 1;
  assert.equal((await lines.read(10)).length, 2);
  assert.equal(tasks.length, 0);
  time = SLICE_MS;
  let answered = false;
  const second = lines.read(10).then(() => (answered = true));
  await Promise.resolve();
  assert.equal(tasks.length, 1);
  assert.equal(answered, false);
  time += SLICE_MS - 1;
  tasks.shift()();  // the new task starts a new slice
  await second;
  assert.equal((await lines.read(10)).length, 2);  // the new slice goes on
  assert.equal(tasks.length, 0);
  // Keys typed come from a task of their own, which starts a slice too.
  time += 100;
  const third = lines.read(10);
  lines.input('4\n');
  assert.equal(new TextDecoder().decode(await third), '4\n');
  assert.equal(tasks.length, 0);
});

test('a 1 MB paste is handed over whole, line by line, each echoed once', async () => {
  const {lines, screen} = setUp();
  const block = '3\n1\n7\n4.3\n';
  const count = Math.ceil(2 ** 20 / block.length);
  lines.input(`${block.repeat(count)}0\n`);
  const decoder = new TextDecoder();
  const received = [];
  for (let last = ''; last !== '0\n' && received.length <= count * 4; received.push(last)) {
    last = decoder.decode(await lines.read(4096));
  }
  assert.equal(received.join(''), `${block.repeat(count)}0\n`);
  assert.equal(received.length, count * 4 + 1);
  assert.equal(screen.length, count * 4 + 1);
  assert.equal(screen.join(''), received.join('').replaceAll('\n', '\r\n'));
});
