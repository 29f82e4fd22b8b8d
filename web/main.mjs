// The page: the screen, the entry field, the line discipline and the
// program wired together. The field is described by the prompt the program
// waits at. When the program ends, or the page can no longer serve it, the
// field no longer takes entries, and the status line says so and describes
// the button that starts it again.
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
// An error that escapes the program's callbacks (the module traps while it
// answers a read) ends its run as surely as one they catch.
addEventListener('error', (event) => failed(event.error ?? event.message));
addEventListener('unhandledrejection', (event) => failed(event.reason));
start();

function start() {
  status.textContent = '';
  again.hidden = true;
  field.disabled = false;
  endButton.disabled = false;
  screen.reset();
  const run = new LineDiscipline((text) => screen.write(text));
  lines = run;
  running = true;
  entry.clear();
  field.focus();
  const current = (callback) => (...args) => lines === run && callback(...args);
  runProgram({
    write: current((data) => screen.write(data)),
    // The program waits while the screen is behind with its output.
    read: (capacity) => screen.drawn().then(() => {
      if (lines === run) describeWaiting();
      return run.read(capacity);
    }),
    onEnd: current(end),
    onFail: current(failed),
  }).catch(current((error) => {
    stop(`The program could not be started: ${error}`);
  }));
}

// The line the screen ends with when the program reads, its prompt, without
// the ":\>" that a listener need not hear.
function describeWaiting() {
  const prompt = screen.lastLine().replace(/:?\\>\s*$/, '').trim();
  if (waiting.textContent !== prompt) waiting.textContent = prompt;
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
  field.disabled = true;
  endButton.disabled = true;
  waiting.textContent = '';
  status.textContent = message;
  again.hidden = false;
  again.focus();
  // The status line takes room from the screen: keep its end in view.
  output.scrollTop = output.scrollHeight;
}
