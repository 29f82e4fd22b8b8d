// One run of the program (the WebAssembly build) against the page: its
// output and what its start-up commands show go to `write`, its reads come
// from `read`, and `onEnd` learns its exit status. Resolves once it has
// started; rejects if it cannot be loaded.
//
// Should the page fail it (a callback throws, a read fails, the module
// aborts), `onFail` hears of it once and the program is left waiting for
// good, rather than running on with lost input or output.
import createProgram from './cosmic-distances.js';
import {commandOutput} from './commands.mjs';

export function runProgram({write, read, onEnd, onFail}) {
  let failed = false;
  const fail = (error) => {
    if (failed) return;
    failed = true;
    onFail(error);
  };
  const guarded = (callback) => (...args) => {
    if (failed) return;
    try {
      callback(...args);
    } catch (error) {
      fail(error);
    }
  };
  const never = new Promise(() => {});
  const safeRead = (capacity) => {
    if (failed) return never;
    try {
      return read(capacity).catch((error) => (fail(error), never));
    } catch (error) {
      fail(error);
      return never;
    }
  };
  const started = createProgram({
    cosmicWrite: guarded((fd, bytes) => write(bytes)),
    cosmicRead: safeRead,
    cosmicCommand: guarded((command) => write(commandOutput(command))),
    cosmicEnd: guarded(onEnd),
    onAbort: fail,
  });
  // The first use of Intl (for the date's zone) takes a slow phone a while:
  // made now, while the program is compiled, it is done when it runs `date`.
  commandOutput('date');
  return started;
}
