#include "CaptureOptions.h"
#include "CaptureSession.h"
#include "ProgramInfo.h"
#if SKV_CAPTURE_VIDEO
#include "VideoCapture.h"
#endif

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

// skelvane-capture: renders the intro on a fixed frame time and writes frames,
// music and frame-time figures, or records it as a video (CaptureOptions.h and
// VideoOptions.h have the command line).
int main(int argc, char** argv)
{
    const auto started = std::chrono::steady_clock::now();
    const std::string usage = std::string(CAPTURE_USAGE) + VIDEO_USAGE;
    if (AnswerVersionOrHelp(argc, argv, "skelvane-capture", usage.c_str(), stdout))
        return 0;
    if (argc == 1) {
        PrintUsage(usage.c_str(), stderr);
        return 1;
    }
    CaptureOptions options;
    std::string error;
    if (!ParseCaptureOptions(argc, argv, options, error)) {
        std::fprintf(stderr, "skelvane-capture: %s (--help shows the usage)\n", error.c_str());
        return 1;
    }
#if SKV_CAPTURE_VIDEO
    const int status = options.video.path.empty() ? RunCaptureSession(options, started, stdout, stderr)
                                                  : RecordVideo(options, started, stdout, stderr);
#else
    const int status = RunCaptureSession(options, started, stdout, stderr);
#endif
    // As the intro ends: the music's mixing thread stops with the process, and no
    // static object is torn down under it.
    std::fflush(nullptr);
    std::_Exit(status);
}
