#pragma once

// DXT1 (BC1) images decoded to 8-bit R, G, B, A texels, row after row. Linux has libsquish
// for it; the browser build has no such library and decodes the blocks itself, texel for
// texel as libsquish does. blocks holds ceil(width / 4) * ceil(height / 4) blocks of 8
// bytes; texels of the edge blocks beyond width or height are dropped.
void DecodeDxt1Image(const unsigned char* blocks, int width, int height, unsigned char* rgba);
