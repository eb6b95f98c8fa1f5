#include "DdsImage.h"
#include "Dxt1Decode.h"

#include <stb_image_resize.h>

#include <cstdint>
#include <cstring>

namespace {

const size_t HEADER_SIZE = 128;  // "DDS " and the 124-byte header
const UINT MAX_SIDE = 16384;
const uint32_t DDPF_ALPHAPIXELS = 0x1;
const uint32_t DDPF_FOURCC = 0x4;
const uint32_t DDPF_RGB = 0x40;
const uint32_t DDSCAPS2_CUBEMAP = 0x200;
const uint32_t DDSCAPS2_VOLUME = 0x200000;

uint32_t ReadU32(const unsigned char* p)
{
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

}  // namespace

bool DecodeDds(const void* data, size_t size, DecodedImage& image)
{
    image = DecodedImage();
    const unsigned char* file = static_cast<const unsigned char*>(data);
    if (!file || size < HEADER_SIZE || std::memcmp(file, "DDS ", 4) != 0 || ReadU32(file + 4) != 124 ||
        ReadU32(file + 76) != 32)
        return false;
    const uint32_t height = ReadU32(file + 12);
    const uint32_t width = ReadU32(file + 16);
    const uint32_t pixelFlags = ReadU32(file + 80);
    const uint32_t fourCC = ReadU32(file + 84);
    const uint32_t bitCount = ReadU32(file + 88);
    const uint32_t masks[4] = {ReadU32(file + 92), ReadU32(file + 96), ReadU32(file + 100), ReadU32(file + 104)};
    const uint32_t caps2 = ReadU32(file + 112);
    if (width == 0 || height == 0 || width > MAX_SIDE || height > MAX_SIDE ||
        (caps2 & (DDSCAPS2_CUBEMAP | DDSCAPS2_VOLUME)))
        return false;
    const unsigned char* pixels = file + HEADER_SIZE;
    const size_t available = size - HEADER_SIZE;
    const size_t texels = static_cast<size_t>(width) * height;

    if ((pixelFlags & DDPF_FOURCC) && fourCC == MAKEFOURCC('D', 'X', 'T', '1')) {
        const size_t blocks = static_cast<size_t>((width + 3) / 4) * ((height + 3) / 4);
        if (available < blocks * 8)
            return false;
        std::vector<unsigned char> rgba(texels * 4);
        DecodeDxt1Image(pixels, static_cast<int>(width), static_cast<int>(height), rgba.data());
        image.bgra.resize(texels * 4);
        for (size_t i = 0; i < texels; ++i) {
            image.bgra[i * 4 + 0] = rgba[i * 4 + 2];
            image.bgra[i * 4 + 1] = rgba[i * 4 + 1];
            image.bgra[i * 4 + 2] = rgba[i * 4 + 0];
            image.bgra[i * 4 + 3] = rgba[i * 4 + 3];
        }
        image.format = D3DFMT_DXT1;
    } else if ((pixelFlags & DDPF_RGB) && !(pixelFlags & DDPF_FOURCC) && bitCount == 32 && masks[0] == 0x00FF0000 &&
               masks[1] == 0x0000FF00 && masks[2] == 0x000000FF) {
        if (available < texels * 4)
            return false;
        image.bgra.assign(pixels, pixels + texels * 4);
        if ((pixelFlags & DDPF_ALPHAPIXELS) && masks[3] == 0xFF000000) {
            image.format = D3DFMT_A8R8G8B8;
        } else {
            image.format = D3DFMT_X8R8G8B8;
            for (size_t i = 0; i < texels; ++i)
                image.bgra[i * 4 + 3] = 0xFF;
        }
    } else {
        return false;
    }
    image.width = width;
    image.height = height;
    return true;
}

UINT NextPowerOfTwo(UINT n)
{
    UINT p = 1;
    while (p < n && p < 0x80000000u)
        p <<= 1;
    return p;
}

bool ScaleToPowersOfTwo(DecodedImage& image)
{
    return ScaleImage(image, NextPowerOfTwo(image.width), NextPowerOfTwo(image.height));
}

bool ScaleImage(DecodedImage& image, UINT width, UINT height)
{
    if (width == image.width && height == image.height)
        return true;
    std::vector<unsigned char> scaled(static_cast<size_t>(width) * height * 4);
    if (!stbir_resize_uint8_generic(image.bgra.data(), static_cast<int>(image.width), static_cast<int>(image.height),
                                    static_cast<int>(image.width * 4), scaled.data(), static_cast<int>(width),
                                    static_cast<int>(height), static_cast<int>(width * 4), 4, STBIR_ALPHA_CHANNEL_NONE,
                                    0, STBIR_EDGE_CLAMP, STBIR_FILTER_TRIANGLE, STBIR_COLORSPACE_LINEAR, nullptr))
        return false;
    image.bgra.swap(scaled);
    image.width = width;
    image.height = height;
    return true;
}

void PlaceImage(DecodedImage& image, UINT width, UINT height)
{
    if (width == image.width && height == image.height)
        return;
    std::vector<unsigned char> placed(static_cast<size_t>(width) * height * 4, 0);
    const UINT w = width < image.width ? width : image.width;
    for (UINT y = 0; y < height && y < image.height; ++y)
        std::memcpy(&placed[static_cast<size_t>(y) * width * 4], &image.bgra[static_cast<size_t>(y) * image.width * 4],
                    static_cast<size_t>(w) * 4);
    image.bgra.swap(placed);
    image.width = width;
    image.height = height;
}
