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

// The program's WebAssembly module, fetched and compiled once per page, as
// soon as this module runs: index.html runs it on its own, before the
// page's other modules, so that from the service worker's cache the
// compilation is done by the time they have run. Every run of the program
// (Start again) is an instance of it.
//
// The request is the very one index.html's preload makes (same address,
// mode no-cors, credentials include), so every engine answers it from
// there: WebKit takes no preload for a fetch in mode cors. The program is
// on the page's own origin, so its response is readable all the same. A
// host that serves the .wasm with another type than application/wasm
// defeats streaming compilation: the same response is then compiled whole.
const address = new URL('cosmic-distances.wasm', import.meta.url);
const programModule = fetch(address, {mode: 'no-cors', credentials: 'include'}).then((response) => {
  if (!response.ok) throw new Error(`${address.pathname}: ${response.status} ${response.statusText}`);
  const whole = response.clone();
  return WebAssembly.compileStreaming(response)
    .catch(() => whole.arrayBuffer().then((bytes) => WebAssembly.compile(bytes)));
});
// Not unhandled before the first run asks for it: the run reports it.
programModule.catch(() => {});

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
  // The module factory asks for its instance before it returns.
  let instantiated = null;
  const started = createProgram({
    cosmicWrite: guarded((fd, bytes) => write(bytes)),
    cosmicRead: safeRead,
    cosmicCommand: guarded((command) => write(commandOutput(command))),
    cosmicEnd: guarded(onEnd),
    onAbort: fail,
    instantiateWasm: (imports, receiveInstance) => {
      instantiated = programModule.then((module) => WebAssembly.instantiate(module, imports))
        .then((instance) => receiveInstance(instance));
      return {};
    },
  });
  // The first use of Intl (for the date's zone) takes a slow phone a while:
  // made now, while the program is compiled, it is done when it runs `date`.
  commandOutput('date');
  // A module that could not be fetched, compiled or instantiated leaves the
  // program waiting for good: its failure is the run's.
  return instantiated.then(() => started);
}
