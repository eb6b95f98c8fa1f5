#pragma once

#include "CaptureOptions.h"

#include <chrono>
#include <cstdio>

// Records the intro as a video file (options.video): the real intro run by the
// capture session at the video's frame rate, each frame read back, faded at the
// end, converted and encoded as it is drawn, with the music the clocked wave-out
// plays as the sound track. Refusals come before anything is drawn; a run that
// fails leaves no file. The progress goes to err, the bench line (frames per
// second, and the time of each step) to out. Returns the exit status.
int RecordVideo(const CaptureOptions& options, std::chrono::steady_clock::time_point started, FILE* out, FILE* err);
