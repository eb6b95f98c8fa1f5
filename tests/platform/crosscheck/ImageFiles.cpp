#include "ImageFiles.h"

#include <cstdio>

namespace {

bool WriteBytes(const std::string& path, const void* data, size_t size)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const bool ok = std::fwrite(data, 1, size, f) == size;
    return std::fclose(f) == 0 && ok;
}

bool ReadBytes(const std::string& path, std::string& bytes)
{
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return false;
    bytes.clear();
    char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
        bytes.append(buffer, n);
    const bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}

}  // namespace

bool WriteTextFile(const std::string& path, const std::string& text)
{
    return WriteBytes(path, text.data(), text.size());
}

bool ReadTextFile(const std::string& path, std::string& text)
{
    return ReadBytes(path, text);
}

bool WriteImageFile(const std::string& path, const Image& image)
{
    std::string bytes;
    for (uint32_t p : image.pixels)
        for (int i = 0; i < 4; ++i)
            bytes.push_back(static_cast<char>((p >> (8 * i)) & 0xFF));
    return WriteBytes(path, bytes.data(), bytes.size());
}

bool ReadImageFile(const std::string& path, int width, int height, Image& image)
{
    std::string bytes;
    if (width <= 0 || height <= 0 || !ReadBytes(path, bytes) || bytes.size() != static_cast<size_t>(width) * height * 4)
        return false;
    image.width = width;
    image.height = height;
    image.pixels.resize(static_cast<size_t>(width) * height);
    for (size_t i = 0; i < image.pixels.size(); ++i) {
        uint32_t p = 0;
        for (int k = 0; k < 4; ++k)
            p |= static_cast<uint32_t>(static_cast<unsigned char>(bytes[i * 4 + k])) << (8 * k);
        image.pixels[i] = p;
    }
    return true;
}

void AddImage(FigureSheet& sheet, const std::string& key, const Image& image, const std::string& imageDir)
{
    const std::string file = key + ".argb";
    if (!WriteImageFile(imageDir + "/" + file, image)) {
        sheet.Fail(key, "cannot write " + file);
        return;
    }
    sheet.AddText(key, std::to_string(image.width) + " " + std::to_string(image.height) + " " + file);
}
