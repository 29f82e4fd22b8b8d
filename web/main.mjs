// The page: the terminal, its line discipline and the program wired
// together; when the program ends, its exit status and a way to start again.
import {routeInlineStyles} from './inline_styles.mjs';
import {LineDiscipline} from './line_discipline.mjs';
import {runProgram} from './program.mjs';
import {openTerminal} from './terminal.mjs';

routeInlineStyles(document);
const terminal = openTerminal(document.getElementById('terminal'));
const status = document.getElementById('status');
const again = document.getElementById('again');
// Scripts that drive the page (its browser test) read the screen through it.
globalThis.cosmicTerminal = terminal;

let lines = null;
terminal.onData((data) => lines.input(data));
again.addEventListener('click', start);
start();

function start() {
  status.textContent = '';
  again.hidden = true;
  terminal.reset();
  lines = new LineDiscipline((text) => terminal.write(text));
  terminal.focus();
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
