#pragma once

// File callbacks over bytes in memory, for loading modules built in tests.

#include "Song.h"

#include <cstdint>
#include <string>
#include <vector>

// Registers callbacks that open the given bytes under any name except
// "missing" (whose open fails). The bytes are copied.
void UseMemoryInput(const std::vector<uint8_t>& bytes);
// Clears the registered callbacks.
void ClearInput();

// UseMemoryInput + LoadSong.
Song* LoadFromBytes(const std::vector<uint8_t>& bytes, SampleDataCallback callback = nullptr);

// Every byte read through the callbacks since UseMemoryInput.
int64_t BytesReadSoFar();
// Opens and closes seen since UseMemoryInput.
int OpensSoFar();
int ClosesSoFar();

// The bytes of a file, or empty when it cannot be read.
std::vector<uint8_t> ReadWholeFile(const std::string& path);
