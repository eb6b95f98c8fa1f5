#pragma once

#include <cstdint>

// The character a byte stands for in the Windows ANSI code page (1252), which the "A" entry
// points use for text. The five bytes that code page leaves unassigned map to themselves.
uint32_t AnsiToUnicode(unsigned char byte);
