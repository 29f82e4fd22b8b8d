// The page's stand-ins for the start-up commands: date(1)'s default format
// in the POSIX locale, and the screen-clearing sequence.
import assert from 'node:assert/strict';
import {test} from 'node:test';
import {CLEAR, commandOutput, posixDate} from './commands.mjs';

const at = (iso) => new Date(iso);

test('date: weekday, month, day padded with a space, 24-hour time, zone, year', () => {
  const cases = [
    ['2026-12-08T08:46:07Z', 'UTC', 'Tue Dec  8 08:46:07 UTC 2026'],
    ['2026-12-18T23:59:59Z', 'UTC', 'Fri Dec 18 23:59:59 UTC 2026'],
    ['2027-01-01T00:00:00Z', 'UTC', 'Fri Jan  1 00:00:00 UTC 2027'],
    ['2026-12-08T08:46:07Z', 'America/New_York', 'Tue Dec  8 03:46:07 EST 2026'],
    ['2026-07-08T08:46:07Z', 'America/New_York', 'Wed Jul  8 04:46:07 EDT 2026'],
    ['2026-12-08T08:46:07Z', 'Europe/Berlin', 'Tue Dec  8 09:46:07 CET 2026'],
    ['2026-07-08T08:46:07Z', 'Europe/Berlin', 'Wed Jul  8 10:46:07 CEST 2026'],
    ['2026-12-08T23:30:00Z', 'Asia/Tokyo', 'Wed Dec  9 08:30:00 +09 2026'],
    ['2026-12-08T08:46:07Z', 'Asia/Kathmandu', 'Tue Dec  8 14:31:07 +0545 2026'],
    ['2026-12-08T01:00:00Z', 'America/Sao_Paulo', 'Mon Dec  7 22:00:00 -03 2026'],
  ];
  const local = process.env.TZ;
  try {
    for (const [when, zone, expected] of cases) {
      process.env.TZ = zone;
      assert.equal(posixDate(at(when)), expected, zone);
    }
  } finally {
    if (local === undefined) delete process.env.TZ;
    else process.env.TZ = local;
  }
});

test("date: the zone's name is kept per zone and its time of year, and read back", () => {
  const local = process.env.TZ;
  const storage = new Map();
  const standIn = {getItem: (k) => storage.get(k) ?? null, setItem: (k, v) => storage.set(k, v)};
  try {
    process.env.TZ = 'Europe/Berlin';
    assert.equal(posixDate(at('2026-12-08T08:46:07Z'), standIn), 'Tue Dec  8 09:46:07 CET 2026');
    assert.equal(posixDate(at('2026-07-08T08:46:07Z'), standIn), 'Wed Jul  8 10:46:07 CEST 2026');
    assert.deepEqual([...storage.values()], ['CET', 'CEST']);
    // What is kept is what is written: a name planted under the winter key shows.
    storage.set([...storage.keys()][0], 'XYZ');
    assert.equal(posixDate(at('2026-12-09T08:46:07Z'), standIn), 'Wed Dec  9 09:46:07 XYZ 2026');
    process.env.TZ = 'America/New_York';
    assert.equal(posixDate(at('2026-12-08T08:46:07Z'), standIn), 'Tue Dec  8 03:46:07 EST 2026');
    const broken = {getItem: () => { throw new Error('denied'); }, setItem: () => { throw new Error('denied'); }};
    assert.equal(posixDate(at('2026-12-08T08:46:07Z'), broken), 'Tue Dec  8 03:46:07 EST 2026');
  } finally {
    if (local === undefined) delete process.env.TZ;
    else process.env.TZ = local;
  }
});

test('the commands write what a terminal shows; an unknown one writes nothing', () => {
  assert.equal(commandOutput('clear'), CLEAR);
  assert.equal(CLEAR, '\x1b[H\x1b[2J\x1b[3J');
  assert.match(commandOutput('date', at('2026-12-08T08:46:07Z')), /^Tue Dec {1,2}\d+ \d\d:\d\d:\d\d \S+ 2026\n$/);
  assert.equal(commandOutput('ls'), '');
  assert.equal(commandOutput('date '), '');
});
