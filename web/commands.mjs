// The two commands the program runs at start-up, as a terminal would show
// them: "clear" empties the screen and its scrollback, "date" writes the
// local time as date(1) does in the POSIX locale.

export const CLEAR = '\x1b[H\x1b[2J\x1b[3J';

// What `command` writes to the terminal; a command the page does not know
// writes nothing, as a missing program leaves the screen to the shell.
export function commandOutput(command, now = new Date()) {
  if (command === 'clear') return CLEAR;
  if (command === 'date') return `${posixDate(now)}\n`;
  return '';
}

// "Tue Dec  8 08:46:07 UTC 2026": date(1)'s "%a %b %e %H:%M:%S %Z %Y", in
// the browser's time zone unless `timeZone` names another.
export function posixDate(date, timeZone) {
  const parts = partsOf(date, 'en-US', timeZone);
  const day = parts.day.padStart(2, ' ');
  const time = `${parts.hour}:${parts.minute}:${parts.second}`;
  return `${parts.weekday} ${parts.month} ${day} ${time} ${zoneAbbreviation(date, timeZone)} ${parts.year}`;
}

// The zone's abbreviation ("CET", "EST", "UTC"). Browsers know no tz
// database names, but some English locales do; where none has a name, the
// offset is written as the tz database writes it for such zones ("+09",
// "+0530", "-03").
function zoneAbbreviation(date, timeZone) {
  for (const locale of ['en-US', 'en-GB', 'en-IN', 'en-AU']) {
    const name = partsOf(date, locale, timeZone).timeZoneName;
    if (/^[A-Z]{2,5}$/.test(name)) return name;
  }
  const p = partsOf(date, 'en-US', timeZone, 'numeric');
  const local = Date.UTC(p.year, p.month - 1, p.day, p.hour, p.minute, p.second);
  const minutes = Math.round((local - Math.floor(date.getTime() / 1000) * 1000) / 60000);
  const sign = minutes < 0 ? '-' : '+';
  const hours = String(Math.floor(Math.abs(minutes) / 60)).padStart(2, '0');
  const rest = Math.abs(minutes) % 60;
  return sign + hours + (rest ? String(rest).padStart(2, '0') : '');
}

// Formats are slow to make (a slow phone takes tens of milliseconds for
// each), so each is made once.
const formats = new Map();

function partsOf(date, locale, timeZone, month = 'short') {
  const key = `${locale} ${timeZone} ${month}`;
  if (!formats.has(key)) formats.set(key, formatOf(locale, timeZone, month));
  const parts = {};
  for (const {type, value} of formats.get(key).formatToParts(date)) parts[type] = value;
  return parts;
}

function formatOf(locale, timeZone, month) {
  return new Intl.DateTimeFormat(locale, {
    timeZone,
    weekday: 'short',
    month,
    day: 'numeric',
    year: 'numeric',
    hour: '2-digit',
    minute: '2-digit',
    second: '2-digit',
    hourCycle: 'h23',
    timeZoneName: 'short',
  });
}
