// The page: the screen, the entry field, the line discipline and the
// program wired together, so that a screen reader says each thing once,
// when it happens: the screen's log says each new output; the field is
// described by the hint on load, and by the prompt the program waits at once
// the focus has left it, so that coming back to it says what is asked. When
// the program ends, or the page can no longer serve it, the focus moves to
// the button that starts it again, which the status line describes, and the
// field no longer takes entries.
import {keepInView, openEntryField} from './entry_field.mjs';
import {LineDiscipline} from './line_discipline.mjs';
import {keepOffline} from './offline.mjs';
import {runProgram} from './program.mjs';
import {Screen} from './screen.mjs';

const output = document.getElementById('screen');
const screen = new Screen(output);
const field = document.getElementById('entry');
const status = document.getElementById('status');
const againButton = document.getElementById('again');
const endButton = document.getElementById('end-input');
const waiting = document.getElementById('waiting');

let lines = null;
let running = false;
let firstPrompt = '';  // what the program asks first
let hintHeard = false;  // the field has had the focus, described by the hint
const entry = openEntryField({
  field,
  endButton,
  output,
  send: (text) => {
    if (!againButton.hidden) ready();
    lines.input(text);
  },
});
keepInView(window, field, () => {
  output.scrollTop = output.scrollHeight;
});
againButton.addEventListener('click', start);
field.addEventListener('focus', () => {
  hintHeard = true;
}, {once: true});
field.addEventListener('blur', () => describeWaiting());
// Kept for use offline, its worker registered only once the first prompt is
// shown (or the page has stopped before it): not at the cost of the start.
let markStarted;
const startShown = new Promise((resolve) => {
  markStarted = resolve;
});
const workers = navigator.serviceWorker;
if (workers) keepOffline({container: workers, document, reload: () => location.reload(), when: startShown});
// An error that escapes the program's callbacks (the module traps while it
// answers a read) ends its run as surely as one they catch.
addEventListener('error', (event) => failed(event.error ?? event.message));
addEventListener('unhandledrejection', (event) => failed(event.reason));
start();

// On load the focus goes to the field, described by the hint, and the log
// says the start-up screen. Started again, the log is silent until the first
// entry and the focus goes to the field once the program asks, described by
// its prompt: what is asked is heard, not the start-up screen once more.
function start() {
  const restarting = lines !== null;
  field.disabled = false;
  endButton.disabled = false;
  status.textContent = '';
  screen.reset();
  const run = new LineDiscipline((text) => screen.write(text));
  lines = run;
  running = true;
  entry.clear();
  if (restarting) {
    output.setAttribute('aria-live', 'off');
  } else {
    describeField('waiting hint');
    focusOnLoad();
  }
  let asked = false;
  const current = (callback) => (...args) => lines === run && callback(...args);
  runProgram({
    write: current((data) => screen.write(data)),
    // The program waits while the screen is behind with its output.
    read: (capacity) => screen.drawn().then(() => {
      if (lines === run && !asked) {
        firstPrompt = prompt();
        if (restarting) restarted();
        screen.shown().then(() => setTimeout(markStarted));
      }
      asked = true;
      if (lines === run && document.activeElement !== field) describeWaiting();
      return run.read(capacity);
    }),
    onEnd: current(end),
    onFail: current(failed),
  }).catch(current((error) => {
    stop(`The program could not be started: ${error}`);
  }));
}

// Once the page has loaded: a screen reader then says that it has, before
// the focus puts it in the field's focus mode, where it would not.
function focusOnLoad() {
  if (document.readyState === 'complete') field.focus();
  else addEventListener('load', () => field.focus(), {once: true});
}

function restarted() {
  describeWaiting();
  field.focus();
}

// Start again goes with the first entry after it, long after the focus has
// moved: Chromium reports the changes of several frames at once, removals
// first, and a screen reader that loses its focus with the button stays
// reading the page, taking the keys meant for the program.
function ready() {
  againButton.hidden = true;
  output.removeAttribute('aria-live');
}

// The line the screen ends with when the program reads, its prompt, without
// the ":\>" that a listener need not hear. Changed only while the focus is
// elsewhere: a screen reader would say a focused field's new description at
// once, ahead of the output that the log is about to say. The hint, heard
// once on load, is left out from then on.
function describeWaiting() {
  const text = prompt();
  const current = waiting.textContent === text && field.getAttribute('aria-describedby') === 'waiting';
  if (!running || !hintHeard || current) return;
  waiting.textContent = text;
  describeField('waiting');
}

function prompt() {
  return screen.lastLine().replace(/:?\\>\s*$/, '').trim();
}

// Set anew, so that the engines tell a screen reader of the new description
// (Chromium does not when only the text it refers to changes).
function describeField(ids) {
  field.removeAttribute('aria-describedby');
  field.setAttribute('aria-describedby', ids);
}

function end(exitStatus) {
  stop(`The program has ended with exit status ${exitStatus}.`);
}

function failed(error) {
  if (running) stop(`The page could not go on running the program (${error}); it has stopped.`);
}

function stop(message) {
  running = false;
  markStarted();
  lines.close();
  // What the run still shows, the echo of its last entry, is not said: it
  // would cut short the end, which the focus on Start again says.
  output.setAttribute('aria-live', 'off');
  // The end is shown after that echo's frame, in a task of its own: Firefox
  // reports the field's last change after a focus move in the same frame,
  // and a screen reader then goes back to the field.
  screen.shown().then(() => setTimeout(() => showEnd(message)));
}

function showEnd(message) {
  status.textContent = message;
  againButton.hidden = false;
  // The focus moves before the field is disabled, so that a screen reader
  // follows it to the button and says the status as its description, once.
  againButton.focus();
  field.disabled = true;
  endButton.disabled = true;
  // Described already by what the program asks first, so that the
  // description does not change as the focus comes back at Start again:
  // a screen reader would say it twice.
  waiting.textContent = firstPrompt;
  describeField('waiting');
  // The status line takes room from the screen: keep its end in view.
  output.scrollTop = output.scrollHeight;
}
