#pragma once

#include <cstdint>
#include <vector>

struct Song;

// Small modules made with the XM writer, loaded through memory callbacks.
// `variant` changes notes, speed and instrument so two songs sound different.
std::vector<uint8_t> MakeTestModule(int variant);
// Registers callbacks that read `bytes` (kept by the caller) and loads the module.
Song* LoadTestSong(const std::vector<uint8_t>& bytes);
// Registers callbacks over the last module given to LoadTestSong.
void RegisterTestCallbacks();
// Clears the registered callbacks.
void ClearTestCallbacks();
