// The two commands the program runs at start-up, as a terminal would show
// them: "clear" empties the screen and its scrollback, "date" writes the
// local time as date(1) does in the POSIX locale.

export const CLEAR = '\x1b[H\x1b[2J\x1b[3J';

const DAYS = ['Sun', 'Mon', 'Tue', 'Wed', 'Thu', 'Fri', 'Sat'];
const MONTHS = ['Jan', 'Feb', 'Mar', 'Apr', 'May', 'Jun', 'Jul', 'Aug', 'Sep', 'Oct', 'Nov', 'Dec'];

// What `command` writes to the terminal; a command the page does not know
// writes nothing, as a missing program leaves the screen to the shell.
export function commandOutput(command, now = new Date(), storage = globalThis.localStorage) {
  if (command === 'clear') return CLEAR;
  if (command === 'date') return `${posixDate(now, storage)}\n`;
  return '';
}

// "Tue Dec  8 08:46:07 UTC 2026": date(1)'s "%a %b %e %H:%M:%S %Z %Y" in the
// local time zone. The fields come from the Date itself: only the zone's
// name needs Intl, whose first use costs a slow phone a third of a second,
// so the name is kept in `storage` (the page's local storage) for the next
// visit, under the zone's long name and offset, which decide it.
export function posixDate(date, storage = globalThis.localStorage) {
  const two = (n) => String(n).padStart(2, '0');
  const day = String(date.getDate()).padStart(2, ' ');
  const time = `${two(date.getHours())}:${two(date.getMinutes())}:${two(date.getSeconds())}`;
  return `${DAYS[date.getDay()]} ${MONTHS[date.getMonth()]} ${day} ${time} ${keptZoneAbbreviation(date, storage)} ${date.getFullYear()}`;
}

function keptZoneAbbreviation(date, storage) {
  const key = `cosmic-distances zone: ${/\(([^)]*)\)$/.exec(date.toString())?.[1]} ${date.getTimezoneOffset()}`;
  try {
    const kept = storage?.getItem(key);
    if (kept) return kept;
  } catch {
    // Storage that cannot be read (a private window) only costs the time.
  }
  const name = zoneAbbreviation(date);
  try {
    storage?.setItem(key, name);
  } catch {
    // Nor does storage that cannot be written.
  }
  return name;
}

// The zone's abbreviation ("CET", "EST", "UTC"). Browsers know no tz
// database names, but some English locales do; where none has a name, the
// offset is written as the tz database writes it for such zones ("+09",
// "+0530", "-03").
function zoneAbbreviation(date) {
  for (const locale of ['en-US', 'en-GB', 'en-IN', 'en-AU']) {
    const name = new Intl.DateTimeFormat(locale, {timeZoneName: 'short'})
      .formatToParts(date)
      .find((part) => part.type === 'timeZoneName')?.value;
    if (/^[A-Z]{2,5}$/.test(name)) return name;
  }
  const minutes = -date.getTimezoneOffset();
  const sign = minutes < 0 ? '-' : '+';
  const hours = String(Math.floor(Math.abs(minutes) / 60)).padStart(2, '0');
  const rest = Math.abs(minutes) % 60;
  return sign + hours + (rest ? String(rest).padStart(2, '0') : '');
}
