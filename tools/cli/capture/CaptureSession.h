#pragma once

#include "CaptureOptions.h"

#include <chrono>
#include <cstdio>

// Runs the real intro (window, device, Demo, post-processing, the entry's own
// start-up, loop and shutdown) on a fixed frame time, writes the frames asked for,
// keeps the music when asked, and measures frame times for --bench. Messages go to
// err, the bench line to out. `started` is when the process started its work: the
// start-up time is measured from there. Returns the exit status: 0, or 1 when
// anything asked for could not be done.
int RunCaptureSession(const CaptureOptions& options, std::chrono::steady_clock::time_point started, FILE* out,
                      FILE* err);
