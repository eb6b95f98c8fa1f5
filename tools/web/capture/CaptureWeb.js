// Renders demo times of the browser intro in headless Chromium, as skelvane-capture does
// natively: the site's page in its capture mode draws on a fixed frame time and sends the
// frames that reach the times asked for, and the music it handed to Web Audio.
//   node CaptureWeb.js SITE --at T1,T2,... --out DIR [--frame-ms MS]
//                      [--audio FILE.wav --audio-seconds S] [--end-with escape|blur]
// Writes DIR/frame-T.png (and the WAV); prints one line of figures: frames drawn, the
// median time from one frame to the next, the time from the start to the first frame and
// the page's load time (download and compilation of the intro).
// --end-with then ends the intro as a viewer would and checks that it ends at once.
'use strict';

const fs = require('fs');
const path = require('path');
const { openAndAwaitReport } = require('./HeadlessPage.js');

const MIX_RATE = 44100;
// Chromium's start, then every frame up to the last time in SwiftShader on a small machine.
const TIMEOUT_MS = 1800000;

function usage(message) {
  console.error(`capture-web: ${message}\n` +
                'usage: capture-web.sh --at T1,T2,... --out DIR [--frame-ms MS] [--audio FILE.wav --audio-seconds S]');
  process.exit(2);
}

function parseArguments(argv) {
  const options = { site: argv[0], times: [], frameMs: 16, audio: '', audioSeconds: 0, out: '', endWith: '' };
  for (let i = 1; i < argv.length; ++i) {
    const value = argv[i + 1];
    switch (argv[i]) {
    case '--at': options.times = String(value).split(',').map(Number); break;
    case '--out': options.out = value; break;
    case '--frame-ms': options.frameMs = Number(value); break;
    case '--audio': options.audio = value; break;
    case '--audio-seconds': options.audioSeconds = Number(value); break;
    case '--end-with': options.endWith = value; break;
    default: usage(`unknown option ${argv[i]}`);
    }
    if (value === undefined)
      usage(`${argv[i]} needs a value`);
    ++i;
  }
  if (!options.site || !fs.existsSync(path.join(options.site, 'index.html')))
    usage(`no site at ${options.site}: build the web flavour first`);
  if (!options.times.length && !options.audio)
    usage('nothing to capture: give --at or --audio');
  if (options.times.some((t, k) => !(t >= 0) || (k > 0 && t <= options.times[k - 1])))
    usage('times must be non-negative numbers in ascending order');
  if (options.times.length && !options.out)
    usage('--at needs --out');
  if (!Number.isInteger(options.frameMs) || options.frameMs < 1 || options.frameMs > 10000)
    usage('--frame-ms takes 1 to 10000');
  if (options.audio && !(options.audioSeconds > 0 && options.audioSeconds <= 3600))
    usage('--audio needs --audio-seconds of (0, 3600]');
  if (options.endWith && !['escape', 'blur'].includes(options.endWith))
    usage('--end-with takes escape or blur');
  return options;
}

// The native capture's names: the shortest decimal form with at most three decimals.
function frameFileName(seconds) {
  return `frame-${Number(seconds.toFixed(3))}.png`;
}

function wavFile(pcm) {
  const header = Buffer.alloc(44);
  header.write('RIFF', 0, 'latin1');
  header.writeUInt32LE(36 + pcm.length, 4);
  header.write('WAVEfmt ', 8, 'latin1');
  header.writeUInt32LE(16, 16);
  header.writeUInt16LE(1, 20);
  header.writeUInt16LE(2, 22);
  header.writeUInt32LE(MIX_RATE, 24);
  header.writeUInt32LE(MIX_RATE * 4, 28);
  header.writeUInt16LE(4, 32);
  header.writeUInt16LE(16, 34);
  header.write('data', 36, 'latin1');
  header.writeUInt32LE(pcm.length, 40);
  return Buffer.concat([header, pcm]);
}

async function main() {
  const options = parseArguments(process.argv.slice(2));
  if (options.out)
    fs.mkdirSync(options.out, { recursive: true });
  const written = [];
  const query = `capture=${options.times.join(',')}&frame-ms=${options.frameMs}` +
                `&audio-seconds=${options.audio ? options.audioSeconds : 0}` +
                (options.endWith ? `&end-with=${options.endWith}` : '');
  const body = await openAndAwaitReport(options.site, `index.html?${query}`, TIMEOUT_MS, (url, png) => {
    const t = Number(url.searchParams.get('t'));
    if (url.pathname !== '/frame' || !options.times.includes(t))
      return;
    const file = path.join(options.out, frameFileName(t));
    fs.writeFileSync(file, png);
    written.push(file);
  });
  const split = body.indexOf(0x0a);
  const report = JSON.parse(body.subarray(0, split < 0 ? body.length : split).toString('utf8'));
  if (report.error) {
    console.error(`capture-web: the page: ${report.error}`);
    process.exit(1);
  }
  if (written.length !== options.times.length) {
    console.error(`capture-web: ${written.length} of ${options.times.length} frames came back`);
    process.exit(1);
  }
  if (options.audio) {
    const pcm = body.subarray(split + 1);
    if (pcm.length < Math.round(options.audioSeconds * MIX_RATE) * 4) {
      console.error(`capture-web: the page handed over ${pcm.length / 4} frames of music, not ${options.audioSeconds} s`);
      process.exit(1);
    }
    fs.writeFileSync(options.audio, wavFile(pcm));
  }
  console.log(`web: ${report.frames} frames, median ${report.medianFrameMs.toFixed(1)} ms per frame ` +
              `(${report.medianMainPartMs.toFixed(1)} ms over ${report.mainPartFrames} main-part frames), ` +
              `first frame ${report.firstFrameMs.toFixed(0)} ms after the start (${report.startMs.toFixed(0)} ms ` +
              `to start; the page was ready to start ${report.readyMs.toFixed(0)} ms after it began to load)` + (report.endedAfter === undefined ? '' :
                             `; it ended ${report.endedAfter} frame(s) after ${options.endWith}`));
}

main().catch((error) => {
  console.error(`capture-web: ${error && error.stack ? error.stack : error}`);
  process.exit(1);
});
