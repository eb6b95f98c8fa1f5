// How far two captured frames (PNG files of the same size) are apart, per colour channel
// in levels of 255: the mean over every pixel, the largest, and where the pixels that
// differ by more than a few levels lie.
'use strict';

const fs = require('fs');
const zlib = require('zlib');

const SIGNATURE = Buffer.from([0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a]);
const BYTES_PER_PIXEL = { 2: 3, 6: 4 };  // 8-bit RGB and RGBA, which both captures write

function paeth(a, b, c) {
  const p = a + b - c;
  const pa = Math.abs(p - a);
  const pb = Math.abs(p - b);
  const pc = Math.abs(p - c);
  return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
}

// { width, height, channels, pixels } of an 8-bit, non-interlaced RGB or RGBA PNG.
function readPng(file) {
  const bytes = fs.readFileSync(file);
  if (!bytes.subarray(0, 8).equals(SIGNATURE))
    throw new Error(`${file}: not a PNG file`);
  let width = 0, height = 0, channels = 0;
  const data = [];
  for (let at = 8; at + 8 <= bytes.length;) {
    const length = bytes.readUInt32BE(at);
    const type = bytes.toString('latin1', at + 4, at + 8);
    const body = bytes.subarray(at + 8, at + 8 + length);
    if (type === 'IHDR') {
      width = body.readUInt32BE(0);
      height = body.readUInt32BE(4);
      channels = BYTES_PER_PIXEL[body[9]];
      if (body[8] !== 8 || !channels || body[12] !== 0)
        throw new Error(`${file}: only 8-bit RGB or RGBA without interlacing is read`);
    } else if (type === 'IDAT') {
      data.push(body);
    }
    at += 12 + length;
  }
  const raw = zlib.inflateSync(Buffer.concat(data));
  const stride = width * channels;
  if (raw.length !== (stride + 1) * height)
    throw new Error(`${file}: its image data has the wrong length`);
  const pixels = Buffer.alloc(stride * height);
  for (let y = 0; y < height; ++y) {
    const filter = raw[y * (stride + 1)];
    const line = raw.subarray(y * (stride + 1) + 1, (y + 1) * (stride + 1));
    const out = y * stride;
    for (let x = 0; x < stride; ++x) {
      const a = x >= channels ? pixels[out + x - channels] : 0;
      const b = y > 0 ? pixels[out - stride + x] : 0;
      const c = x >= channels && y > 0 ? pixels[out - stride + x - channels] : 0;
      const predictor = [0, a, b, (a + b) >> 1, paeth(a, b, c)][filter];
      if (predictor === undefined)
        throw new Error(`${file}: unknown row filter ${filter}`);
      pixels[out + x] = (line[x] + predictor) & 0xff;
    }
  }
  return { width, height, channels, pixels };
}

// Compares RGB; alpha is not part of the picture shown.
function frameDifference(fileA, fileB, noticeableLevels = 16) {
  const a = readPng(fileA);
  const b = readPng(fileB);
  if (a.width !== b.width || a.height !== b.height)
    throw new Error(`${fileA} is ${a.width}x${a.height}, ${fileB} ${b.width}x${b.height}`);
  let total = 0, largest = 0, noticeable = 0;
  let box = null;
  for (let y = 0; y < a.height; ++y) {
    for (let x = 0; x < a.width; ++x) {
      let pixelLargest = 0;
      for (let k = 0; k < 3; ++k) {
        const d = Math.abs(a.pixels[(y * a.width + x) * a.channels + k] - b.pixels[(y * b.width + x) * b.channels + k]);
        total += d;
        pixelLargest = Math.max(pixelLargest, d);
      }
      largest = Math.max(largest, pixelLargest);
      if (pixelLargest > noticeableLevels) {
        ++noticeable;
        box = box ? [Math.min(box[0], x), Math.min(box[1], y), Math.max(box[2], x), Math.max(box[3], y)]
                  : [x, y, x, y];
      }
    }
  }
  return { mean: total / (a.width * a.height * 3), largest, noticeable, noticeableLevels, box };
}

function describe(d) {
  const where = d.box ? `, ${d.noticeable} pixels differ by more than ${d.noticeableLevels} within ` +
                        `(${d.box[0]},${d.box[1]})-(${d.box[2]},${d.box[3]})` : '';
  return `mean ${d.mean.toFixed(3)}, largest ${d.largest}${where}`;
}

module.exports = { readPng, frameDifference, describe };

// node FrameDifference.js DIR_A DIR_B FRAME_FILE...: one line per frame, both folders' file.
if (require.main === module) {
  const [a, b, ...names] = process.argv.slice(2);
  for (const name of names)
    console.log(`${name}: ${describe(frameDifference(`${a}/${name}`, `${b}/${name}`))}`);
}
