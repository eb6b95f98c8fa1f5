// The linux flavour's xm2wav as the reference the web flavour's tests compare with.
'use strict';

const fs = require('fs');
const os = require('os');
const path = require('path');
const { execFileSync } = require('child_process');

const HEADER_BYTES = 44;
const MIX_RATE = 44100;

function fail(message) {
  console.error(`FAIL: ${message}`);
  process.exit(1);
}

// The PCM bytes of the WAV file xm2wav writes for the first `seconds` of the module.
function nativeRender(xm2wav, module, seconds) {
  if (!fs.existsSync(xm2wav))
    fail(`no native xm2wav at ${xm2wav}: build the linux flavour first (./test does)`);
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'xmrender-'));
  const wav = path.join(folder, 'native.wav');
  try {
    execFileSync(xm2wav, [module, wav, '--seconds', String(seconds)], { stdio: ['ignore', 'ignore', 'inherit'] });
    const bytes = fs.readFileSync(wav);
    if (bytes.toString('latin1', 36, 40) !== 'data')
      fail(`${wav}: not the WAV layout xm2wav writes`);
    return bytes.subarray(HEADER_BYTES);
  } finally {
    fs.rmSync(folder, { recursive: true, force: true });
  }
}

// Where two 16-bit stereo renders first part, for a failure message.
function firstDifference(expected, actual, name) {
  const samples = Math.min(expected.length, actual.length) / 2;
  for (let i = 0; i < samples; ++i) {
    const want = expected.readInt16LE(i * 2);
    const got = actual.readInt16LE(i * 2);
    if (want !== got)
      return `frame ${i >> 1} (${((i >> 1) / MIX_RATE).toFixed(3)} s), ${i & 1 ? 'right' : 'left'}: ` +
             `xm2wav ${want}, ${name} ${got}`;
  }
  return `lengths ${expected.length} and ${actual.length} bytes`;
}

module.exports = { MIX_RATE, fail, nativeRender, firstDifference };
