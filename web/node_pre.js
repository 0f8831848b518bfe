// Node 20's fetch cannot read the .wasm beside the program (no file: URLs), and the loader
// prefers it when it exists: hand the loader the bytes instead. Only the main thread loads them;
// the workers of the thread pool are sent the compiled module.
if (typeof __dirname !== 'undefined') {
  Module['wasmBinary'] = require('fs').readFileSync(require('path').join(__dirname, 'velmio.wasm'));
}
