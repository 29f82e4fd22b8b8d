// The page: the screen, the entry field, the line discipline and the
// program wired together. The screen's log says each new output; the field
// is described by the hint when a run starts, and by the prompt the program
// waits at once the focus has left it, so that a screen reader says each
// thing once, when it happens, and what is asked whenever the focus comes
// back. When the program ends, or the page can no longer serve it, the focus
// moves to the button that starts it again, which the status line describes,
// and the field no longer takes entries.
import {keepInView, openEntryField} from './entry_field.mjs';
import {LineDiscipline} from './line_discipline.mjs';
import {runProgram} from './program.mjs';
import {Screen} from './screen.mjs';

const output = document.getElementById('screen');
const screen = new Screen(output);
const field = document.getElementById('entry');
const status = document.getElementById('status');
const again = document.getElementById('again');
const endButton = document.getElementById('end-input');
const waiting = document.getElementById('waiting');

let lines = null;
let running = false;
const entry = openEntryField({
  field,
  endButton,
  output,
  send: (text) => lines.input(text),
});
keepInView(window, field, () => {
  output.scrollTop = output.scrollHeight;
});
again.addEventListener('click', start);
field.addEventListener('blur', describeWaiting);
// An error that escapes the program's callbacks (the module traps while it
// answers a read) ends its run as surely as one they catch.
addEventListener('error', (event) => failed(event.error ?? event.message));
addEventListener('unhandledrejection', (event) => failed(event.reason));
start();

function start() {
  field.disabled = false;
  endButton.disabled = false;
  waiting.textContent = '';
  describeField('waiting hint');
  focusField();
  status.textContent = '';
  output.removeAttribute('aria-live');
  screen.reset();
  const run = new LineDiscipline((text) => screen.write(text));
  lines = run;
  running = true;
  entry.clear();
  const current = (callback) => (...args) => lines === run && callback(...args);
  runProgram({
    write: current((data) => screen.write(data)),
    // The program waits while the screen is behind with its output.
    read: (capacity) => screen.drawn().then(() => {
      // Start again goes once the program asks: by then a screen reader
      // has followed the focus into the field and takes keys there, where
      // the focus lost with the button would leave it reading the page.
      if (lines === run) again.hidden = true;
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
function focusField() {
  if (document.readyState === 'complete') field.focus();
  else addEventListener('load', () => field.focus(), {once: true});
}

// The line the screen ends with when the program reads, its prompt, without
// the ":\>" that a listener need not hear. Changed only while the focus is
// elsewhere: a screen reader would say a focused field's new description at
// once, ahead of the output that the log is about to say.
function describeWaiting() {
  if (!running) return;
  waiting.textContent = screen.lastLine().replace(/:?\\>\s*$/, '').trim();
  describeField('waiting');
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
  lines.close();
  // What the run still shows, the echo of its last entry, is not said: it
  // would cut the end short, which the focus on Start again is about to say.
  output.setAttribute('aria-live', 'off');
  status.textContent = message;
  again.hidden = false;
  // The focus moves before the field is disabled, so that a screen reader
  // follows it to the button and says the status as its description, once.
  again.focus();
  field.disabled = true;
  endButton.disabled = true;
  waiting.textContent = '';
  // The status line takes room from the screen: keep its end in view.
  output.scrollTop = output.scrollHeight;
}
