#include "DataFiles.h"

#include <cstdio>

std::string DataPath(const std::string& name)
{
    return std::string(SKV_DATA_DIR) + "/" + name;
}

std::vector<uint8_t> ReadFileBytes(const std::string& path)
{
    std::vector<uint8_t> bytes;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return bytes;
    uint8_t buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        bytes.insert(bytes.end(), buffer, buffer + n);
    std::fclose(file);
    return bytes;
}

std::vector<uint8_t> ReadDataFile(const std::string& name)
{
    return ReadFileBytes(DataPath(name));
}

uint32_t ReadU32(const std::vector<uint8_t>& bytes, size_t offset)
{
    if (offset + 4 > bytes.size())
        return 0;
    return uint32_t(bytes[offset]) | uint32_t(bytes[offset + 1]) << 8 | uint32_t(bytes[offset + 2]) << 16 |
           uint32_t(bytes[offset + 3]) << 24;
}

uint16_t ReadU16(const std::vector<uint8_t>& bytes, size_t offset)
{
    if (offset + 2 > bytes.size())
        return 0;
    return uint16_t(bytes[offset] | bytes[offset + 1] << 8);
}
