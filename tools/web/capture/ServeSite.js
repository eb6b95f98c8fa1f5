// node ServeSite.js SITE [PORT]: serves the site on http://127.0.0.1:PORT/ (8000) until
// stopped, as any static web server would.
'use strict';

const path = require('path');
const { serve } = require('./HeadlessPage.js');

const [site, port = '8000'] = process.argv.slice(2);
serve(path.resolve(site), () => {}, undefined, Number(port)).then((server) => {
  console.log(`The intro is served on http://127.0.0.1:${server.address().port}/ (Ctrl-C stops it).`);
}, (error) => {
  console.error(`could not serve ${site} on port ${port}: ${error.message}`);
  process.exit(1);
});
