// The music page in headless Chromium: the audio output on the Web Audio wave-out
// schedules exactly what xm2wav renders, and the song's audible time follows the
// audio clock as the page services the output.
// usage: node MusicPageTest.js PAGE_FOLDER XM2WAV MODULE SECONDS
'use strict';

const { MIX_RATE, fail, nativeRender, firstDifference } = require('../../support/web/Xm2wav.js');
const { openAndAwaitReport } = require('../../../tools/web/capture/HeadlessPage.js');

// Generous: Chromium's start on a loaded machine, then the music in real time.
const REPORT_TIMEOUT_MS = 120000;
// The audible block's song time is that at the block's end (blocks of 884 frames),
// counted in whole milliseconds; the device read the clock between the page's two
// readings around the step.
const BLOCK_MS = 884 * 1000 / MIX_RATE;
const ROUNDING_MS = 1;

function parseReport(body) {
  const split = body.indexOf(0x0a);
  if (split < 0)
    fail('the page posted no report line');
  return { result: JSON.parse(body.subarray(0, split).toString('utf8')), pcm: body.subarray(split + 1) };
}

// Every poll the page made while sound was scheduled: the song's audible time against
// the audio clock since the first block, less the silences of any underruns, read
// before and after the step. Returns the last time and the widest deviations seen.
function checkTimes(result) {
  let last = -1;
  let behind = 0;
  let ahead = 0;
  const heardMs = (clock, silence) => Math.max(0, (clock - result.firstStart - silence) * 1000);
  for (const [before, after, songMs, silence, dry] of result.samples) {
    if (songMs < last)
      fail(`the song's audible time went back from ${last} ms to ${songMs} ms`);
    last = songMs;
    if (dry)
      continue;
    const earliest = heardMs(before, silence);
    const latest = heardMs(after, silence);
    if (songMs < earliest - ROUNDING_MS || songMs > latest + BLOCK_MS + ROUNDING_MS)
      fail(`the song stood at ${songMs} ms while the audio clock said ${earliest.toFixed(1)} to ` +
           `${latest.toFixed(1)} ms were heard`);
    behind = Math.max(behind, earliest - songMs);
    ahead = Math.max(ahead, songMs - latest);
  }
  return { last, behind, ahead };
}

async function main() {
  const [folder, xm2wav, module, secondsText] = process.argv.slice(2);
  const seconds = Number(secondsText);
  if (!module || !(seconds > 0))
    fail('usage: node MusicPageTest.js PAGE_FOLDER XM2WAV MODULE SECONDS');
  const { result, pcm } = parseReport(await openAndAwaitReport(folder, `index.html?test=${seconds}`,
                                                               REPORT_TIMEOUT_MS));
  if (result.error)
    fail(`the page: ${result.error}`);
  if (result.sourcesAfterStop !== 0)
    fail(`${result.sourcesAfterStop} Web Audio sources were left scheduled after the output stopped`);
  if (result.inexactSamples !== 0 || result.otherRateBuffers !== 0)
    fail(`Web Audio was handed ${result.inexactSamples} samples that are no 16-bit value / 32768 and ` +
         `${result.otherRateBuffers} buffers at another rate than ${MIX_RATE} Hz`);
  const frames = pcm.length / 4;
  if (frames < seconds * MIX_RATE)
    fail(`the device scheduled ${frames} frames, less than the ${seconds} s played`);
  const expected = nativeRender(xm2wav, module, Math.ceil(frames / MIX_RATE)).subarray(0, pcm.length);
  if (!expected.equals(pcm))
    fail(`first difference at ${firstDifference(expected, pcm, 'Web Audio')}`);
  const times = checkTimes(result);
  if (times.last < seconds * 1000 - 100)
    fail(`the song's audible time reached only ${times.last} ms in ${seconds} s`);
  console.log(`${frames} frames (${(frames / MIX_RATE).toFixed(2)} s) scheduled equal xm2wav's; ` +
              `${result.samples.length} polls followed the audio clock (context at ${result.sampleRate} Hz, ` +
              `${result.underruns} underruns, song time at most ${times.behind.toFixed(1)} ms behind and ` +
              `${times.ahead.toFixed(1)} ms ahead), the song's time reached ${times.last} ms`);
}

main().catch((error) => fail(error && error.stack ? error.stack : String(error)));
