#pragma once

// xm2wav: renders an XM module through the player's offline stream into a
// WAV file or onto standard output, a chunk at a time, optionally with a log
// of the frame at which every row starts. By default the song plays once, to
// where it comes back to a row it has already played.
//
//     xm2wav IN.xm OUT.wav [--seconds S] [--loops N] [--rows ROWS.csv] [--bench]

#include <cstdint>
#include <cstdio>
#include <vector>

// The longest render: a WAV file counts its bytes in 32 bits.
const int64_t MAX_WAV_FRAMES = (int64_t(0xFFFFFFFF) - 36) / 4;

// The 44-byte header of a 44,100 Hz 16-bit stereo WAV file of `frames` frames.
void MakeWavHeader(uint8_t header[44], int64_t frames);

// Writes the frames to a WAV file; false (and no file left) when it cannot.
bool WriteWavFile(const char* path, const std::vector<int16_t>& pcm);

// The whole tool. Messages and the summary line go to err; the WAV data goes
// to out when OUT.wav is "-", and otherwise the bench figures do, as do the
// answers to --help and --version. Returns the exit status.
int RunXm2Wav(int argc, const char* const* argv, FILE* out, FILE* err);
