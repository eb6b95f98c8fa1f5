// The player built for WebAssembly against the native xm2wav: the same module
// rendered for the same time gives the same bytes.
// usage: node XmRenderTest.js XMRENDER_JS XM2WAV SECONDS MODULE [--corpus]
// With --corpus a missing corpus folder skips the test (exit 77) with the reason.
'use strict';

const fs = require('fs');
const path = require('path');

const { MIX_RATE, fail, nativeRender, firstDifference } = require('../../support/web/Xm2wav.js');

const SKIP = 77;

// Renders `frames` frames of the module's bytes in the wasm player; null when it refuses them.
function wasmRender(player, moduleBytes, frames) {
  const module = player._malloc(moduleBytes.length);
  const pcm = player._malloc(frames * 4);
  if (!module || !pcm)
    fail('the wasm player could not allocate its buffers');
  player.HEAPU8.set(moduleBytes, module);
  const rendered = player._skv_render_module(module, moduleBytes.length, pcm, frames) === 1;
  // Read the heap only now: a render that grew the memory replaced the old view.
  const bytes = rendered ? Buffer.from(player.HEAPU8.subarray(pcm, pcm + frames * 4)) : null;
  player._free(pcm);
  player._free(module);
  return bytes;
}

async function main() {
  const [renderJs, xm2wav, secondsText, module, flag] = process.argv.slice(2);
  if (!module)
    fail('usage: node XmRenderTest.js XMRENDER_JS XM2WAV SECONDS MODULE [--corpus]');
  if (flag === '--corpus' && !fs.existsSync(path.dirname(module))) {
    console.log(`SKIP: no XM corpus at ${path.dirname(module)}`);
    process.exit(SKIP);
  }
  const seconds = Number(secondsText);
  const frames = Math.round(seconds * MIX_RATE);
  const expected = nativeRender(xm2wav, module, seconds);
  if (expected.length !== frames * 4)
    fail(`xm2wav wrote ${expected.length} bytes of PCM, not ${frames * 4}`);

  const createXmRender = require(path.resolve(renderJs));
  // The binary is handed over: node's fetch takes no file paths.
  const player = await createXmRender({ wasmBinary: fs.readFileSync(renderJs.replace(/\.js$/, '.wasm')) });
  if (wasmRender(player, Buffer.from('not an XM module at all'), 100) !== null)
    fail('the wasm player accepted bytes that are no module');
  const actual = wasmRender(player, fs.readFileSync(module), frames);
  if (!actual)
    fail(`the wasm player refused ${module}, which xm2wav renders`);
  if (!expected.equals(actual))
    fail(`${path.basename(module)}: first difference at ${firstDifference(expected, actual, 'wasm')}`);
  console.log(`${path.basename(module)}: ${frames} frames (${seconds} s), wasm equals xm2wav byte for byte`);
}

main().catch((error) => fail(error && error.stack ? error.stack : String(error)));
