#pragma once

// 8-bit RGB PNG files of ARGB pixels (the alpha channel is not kept: a frame on
// screen is opaque). libpng on Linux, the Windows Imaging Component on Windows.

#include <cstdint>
#include <string>
#include <vector>

// Rows top first, `width` pixels each. False when the file cannot be written.
bool WritePng(const std::string& path, const uint32_t* argb, int width, int height);

// Reads a PNG back as opaque ARGB pixels (0xFF alpha), rows top first. False for
// anything that is not a readable PNG.
bool ReadPng(const std::string& path, std::vector<uint32_t>& argb, int& width, int& height);
