#include "CaptureOptions.h"
#include "CaptureSession.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

// skelvane-capture: renders the intro on a fixed frame time and writes frames,
// music and frame-time figures (CaptureOptions.h has the command line).
int main(int argc, char** argv)
{
    const auto started = std::chrono::steady_clock::now();
    CaptureOptions options;
    std::string error;
    if (!ParseCaptureOptions(argc, argv, options, error)) {
        std::fprintf(stderr, "skelvane-capture: %s\n%s", error.c_str(), CAPTURE_USAGE);
        return 2;
    }
    const int status = RunCaptureSession(options, started, stdout, stderr);
    // As the intro ends: the music's mixing thread stops with the process, and no
    // static object is torn down under it.
    std::fflush(nullptr);
    std::_Exit(status);
}
