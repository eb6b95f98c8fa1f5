#pragma once

#include <cstdint>
#include <string>
#include <vector>

// 8-bit RGB pixels, row by row from the top.
struct Rgb8Image {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;
};

// DDS file bytes: "DDS ", the 124-byte header, then the top level only (no
// mip levels). DXT1 needs width and height divisible by 4; the blocks are
// compressed by libsquish. Returns an empty vector for an unusable size.
std::vector<uint8_t> EncodeDxt1Dds(const Rgb8Image& image);
// Uncompressed 32-bit X8R8G8B8 (bytes blue, green, red, 0xFF per texel).
std::vector<uint8_t> EncodeX8R8G8B8Dds(const Rgb8Image& image);

// What a DXT1 image looks like after decoding, for the previews.
Rgb8Image DecodeDxt1Blocks(const std::vector<uint8_t>& dds, int width, int height);

// PNG file bytes (8-bit RGB, no interlace, fixed compression settings).
std::vector<uint8_t> EncodePng(const Rgb8Image& image);

bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes);
