// What Orca said, read from its debug log as it grows. Orca writes each
// utterance as `HH:MM:SS.micro - SPEECH OUTPUT: 'text'`, followed by the
// voice's name and settings; a line break in the text continues on a line
// indented by 18 spaces.
import {closeSync, openSync, readSync} from 'node:fs';
import {until} from './desktop.mjs';

const RECORD = /^\d\d:\d\d:\d\d\.\d+ - SPEECH OUTPUT: '(.*)'(?: voice=\S+)?\s*(?:\{.*\})?\s*$/s;
const CONTINUED = ' '.repeat(18);
// Orca logs every event it handles, so a log that has not grown for QUIET
// ms means Orca has said its piece and has nothing left to work on; its
// pauses within a piece of work stay under 1.5 s on a busy machine.
export const QUIET = 2000;
const BOUND = 20000;  // ms a step may take to fall quiet at most

export class SpeechLog {
  #fd;
  #offset = 0;
  #partial = '';
  #record = null;  // the lines of the record being read
  #said = [];  // utterances read and not yet taken
  #lastGrowth = Date.now();

  constructor(path) {
    this.#fd = openSync(path, 'r');
  }

  close() {
    closeSync(this.#fd);
  }

  // The utterances since the last call, once Orca has been quiet for `ms`
  // (or after BOUND ms, if it goes on talking).
  async quiet(ms = QUIET) {
    this.#lastGrowth = Date.now();
    await until(() => {
      this.#read();
      return Date.now() - this.#lastGrowth >= ms;
    }, 'Orca to fall quiet', BOUND).catch(() => {});
    this.#read();
    this.#flushRecord();
    return this.#said.splice(0).map((text) => text.replace(/\n {18}/g, '\n'));
  }

  #read() {
    const buffer = Buffer.alloc(65536);
    for (let n; (n = readSync(this.#fd, buffer, 0, buffer.length, this.#offset)) > 0;) {
      this.#offset += n;
      this.#lastGrowth = Date.now();
      this.#partial += buffer.toString('utf8', 0, n);
    }
    const lines = this.#partial.split('\n');
    this.#partial = lines.pop();
    for (const line of lines) {
      if (this.#record && line.startsWith(CONTINUED)) {
        this.#record.push(line);
        continue;
      }
      this.#flushRecord();
      if (!line.includes(' - SPEECH OUTPUT: ')) continue;
      this.#record = [line];
    }
  }

  #flushRecord() {
    if (!this.#record) return;
    const found = RECORD.exec(this.#record.join('\n'));
    this.#record = null;
    if (!found) return;
    this.#said.push(found[1]);
  }
}
