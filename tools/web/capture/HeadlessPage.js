// Opens a page of a local folder in headless Chromium and waits for the one report
// the page posts to /report: the folder is served on 127.0.0.1 at a free port, and the
// browser, the server and the browser's profile are gone again when the promise
// settles. Whatever else the page posts goes to a callback. A missing Chromium is a
// failure: install-deps.sh installs it.
'use strict';

const fs = require('fs');
const http = require('http');
const os = require('os');
const path = require('path');
const { spawn } = require('child_process');

const CHROMIUM = '/usr/bin/chromium';
const TYPES = { '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm' };
// The intro's own size, so that a page that fills the window draws it one to one.
const WINDOW_SIZE = '1024,768';

// Serves the folder on 127.0.0.1 (port 0: a free one); posts go to the callbacks.
function serve(folder, onReport, onPost, port = 0) {
  const server = http.createServer((request, response) => {
    const url = new URL(request.url, 'http://localhost');
    if (request.method === 'POST') {
      const parts = [];
      request.on('data', (part) => parts.push(part));
      request.on('end', () => {
        const body = Buffer.concat(parts);
        if (url.pathname === '/report') {
          response.end();
          onReport(body);
          return;
        }
        // The answer waits until the callback has taken the post: the page's report comes after.
        Promise.resolve(onPost ? onPost(url, body) : undefined)
          .catch((error) => console.error(String(error)))
          .then(() => response.end());
      });
      return;
    }
    let file = path.join(folder, path.normalize(url.pathname).replace(/^([/\\])+/, ''));
    // A folder's address serves its page, as any web server does.
    if (file.startsWith(folder) && fs.existsSync(file) && fs.statSync(file).isDirectory())
      file = path.join(file, 'index.html');
    if (!file.startsWith(folder) || !fs.existsSync(file) || !fs.statSync(file).isFile()) {
      response.writeHead(404);
      response.end();
      return;
    }
    response.writeHead(200, { 'Content-Type': TYPES[path.extname(file)] || 'application/octet-stream' });
    fs.createReadStream(file).pipe(response);
  });
  return new Promise((resolve, reject) => {
    server.once('error', reject);
    server.listen(port, '127.0.0.1', () => resolve(server));
  });
}

function launch(url, profile, extraFlags) {
  // WebGL 2 without a GPU: SwiftShader through ANGLE.
  const flags = ['--headless', '--use-angle=swiftshader', '--enable-unsafe-swiftshader', '--disable-quic',
                 '--no-first-run', '--disable-background-networking', '--disable-component-update', '--disable-sync',
                 `--user-data-dir=${profile}`, `--window-size=${WINDOW_SIZE}`, '--autoplay-policy=no-user-gesture-required'];
  if (process.getuid && process.getuid() === 0)
    flags.push('--no-sandbox');
  flags.push(...extraFlags);
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

// Resolves with the body the page posted to /report; rejects when the browser ends first
// or nothing comes within timeoutMs, with what the browser said on its error stream.
// onPost(url, body), when given, takes every other post (its promise is awaited);
// extraFlags go to Chromium.
async function openAndAwaitReport(folder, pagePath, timeoutMs, onPost, extraFlags = []) {
  if (!fs.existsSync(CHROMIUM))
    throw new Error(`no Chromium at ${CHROMIUM}: run scripts/install-deps.sh`);
  let settle;
  const reported = new Promise((resolve, reject) => { settle = { resolve, reject }; });
  const server = await serve(path.resolve(folder), (body) => settle.resolve(body), onPost);
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'skv-chromium-'));
  const browser = launch(`http://127.0.0.1:${server.address().port}/${pagePath}`, profile, extraFlags);
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

module.exports = { openAndAwaitReport, serve };
