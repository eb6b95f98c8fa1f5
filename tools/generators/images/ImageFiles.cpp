#include "ImageFiles.h"

#include <png.h>
#include <squish.h>

#include <cstdio>
#include <cstring>

namespace {

const uint32_t DDSD_CAPS = 0x1;
const uint32_t DDSD_HEIGHT = 0x2;
const uint32_t DDSD_WIDTH = 0x4;
const uint32_t DDSD_PITCH = 0x8;
const uint32_t DDSD_PIXELFORMAT = 0x1000;
const uint32_t DDSD_LINEARSIZE = 0x80000;
const uint32_t DDPF_FOURCC = 0x4;
const uint32_t DDPF_RGB = 0x40;
const uint32_t DDSCAPS_TEXTURE = 0x1000;
const size_t DDS_HEADER_BYTES = 4 + 124;

void Put32(std::vector<uint8_t>& out, size_t offset, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out[offset + size_t(i)] = uint8_t(value >> (8 * i));
}

// Header fields by offset from the start of the file (after the magic the
// 124-byte DDS_HEADER, its DDS_PIXELFORMAT at offset 76 of the header).
std::vector<uint8_t> Header(const Rgb8Image& image, uint32_t flags, uint32_t pitchOrLinearSize,
                            uint32_t formatFlags, uint32_t fourCc, uint32_t bitCount,
                            uint32_t redMask, uint32_t greenMask, uint32_t blueMask)
{
    std::vector<uint8_t> out(DDS_HEADER_BYTES, 0);
    std::memcpy(out.data(), "DDS ", 4);
    Put32(out, 4, 124);
    Put32(out, 8, flags);
    Put32(out, 12, uint32_t(image.height));
    Put32(out, 16, uint32_t(image.width));
    Put32(out, 20, pitchOrLinearSize);
    Put32(out, 24, 0);      // depth
    Put32(out, 28, 0);      // mip map count: the top level only
    Put32(out, 4 + 72, 32); // pixel format size
    Put32(out, 4 + 76, formatFlags);
    Put32(out, 4 + 80, fourCc);
    Put32(out, 4 + 84, bitCount);
    Put32(out, 4 + 88, redMask);
    Put32(out, 4 + 92, greenMask);
    Put32(out, 4 + 96, blueMask);
    Put32(out, 4 + 100, 0); // no alpha
    Put32(out, 4 + 104, DDSCAPS_TEXTURE);
    return out;
}

bool UsableSize(const Rgb8Image& image)
{
    return image.width > 0 && image.height > 0 &&
           image.rgb.size() == size_t(image.width) * size_t(image.height) * 3;
}

} // namespace

std::vector<uint8_t> EncodeDxt1Dds(const Rgb8Image& image)
{
    if (!UsableSize(image) || image.width % 4 != 0 || image.height % 4 != 0)
        return {};
    const uint32_t linearSize = uint32_t(image.width / 4) * uint32_t(image.height / 4) * 8;
    std::vector<uint8_t> out =
        Header(image, DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_PIXELFORMAT | DDSD_LINEARSIZE,
               linearSize, DDPF_FOURCC, 0x31545844 /* "DXT1" */, 0, 0, 0, 0);

    std::vector<uint8_t> rgba(size_t(image.width) * image.height * 4);
    for (size_t i = 0; i < size_t(image.width) * image.height; ++i) {
        rgba[4 * i] = image.rgb[3 * i];
        rgba[4 * i + 1] = image.rgb[3 * i + 1];
        rgba[4 * i + 2] = image.rgb[3 * i + 2];
        rgba[4 * i + 3] = 255;
    }
    out.resize(DDS_HEADER_BYTES + linearSize);
    // Perceptual weights: green errors show most, blue least.
    float metric[3] = {0.2126f, 0.7152f, 0.0722f};
    squish::CompressImage(rgba.data(), image.width, image.height, out.data() + DDS_HEADER_BYTES,
                          squish::kDxt1 | squish::kColourClusterFit, metric);
    return out;
}

std::vector<uint8_t> EncodeX8R8G8B8Dds(const Rgb8Image& image)
{
    if (!UsableSize(image))
        return {};
    const uint32_t pitch = uint32_t(image.width) * 4;
    std::vector<uint8_t> out =
        Header(image, DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_PIXELFORMAT | DDSD_PITCH, pitch,
               DDPF_RGB, 0, 32, 0x00FF0000, 0x0000FF00, 0x000000FF);
    out.reserve(DDS_HEADER_BYTES + size_t(pitch) * image.height);
    for (size_t i = 0; i < size_t(image.width) * image.height; ++i) {
        out.push_back(image.rgb[3 * i + 2]);
        out.push_back(image.rgb[3 * i + 1]);
        out.push_back(image.rgb[3 * i]);
        out.push_back(0xFF);
    }
    return out;
}

Rgb8Image DecodeDxt1Blocks(const std::vector<uint8_t>& dds, int width, int height)
{
    Rgb8Image image;
    const size_t blocks = size_t(width / 4) * size_t(height / 4) * 8;
    if (width % 4 != 0 || height % 4 != 0 || dds.size() < DDS_HEADER_BYTES + blocks)
        return image;
    std::vector<uint8_t> rgba(size_t(width) * height * 4);
    squish::DecompressImage(rgba.data(), width, height, dds.data() + DDS_HEADER_BYTES,
                            squish::kDxt1);
    image.width = width;
    image.height = height;
    image.rgb.resize(size_t(width) * height * 3);
    for (size_t i = 0; i < size_t(width) * height; ++i) {
        image.rgb[3 * i] = rgba[4 * i];
        image.rgb[3 * i + 1] = rgba[4 * i + 1];
        image.rgb[3 * i + 2] = rgba[4 * i + 2];
    }
    return image;
}

namespace {

void AppendToVector(png_structp png, png_bytep data, png_size_t length)
{
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void NoFlush(png_structp) {}

} // namespace

std::vector<uint8_t> EncodePng(const Rgb8Image& image)
{
    std::vector<uint8_t> out;
    if (!UsableSize(image))
        return out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png)
        return out;
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, info ? &info : nullptr);
        return {};
    }
    png_set_write_fn(png, &out, AppendToVector, NoFlush);
    png_set_compression_level(png, 6);
    png_set_IHDR(png, info, png_uint_32(image.width), png_uint_32(image.height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < image.height; ++y) {
        png_write_row(png, const_cast<png_bytep>(&image.rgb[size_t(y) * image.width * 3]));
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}
