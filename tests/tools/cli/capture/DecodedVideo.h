#pragma once

// A video file read back through libavformat and libavcodec, as a player reads it.

#include <cstdint>
#include <string>
#include <vector>

struct DecodedVideo {
    int streams = 0;
    std::string pictureCodec, soundCodec, pixelFormat;  // FFmpeg's names ("h264", "aac", "yuv420p")
    int width = 0, height = 0, fps = 0;
    int64_t pictures = 0;
    double seconds = 0.0;               // the file's duration
    std::vector<uint32_t> first, last;  // ARGB, converted by the stream's colour tags
    int soundRate = 0, soundChannels = 0;
    std::vector<float> sound;  // interleaved, full scale at 1
};

// False with the reason when the file cannot be opened or decoded.
bool DecodeVideo(const std::string& path, DecodedVideo& video, std::string& error);

// The mean difference of the colour channels of two same-sized pictures (256 otherwise).
double MeanPictureDifference(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b);
