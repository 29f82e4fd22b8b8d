// The page: the terminal, the entry field, their line discipline and the
// program wired together; when the program ends, its exit status and a way
// to start again.
import {keepInView, openEntryField} from './entry_field.mjs';
import {routeInlineStyles} from './inline_styles.mjs';
import {LineDiscipline} from './line_discipline.mjs';
import {runProgram} from './program.mjs';
import {openTerminal, screenText} from './terminal.mjs';

routeInlineStyles(document);
const terminal = openTerminal(document.getElementById('terminal'));
const status = document.getElementById('status');
const again = document.getElementById('again');
// Scripts that drive the page (its browser test) read the screen through it.
globalThis.cosmicTerminal = terminal;
globalThis.cosmicScreen = () => screenText(terminal);

let lines = null;
const field = document.getElementById('entry');
const entry = openEntryField({
  field,
  endButton: document.getElementById('end-input'),
  output: document.getElementById('terminal'),
  send: (text) => lines.input(text),
  selected: () => terminal.hasSelection(),
});
keepInView(window, field, () => terminal.scrollToBottom());
again.addEventListener('click', start);
start();

function start() {
  status.textContent = '';
  again.hidden = true;
  terminal.reset();
  lines = new LineDiscipline((text) => terminal.write(text));
  entry.clear();
  field.focus();
  runProgram({write: (data) => terminal.write(data), read: (capacity) => lines.read(capacity), onEnd: end})
    .catch((error) => {
      status.textContent = `The program could not be started: ${error}`;
    });
}

function end(exitStatus) {
  lines.close();
  status.textContent = `The program has ended with exit status ${exitStatus}.`;
  again.hidden = false;
  again.focus();
}
