// Under Node the loader would fetch() the .wasm by its file path, which
// Node's fetch cannot do: hand it the bytes from beside this script instead.
Module['wasmBinary'] = require('fs').readFileSync(require('path').join(__dirname, 'cosmic-distances.wasm'));
