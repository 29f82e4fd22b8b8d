// Under Node the loader would fetch() the .wasm by its file path, which
// Node's fetch cannot do: hand it the bytes from beside this script instead
// (name.js loads name.wasm, for the program and the unit tests alike).
Module['wasmBinary'] = require('fs').readFileSync(__filename.replace(/\.js$/, '.wasm'));
