#include "Dxt1Decode.h"

#include <cstddef>
#include <cstring>

namespace {

// A 5:6:5 colour widened to 8 bits a channel by repeating its top bits below it, so that
// 0 and the channel's maximum map to 0 and 255.
void Expand565(unsigned value, unsigned char* rgb)
{
    const unsigned r = (value >> 11) & 0x1F, g = (value >> 5) & 0x3F, b = value & 0x1F;
    rgb[0] = static_cast<unsigned char>(r << 3 | r >> 2);
    rgb[1] = static_cast<unsigned char>(g << 2 | g >> 4);
    rgb[2] = static_cast<unsigned char>(b << 3 | b >> 2);
}

// One block's sixteen texels, R, G, B, A each, in rows of four.
void DecodeBlock(const unsigned char* block, unsigned char* texels)
{
    const unsigned c0 = block[0] | block[1] << 8, c1 = block[2] | block[3] << 8;
    unsigned char palette[4][4];
    Expand565(c0, palette[0]);
    Expand565(c1, palette[1]);
    for (int i = 0; i < 3; ++i) {
        const int a = palette[0][i], b = palette[1][i];
        if (c0 > c1) {
            palette[2][i] = static_cast<unsigned char>((2 * a + b) / 3);
            palette[3][i] = static_cast<unsigned char>((a + 2 * b) / 3);
        } else {
            palette[2][i] = static_cast<unsigned char>((a + b) / 2);
            palette[3][i] = 0;
        }
    }
    palette[0][3] = palette[1][3] = palette[2][3] = 0xFF;
    palette[3][3] = c0 > c1 ? 0xFF : 0;  // the three-colour mode's fourth entry is transparent black
    for (int t = 0; t < 16; ++t)
        std::memcpy(texels + t * 4, palette[(block[4 + t / 4] >> (2 * (t % 4))) & 3], 4);
}

}  // namespace

void DecodeDxt1Image(const unsigned char* blocks, int width, int height, unsigned char* rgba)
{
    unsigned char texels[16 * 4];
    for (int by = 0; by < height; by += 4) {
        for (int bx = 0; bx < width; bx += 4, blocks += 8) {
            DecodeBlock(blocks, texels);
            for (int y = by; y < by + 4 && y < height; ++y)
                for (int x = bx; x < bx + 4 && x < width; ++x)
                    std::memcpy(rgba + (static_cast<size_t>(y) * width + x) * 4, texels + ((y - by) * 4 + x - bx) * 4,
                                4);
        }
    }
}
