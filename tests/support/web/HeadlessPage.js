// Opens a page of a local folder in headless Chromium and waits for the one report
// the page posts to /report: the folder is served on 127.0.0.1 at a free port, and the
// browser, the server and the browser's profile are gone again when the promise
// settles. A missing Chromium is a failure: install-deps.sh installs it.
'use strict';

const fs = require('fs');
const http = require('http');
const os = require('os');
const path = require('path');
const { spawn } = require('child_process');

const CHROMIUM = '/usr/bin/chromium';
const TYPES = { '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm' };

function serve(folder, onReport) {
  const server = http.createServer((request, response) => {
    const url = new URL(request.url, 'http://localhost');
    if (request.method === 'POST' && url.pathname === '/report') {
      const parts = [];
      request.on('data', (part) => parts.push(part));
      request.on('end', () => {
        response.end();
        onReport(Buffer.concat(parts));
      });
      return;
    }
    const file = path.join(folder, path.normalize(url.pathname).replace(/^([/\\])+/, ''));
    if (!file.startsWith(folder) || !fs.existsSync(file) || !fs.statSync(file).isFile()) {
      response.writeHead(404);
      response.end();
      return;
    }
    response.writeHead(200, { 'Content-Type': TYPES[path.extname(file)] || 'application/octet-stream' });
    fs.createReadStream(file).pipe(response);
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

function launch(url, profile) {
  const flags = ['--headless', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
                 '--disable-component-update', '--disable-sync', `--user-data-dir=${profile}`,
                 '--autoplay-policy=no-user-gesture-required'];
  if (process.getuid && process.getuid() === 0)
    flags.push('--no-sandbox');
  // Its own process group, so that stopping it takes its helper processes along.
  return spawn(CHROMIUM, [...flags, url], { detached: true, stdio: ['ignore', 'ignore', 'pipe'] });
}

function stopBrowser(browser) {
  if (browser.exitCode !== null || browser.signalCode !== null)
    return Promise.resolve();
  return new Promise((resolve) => {
    const force = setTimeout(() => process.kill(-browser.pid, 'SIGKILL'), 10000);
    browser.once('exit', () => {
      clearTimeout(force);
      resolve();
    });
    process.kill(-browser.pid, 'SIGTERM');
  });
}

// Resolves with the body the page posted; rejects when the browser ends first or
// nothing comes within timeoutMs, with what the browser said on its error stream.
async function openAndAwaitReport(folder, pagePath, timeoutMs) {
  if (!fs.existsSync(CHROMIUM))
    throw new Error(`no Chromium at ${CHROMIUM}: run scripts/install-deps.sh`);
  let settle;
  const reported = new Promise((resolve, reject) => { settle = { resolve, reject }; });
  const server = await serve(path.resolve(folder), (body) => settle.resolve(body));
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'skv-chromium-'));
  const browser = launch(`http://127.0.0.1:${server.address().port}/${pagePath}`, profile);
  let log = '';
  browser.stderr.on('data', (text) => { log = (log + text).slice(-4000); });
  browser.on('error', (error) => settle.reject(error));
  browser.on('exit', (code) => settle.reject(new Error(`Chromium ended (${code}) before the page reported:\n${log}`)));
  const timer = setTimeout(() => settle.reject(new Error(`no report within ${timeoutMs} ms:\n${log}`)), timeoutMs);
  try {
    return await reported;
  } finally {
    clearTimeout(timer);
    await stopBrowser(browser);
    server.close();
    fs.rmSync(profile, { recursive: true, force: true });
  }
}

module.exports = { openAndAwaitReport };
