#pragma once

// DDS images as D3DX reads them for the intro: DXT1, X8R8G8B8 and A8R8G8B8, top level only.
#include <d3d9types.h>

#include <cstddef>
#include <vector>

struct DecodedImage {
    D3DFORMAT format = D3DFMT_UNKNOWN;  // the file's format
    UINT width = 0;
    UINT height = 0;
    std::vector<unsigned char> bgra;  // B, G, R, A per texel, the memory order of A8R8G8B8
};

// False for anything that is not a complete DDS file in one of those formats.
bool DecodeDds(const void* data, size_t size, DecodedImage& image);

UINT NextPowerOfTwo(UINT n);

// D3DX's default size rule: each side enlarged to the next power of two, the image scaled
// to fill it with a triangle (tent) filter.
bool ScaleToPowersOfTwo(DecodedImage& image);
// The image scaled to fill width x height with the triangle filter.
bool ScaleImage(DecodedImage& image, UINT width, UINT height);
// The image unscaled in the top-left corner of width x height, the rest transparent black
// (D3DX_FILTER_NONE), or cut to it.
void PlaceImage(DecodedImage& image, UINT width, UINT height);
