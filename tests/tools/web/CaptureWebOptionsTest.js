// capture-web's command line: everything it cannot take is refused with a reason and
// exit status 2, before any browser starts.
// usage: node CaptureWebOptionsTest.js SITE
'use strict';

const { spawnSync } = require('child_process');
const path = require('path');
const { fail } = require('../../support/web/Xm2wav.js');

const CAPTURE_WEB = path.join(__dirname, '../../../tools/web/capture/CaptureWeb.js');
const site = process.argv[2];
const refused = [
  [[], /no site/],
  [[site], /nothing to capture/],
  [[site, '--at', '5,3', '--out', 'x'], /ascending/],
  [[site, '--at', '-1', '--out', 'x'], /non-negative/],
  [[site, '--at', 'five', '--out', 'x'], /non-negative/],
  [[site, '--at', '1'], /--at needs --out/],
  [[site, '--at', '1', '--out', 'x', '--frame-ms', '0'], /--frame-ms/],
  [[site, '--at', '1', '--out', 'x', '--frame-ms', '2.5'], /--frame-ms/],
  [[site, '--audio', 'x.wav'], /--audio-seconds/],
  [[site, '--audio', 'x.wav', '--audio-seconds', '4000'], /--audio-seconds/],
  [[site, '--at', '1', '--out', 'x', '--end-with', 'click'], /--end-with/],
  [[site, '--at', '1', '--out'], /needs a value/],
  [[site, '--bogus', '1'], /unknown option/],
  [[path.join(site, 'missing'), '--at', '1', '--out', 'x'], /no site/],
];
for (const [args, reason] of refused) {
  const run = spawnSync(process.execPath, [CAPTURE_WEB, ...args], { encoding: 'utf8', timeout: 10000 });
  if (run.status !== 2 || !reason.test(run.stderr))
    fail(`capture-web ${args.join(' ')}: exit ${run.status}, said ${JSON.stringify(run.stderr)}; expected 2 and ${reason}`);
}
console.log(`${refused.length} malformed command lines refused`);
