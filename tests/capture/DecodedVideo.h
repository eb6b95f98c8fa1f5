#pragma once

// A video file read back through libavformat and libavcodec, for tests: what a
// player would find in it.

#include <cstdint>
#include <string>
#include <vector>

struct DecodedVideo {
    int streams = 0;
    std::string pictureCodec, soundCodec;  // FFmpeg's names ("h264", "aac", ...)
    int width = 0, height = 0;
    std::string pixelFormat;
    int fps = 0;
    int64_t pictures = 0;
    double seconds = 0.0;          // the file's duration
    std::vector<uint32_t> first;   // the first and last pictures as ARGB, by the stream's colour tags
    std::vector<uint32_t> last;
    int soundRate = 0, soundChannels = 0;
    std::vector<float> sound;      // interleaved, full scale at 1
};

// False with the reason in error when the file cannot be opened or decoded.
bool DecodeVideo(const std::string& path, DecodedVideo& video, std::string& error);

// The mean absolute difference of the colour channels of two pictures of the
// same size (256 for different sizes).
double MeanPictureDifference(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b);

// The lag (within +-maxLag frames) at which `decoded` lines up best with
// `expected` over the first `frames` stereo frames, and the remaining error there
// as a share of the expected signal's energy.
struct SoundMatch {
    int lag = 0;
    double error = 1.0;
};
SoundMatch MatchSound(const std::vector<float>& decoded, const std::vector<float>& expected, int frames, int maxLag);
