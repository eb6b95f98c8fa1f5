#pragma once

// xm2wav: renders an XM module through the player's block fill into a WAV
// file, optionally with a log of the frame at which every row starts.
//
//     xm2wav INPUT.xm OUTPUT.wav [--seconds S] [--rows ROWS.csv] [--bench]

#include "Song.h"

#include <cstdint>
#include <cstdio>
#include <vector>

struct RowStart {
    int64_t frame;  // output frame at which the row's tick 0 runs
    int32_t order;
    int32_t pattern;
    int32_t row;
};

// Renders `frames` stereo frames of the song from play start; when rows is
// given, it receives every row tick that runs within them.
bool RenderWithRows(Song* song, int64_t frames, std::vector<int16_t>& pcm,
                    std::vector<RowStart>* rows);

// 44,100 Hz 16-bit stereo WAV.
bool WriteWavFile(const char* path, const std::vector<int16_t>& pcm);
// "frame,order,pattern,row" and one line per row start.
bool WriteRowsCsv(const char* path, const std::vector<RowStart>& rows);

// The whole tool; messages go to err, bench figures to out. Returns the exit status.
int RunXm2Wav(int argc, const char* const* argv, FILE* out, FILE* err);
