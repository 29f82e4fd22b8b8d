// A desktop as a blind user has it, in a folder of its own: an X display
// (Xvfb) with a window manager, a D-Bus session bus with the accessibility
// bus switched on, speech-dispatcher speaking with espeak-ng into ALSA's
// null device, and Orca writing its debug log. Every process is started
// here and stopped by stop(), each with its own process group, so what it
// starts goes too.
import {spawn, spawnSync} from 'node:child_process';
import {appendFileSync, cpSync, existsSync, mkdirSync, openSync, readFileSync, writeFileSync} from 'node:fs';
import {join} from 'node:path';

const BOUND = 30000;

// Orca's own start with its debug log at every level, as --debug-file
// would, but line-buffered: Python buffers a file it opens by 8 KB, which
// would hold back what Orca says last until it says more.
const ORCA = `
import runpy, sys
from orca import debug
debug.debugLevel = debug.LEVEL_ALL
debug.eventDebugLevel = debug.LEVEL_OFF
debug.debugFile = open(sys.argv[1], 'w', buffering=1)
sys.argv = ['orca']
runpy.run_path('/usr/bin/orca', run_name='__main__')
`;

export async function startDesktop(dir) {
  const home = join(dir, 'home');
  const run = join(dir, 'run');
  mkdirSync(home, {recursive: true});
  mkdirSync(run, {recursive: true, mode: 0o700});
  const env = {
    ...process.env, HOME: home, XDG_RUNTIME_DIR: run, XDG_CONFIG_HOME: join(home, '.config'),
    XDG_DATA_HOME: join(home, '.local', 'share'), XDG_CACHE_HOME: join(home, '.cache'), LANG: 'C.UTF-8',
    GNOME_ACCESSIBILITY: '1', ACCESSIBILITY_ENABLED: '1', NO_AT_BRIDGE: '0',
  };
  const started = [];
  const start = (command, args, stdio = 'ignore') => {
    const child = spawn(command, args, {env, detached: true, stdio});
    started.push(child);
    return child;
  };
  const stop = () => stopAll(started);
  try {
    env.DISPLAY = `:${await firstLine(start('Xvfb', ['-displayfd', '1', '-screen', '0', '1280x1024x24', '-nolisten', 'tcp'],
      ['ignore', 'pipe', 'ignore']))}`;
    // A window manager, which gives a new window the focus, as a desktop does.
    start('matchbox-window-manager', ['-use_titlebar', 'no', '-use_cursor', 'no']);
    const bus = join(run, 'bus');
    await firstLine(start('dbus-daemon', ['--session', '--nofork', `--address=unix:path=${bus}`, '--print-address=1'],
      ['ignore', 'pipe', 'ignore']));
    env.DBUS_SESSION_BUS_ADDRESS = `unix:path=${bus}`;
    // What GNOME's accessibility switch sets: toolkits and browsers then
    // expose their widgets on the accessibility bus.
    const enabled = spawnSync('dbus-send', ['--session', '--print-reply', '--dest=org.a11y.Bus', '/org/a11y/bus',
      'org.freedesktop.DBus.Properties.Set', 'string:org.a11y.Status', 'string:IsEnabled', 'variant:boolean:true'],
    {env, timeout: BOUND, encoding: 'utf8'});
    if (enabled.status !== 0) throw new Error(`the accessibility bus did not start: ${enabled.stderr}`);
    startSpeech(dir, env, start);
    await until(() => existsSync(join(run, 'speech-dispatcher', 'speechd.sock')), 'speech-dispatcher to listen');
    const log = join(dir, 'orca.log');
    start('/usr/bin/python3', ['-c', ORCA, log], ['ignore', openSync(join(dir, 'orca.out'), 'w'), 'inherit']);
    await until(() => existsSync(log) && readFileSync(log, 'utf8').includes("SPEECH OUTPUT: 'Screen reader on.'"),
      'Orca to say it is on');
    return {env, log, stop};
  } catch (error) {
    await stop();
    throw error;
  }
}

// speech-dispatcher with Debian's configuration, espeak-ng its voice and
// ALSA's null device its sound card.
function startSpeech(dir, env, start) {
  const config = join(dir, 'speech-dispatcher');
  cpSync('/etc/speech-dispatcher', config, {recursive: true});
  appendFileSync(join(config, 'speechd.conf'), '\nAudioOutputMethod "alsa"\nDefaultModule espeak-ng\n');
  writeFileSync(join(env.HOME, '.asoundrc'), 'pcm.!default { type null }\n');
  start('speech-dispatcher', ['--run-single', '--timeout', '0', '--log-level', '2', '--config-dir', config, '--log-dir', dir]);
}

// SIGTERM to each process group, the last started first; SIGKILL to what
// is left after a second.
async function stopAll(started) {
  const signal = (child, name) => {
    try {
      process.kill(-child.pid, name);
    } catch {
      // gone already
    }
  };
  const living = started.reverse().filter((child) => child.exitCode === null && child.signalCode === null);
  const ended = living.map((child) => new Promise((resolve) => child.once('exit', resolve)));
  for (const child of living) signal(child, 'SIGTERM');
  const timer = setTimeout(() => living.forEach((child) => signal(child, 'SIGKILL')), 1000);
  await Promise.all(ended);
  clearTimeout(timer);
}

function firstLine(child) {
  return new Promise((resolve, reject) => {
    let out = '';
    child.stdout.setEncoding('utf8').on('data', (data) => {
      out += data;
      if (out.includes('\n')) resolve(out.split('\n')[0].trim());
    });
    child.on('exit', () => reject(new Error(`${child.spawnfile} ended before it was ready`)));
    setTimeout(() => reject(new Error(`${child.spawnfile} was not ready after ${BOUND} ms`)), BOUND).unref();
  });
}

export async function until(ready, what, bound = BOUND) {
  for (const end = Date.now() + bound; !(await ready());) {
    if (Date.now() > end) throw new Error(`waited ${bound} ms for ${what}`);
    await new Promise((resolve) => setTimeout(resolve, 50));
  }
}
