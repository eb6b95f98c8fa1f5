#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Reads any file; empty when it cannot be read.
std::vector<uint8_t> ReadFileBytes(const std::string& path);

// Reads a file of the project's Data/ folder; empty when it cannot be read.
std::vector<uint8_t> ReadDataFile(const std::string& name);

// The whole path of a file in Data/.
std::string DataPath(const std::string& name);

// Little-endian fields of a byte buffer; 0 when out of range.
uint32_t ReadU32(const std::vector<uint8_t>& bytes, size_t offset);
uint16_t ReadU16(const std::vector<uint8_t>& bytes, size_t offset);
