#include "CaptureOptions.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

const char* const CAPTURE_USAGE =
    "Usage: skelvane-capture --at T1,T2,... --out DIR [OPTION]...\n"
    "  --at        demo times in seconds; each frame is written as DIR/frame-T.png\n"
    "  --out       the folder for the frames (made when missing)\n"
    "  --frame-ms  the fixed frame time the timeline runs on (default 16)\n"
    "  --bench     runs the main part for that many seconds and prints frame times\n"
    "  --audio     writes the music of the captured time span as a WAV file\n"
    "  --audio-seconds  lets the music go on to S seconds when the frames end sooner\n"
    "  --progress  shows a progress line on stderr\n";

namespace {

const double LONGEST_TIME = 24.0 * 3600.0;
const double LONGEST_BENCH = 3600.0;
const double LONGEST_AUDIO = 3600.0;
const int LONGEST_FRAME_MS = 10000;
// Half a millisecond: well above the rounding of float frame-time sums over an
// hour, well below the shortest frame.
const double REACH_TOLERANCE = 0.0005;

}  // namespace

bool ParseNumber(const std::string& text, double& value)
{
    if (text.empty() || std::isspace(static_cast<unsigned char>(text[0])))
        return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtod(text.c_str(), &end);
    return errno == 0 && end && *end == '\0' && std::isfinite(value);
}

namespace {

bool ParseTimes(const std::string& list, std::vector<double>& times, std::string& error)
{
    size_t start = 0;
    while (start <= list.size()) {
        size_t comma = list.find(',', start);
        if (comma == std::string::npos)
            comma = list.size();
        const std::string item = list.substr(start, comma - start);
        double t = 0.0;
        if (!ParseNumber(item, t) || t < 0.0 || t > LONGEST_TIME) {
            error = "--at: \"" + item + "\" is not a demo time in seconds (0 to 86400)";
            return false;
        }
        times.push_back(t);
        start = comma + 1;
    }
    std::sort(times.begin(), times.end());
    // Times that name the same file are one capture.
    times.erase(std::unique(times.begin(), times.end(),
                            [](double a, double b) { return FrameFileName(a) == FrameFileName(b); }),
                times.end());
    return true;
}

// A length of time above 0 and at most longest (whole) seconds; seconds is
// left as it was when the value is refused.
bool ParseSeconds(const std::string& name, const std::string& value, double longest, double& seconds,
                  std::string& error)
{
    double parsed = 0.0;
    if (!ParseNumber(value, parsed) || parsed <= 0.0 || parsed > longest) {
        error = name + ": \"" + value + "\" is not a number of seconds above 0, at most " +
                std::to_string(static_cast<long>(longest));
        return false;
    }
    seconds = parsed;
    return true;
}

}  // namespace

bool ParseCaptureOptions(int argc, const char* const* argv, CaptureOptions& options, std::string& error)
{
    options = CaptureOptions();
    bool haveAt = false;
    bool haveFrameMs = false;
    for (int i = 1; i < argc; ++i) {
        const std::string name = argv[i];
        if (name == "--progress") {
            options.progress = true;
            continue;
        }
        if (name != "--at" && name != "--out" && name != "--frame-ms" && name != "--bench" && name != "--audio" &&
            name != "--audio-seconds" && !IsVideoOption(name)) {
            error = "unknown option \"" + name + "\"";
            return false;
        }
        if (i + 1 >= argc) {
            error = name + " needs a value";
            return false;
        }
        const std::string value = argv[++i];
        if (IsVideoOption(name)) {
            if (!ParseVideoOption(name, value, options.video, error))
                return false;
        } else if (name == "--at") {
            if (!ParseTimes(value, options.times, error))
                return false;
            haveAt = true;
        } else if (name == "--out") {
            if (value.empty()) {
                error = "--out needs a folder";
                return false;
            }
            options.outDir = value;
        } else if (name == "--frame-ms") {
            double ms = 0.0;
            if (!ParseNumber(value, ms) || ms != std::floor(ms) || ms < 1.0 || ms > LONGEST_FRAME_MS) {
                error = "--frame-ms: \"" + value + "\" is not a whole number of milliseconds from 1 to 10000";
                return false;
            }
            options.frameMs = static_cast<int>(ms);
            haveFrameMs = true;
        } else if (name == "--bench") {
            if (!ParseSeconds(name, value, LONGEST_BENCH, options.benchSeconds, error))
                return false;
        } else if (name == "--audio-seconds") {
            if (!ParseSeconds(name, value, LONGEST_AUDIO, options.audioSeconds, error))
                return false;
        } else {
            if (value.empty()) {
                error = "--audio needs a file name";
                return false;
            }
            options.audioPath = value;
        }
    }
    if (haveAt && options.outDir.empty()) {
        error = "--at needs --out";
        return false;
    }
    if (options.audioSeconds > 0.0 && options.audioPath.empty()) {
        error = "--audio-seconds needs --audio";
        return false;
    }
    if (!CheckVideoOptions(options.video, error))
        return false;
    const bool framePath = haveAt || haveFrameMs || options.benchSeconds > 0.0 || !options.audioPath.empty();
    if (!options.video.path.empty() && framePath) {
        error =
            "--video keeps its own frame rate, sound and figures: it takes none of --at, --frame-ms, --bench, "
            "--audio";
        return false;
    }
    if (!haveAt && options.benchSeconds <= 0.0 && options.video.path.empty()) {
        error = "nothing to do: give --at, --bench or --video";
        return false;
    }
    return true;
}

std::string FrameFileName(double seconds)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.3f", seconds);
    std::string number = text;
    while (!number.empty() && number.back() == '0')
        number.pop_back();
    if (!number.empty() && number.back() == '.')
        number.pop_back();
    return "frame-" + number + ".png";
}

bool FrameReaches(float demoTime, double seconds)
{
    return static_cast<double>(demoTime) >= seconds - REACH_TOLERANCE;
}
