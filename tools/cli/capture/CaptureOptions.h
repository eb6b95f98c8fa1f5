#pragma once

// The capture tool's command line:
//
//     skelvane-capture --at T1,T2,... --out DIR [--frame-ms MS] [--bench SECONDS]
//                      [--audio FILE.wav [--audio-seconds S]] [--progress]
//     skelvane-capture --video OUT.mp4 ... (VideoOptions.h)

#include "VideoOptions.h"

#include <string>
#include <vector>

struct CaptureOptions {
    std::vector<double> times;  // demo times to capture, in seconds, ascending, no repeats
    std::string outDir;         // where frame-T.png go
    int frameMs = 16;           // the fixed frame time
    double benchSeconds = 0.0;  // 0: no benchmark
    std::string audioPath;      // empty: the music is muted
    double audioSeconds = 0.0;  // the music goes on to here after the last frame
    bool progress = false;      // a progress line on stderr
    VideoOptions video;         // the video to record instead of frames
};

extern const char* const CAPTURE_USAGE;

// False with a one-line reason in error for anything it cannot take: unknown
// options, missing values, times that are not finite non-negative numbers, a frame
// time outside 1 ... 10000 ms, a bench length outside (0, 3600] s, --at without
// --out, --audio-seconds outside (0, 3600] or without --audio, or neither --at nor
// --bench (or --video, which takes none of --at, --frame-ms, --bench and --audio).
bool ParseCaptureOptions(int argc, const char* const* argv, CaptureOptions& options, std::string& error);

// A finite number that fills the whole text; false for anything else.
bool ParseNumber(const std::string& text, double& value);

// "frame-T.png" for a demo time: the shortest decimal form with at most three
// decimals ("frame-5.png", "frame-10.25.png").
std::string FrameFileName(double seconds);

// The demo time a frame must have reached to be the capture of `seconds`: frame
// times add up in 32-bit floats, so a frame meant to land on 5 s may stop a hair short.
bool FrameReaches(float demoTime, double seconds);
