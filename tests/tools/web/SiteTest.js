// The browser intro's site in headless Chromium, through tools/web/capture-web.sh's capture:
//   node SiteTest.js frames SITE SKELVANE_CAPTURE T1,T2,... FRAME_MS
//     the frames at those demo times against the native capture's (mean difference at most
//     two levels), then Escape ends the intro at once;
//   node SiteTest.js audio SITE XM2WAV MODULE SECONDS
//     the music handed to Web Audio is xm2wav's render, sample for sample, then the page's
//     loss of focus ends the intro at once;
//   node SiteTest.js nowebgl SITE
//     a browser without WebGL 2 gets a message in the page, and the intro does not start;
//   node SiteTest.js again SITE
//     a viewer's click starts it, Escape ends it and the page offers to play it again, twice.
'use strict';

const fs = require('fs');
const os = require('os');
const path = require('path');
const { execFile } = require('child_process');
const { promisify } = require('util');
const { MIX_RATE, fail, nativeRender, firstDifference } = require('../../support/web/Xm2wav.js');
const { frameDifference, describe } = require('../../../tools/web/capture/FrameDifference.js');
const { openAndAwaitReport } = require('../../../tools/web/capture/HeadlessPage.js');

const CAPTURE_WEB = path.join(__dirname, '../../../tools/web/capture/CaptureWeb.js');
const MEAN_LEVELS = 2;
const HEADER_BYTES = 44;
const run = promisify(execFile);

async function captureWeb(site, args) {
  const { stdout } = await run(process.execPath, [CAPTURE_WEB, site, ...args], { maxBuffer: 1 << 20 });
  process.stdout.write(stdout);
  return stdout;
}

async function frames(work, site, nativeCapture, times, frameMs) {
  const native = path.join(work, 'native');
  const web = path.join(work, 'web');
  const common = ['--at', times, '--frame-ms', frameMs];
  const [, webOutput] = await Promise.all([
    run('xvfb-run', ['-a', '-s', '-screen 0 1024x768x24', nativeCapture, ...common, '--out', native]),
    captureWeb(site, [...common, '--out', web, '--end-with', 'escape']),
  ]);
  if (!/ended 0 frame\(s\) after escape/.test(webOutput))
    fail('Escape did not end the intro with the next frame');
  let worst = 0;
  for (const t of times.split(',')) {
    const name = `frame-${t}.png`;
    const d = frameDifference(path.join(web, name), path.join(native, name));
    console.log(`${t} s: ${describe(d)}`);
    worst = Math.max(worst, d.mean);
  }
  if (worst > MEAN_LEVELS)
    fail(`a frame differs from the native one by ${worst.toFixed(3)} levels on average, more than ${MEAN_LEVELS}`);
}

async function audio(work, site, xm2wav, module, seconds) {
  const wav = path.join(work, 'web.wav');
  const output = await captureWeb(site, ['--audio', wav, '--audio-seconds', seconds, '--end-with', 'blur']);
  if (!/ended 0 frame\(s\) after blur/.test(output))
    fail('the loss of focus did not end the intro with the next frame');
  const pcm = fs.readFileSync(wav).subarray(HEADER_BYTES);
  const expected = nativeRender(xm2wav, module, Math.ceil(Number(seconds))).subarray(0, pcm.length);
  if (pcm.length < Number(seconds) * MIX_RATE * 4 || !expected.equals(pcm))
    fail(`the music differs from xm2wav's: ${firstDifference(expected, pcm, 'the site')}`);
  console.log(`${pcm.length / 4} frames (${seconds} s) of the site's music equal xm2wav's`);
}

async function withoutWebGL(site) {
  const body = await openAndAwaitReport(site, 'index.html?capture=1', 60000, undefined,
                                        ['--disable-webgl']);
  const report = JSON.parse(body.toString('utf8').split('\n')[0]);
  if (report.error !== 'no WebGL 2' || !/no WebGL 2/.test(report.page || ''))
    fail(`without WebGL the page reported ${JSON.stringify(report)}`);
  console.log(`without WebGL 2 the page says: ${report.page}`);
}

async function playAgain(work, site) {
  fs.cpSync(site, work, { recursive: true });
  fs.copyFileSync(path.join(__dirname, 'PlayAgain.html'), path.join(work, 'PlayAgain.html'));
  const report = JSON.parse((await openAndAwaitReport(work, 'PlayAgain.html', 180000)).toString('utf8'));
  if (report.error || report.message)
    fail(`playing twice: ${report.error || report.message}`);
  for (const [i, run] of report.runs.entries())
    if (run.button !== 'Play again' || !(run.frames > 0))
      fail(`run ${i + 1} drew ${run.frames} frames and left the button saying "${run.button}"`);
  console.log(`played twice: ${report.runs.map((run) => run.frames).join(' and ')} frames, then "Play again"`);
}

async function main() {
  const [mode, ...args] = process.argv.slice(2);
  const work = fs.mkdtempSync(path.join(os.tmpdir(), 'skv-site-'));
  try {
    if (mode === 'frames' && args.length === 4)
      await frames(work, ...args);
    else if (mode === 'audio' && args.length === 4)
      await audio(work, ...args);
    else if (mode === 'nowebgl' && args.length === 1)
      await withoutWebGL(...args);
    else if (mode === 'again' && args.length === 1)
      await playAgain(work, ...args);
    else
      fail('usage: node SiteTest.js frames SITE SKELVANE_CAPTURE TIMES FRAME_MS | audio SITE XM2WAV MODULE SECONDS' +
           ' | nowebgl SITE | again SITE');
  } finally {
    fs.rmSync(work, { recursive: true, force: true });
  }
}

main().catch((error) => fail(error && error.stack ? error.stack : String(error)));
