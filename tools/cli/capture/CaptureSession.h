#pragma once

#include "CaptureOptions.h"
#include "FrameGrabber.h"

#include <chrono>
#include <cstdio>
#include <string>

// What records a run frame by frame (the video): it chooses how long each drawn
// frame is, sees each finished picture before it is presented, and says when it
// has all it needs. The music is kept (CapturedPcm) while a recorder runs.
class FrameRecorder {
public:
    virtual ~FrameRecorder() = default;
    // The length of drawn frame `frame` (0 is the first) in milliseconds, 0 allowed.
    virtual int FrameMs(long long frame) = 0;
    // Drawn frame `frame` is finished on the device; the session's grabber reads
    // it (the session gives its surface back before the device goes). False, with
    // a one-line reason, ends the run as failed.
    virtual bool TakeFrame(long long frame, IDirect3DDevice9* device, FrameGrabber& grabber, std::string& error) = 0;
    // True once `framesDrawn` frames are all it needs.
    virtual bool Done(long long framesDrawn) const = 0;
};

// Runs the real intro (window, device, Demo, post-processing, the entry's own
// start-up, loop and shutdown) on a fixed frame time, writes the frames asked for,
// keeps the music when asked, and measures frame times for --bench. Messages go to
// err, the bench line to out. `started` is when the process started its work: the
// start-up time is measured from there. With a recorder, the recorder sets the
// frame times and the run goes on until it is done. Returns the exit status: 0,
// or 1 when anything asked for could not be done.
int RunCaptureSession(const CaptureOptions& options, std::chrono::steady_clock::time_point started, FILE* out,
                      FILE* err, FrameRecorder* recorder = nullptr);
