// One run of the program (the WebAssembly build) against the page: its
// output and what its start-up commands show go to `write`, its reads come
// from `read`, and `onEnd` learns its exit status. Resolves once it has
// started; rejects if it cannot be loaded.
import createProgram from './cosmic-distances.js';
import {commandOutput} from './commands.mjs';

export function runProgram({write, read, onEnd}) {
  return createProgram({
    cosmicWrite: (fd, bytes) => write(bytes),
    cosmicRead: (capacity) => read(capacity),
    cosmicCommand: (command) => write(commandOutput(command)),
    cosmicEnd: onEnd,
  });
}
