#include "VideoOptions.h"

#include "CaptureOptions.h"

#include <Mixer.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>

#if SKV_CAPTURE_VIDEO
const char* const VIDEO_USAGE =
    "   or: skelvane-capture --video OUT.mp4 [--fps 60] [--from S] [--to S] [--crf N]\n"
    "  --video     records the intro with its music: .mp4 holds H.264 and AAC, .mkv\n"
    "              and .webm hold VP9 and Opus; picture and sound fade out over the\n"
    "              last two seconds\n"
    "  --fps       frames per second, 1 to 240 (default 60)\n"
    "  --from      the demo time the video starts at (default 0); the intro runs up\n"
    "              to it unrecorded, and the sound is the music as it plays from there:\n"
    "              the music starts with the intro, so --from 20 starts 20 s into it\n"
    "  --to        the demo time it ends at (default: the song's length, where it\n"
    "              starts over, plus the two seconds of the fade)\n"
    "  --crf       the picture's quality, 0 (best) to 51 (default 18)\n";
#else
const char* const VIDEO_USAGE =
    "  --video     (recording a video is not part of this build: FFmpeg's libraries are Linux only)\n";
#endif

namespace {

const int LONGEST_VIDEO_MS = 3600 * 1000;
const int HIGHEST_FPS = 240;
const int HIGHEST_CRF = 51;

// A time in whole milliseconds, the unit the timeline runs on.
bool ParseTime(const std::string& name, const std::string& value, int64_t& ms, std::string& error)
{
    double seconds = 0.0;
    if (!ParseNumber(value, seconds) || seconds < 0.0 || seconds > LONGEST_VIDEO_MS / 1000) {
        error = name + ": \"" + value + "\" is not a demo time in seconds (0 to 3600)";
        return false;
    }
    ms = std::llround(seconds * 1000.0);
    return true;
}

bool ParseWhole(const std::string& name, const std::string& value, int low, int high, int& result, std::string& error)
{
    double number = 0.0;
    if (!ParseNumber(value, number) || number != std::floor(number) || number < low || number > high) {
        error = name + ": \"" + value + "\" is not a whole number from " + std::to_string(low) + " to " +
                std::to_string(high);
        return false;
    }
    result = static_cast<int>(number);
    return true;
}

std::string LowerExtension(const std::string& path)
{
    const size_t dot = path.find_last_of('.');
    const size_t slash = path.find_last_of("/\\");
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return "";
    std::string extension = path.substr(dot);
    for (char& c : extension)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return extension;
}

std::string Seconds(int64_t ms)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g s", static_cast<double>(ms) / 1000.0);
    return text;
}

// round(i x 1000 / fps) in whole numbers.
int64_t RoundedFrameMs(int64_t i, int fps)
{
    return (2000 * i + fps) / (2 * fps);
}

}  // namespace

bool IsVideoOption(const std::string& name)
{
    return name == "--video" || name == "--fps" || name == "--from" || name == "--to" || name == "--crf";
}

VideoContainer ContainerOf(const std::string& path)
{
    const std::string extension = LowerExtension(path);
    if (extension == ".mp4")
        return VideoContainer::Mp4;
    if (extension == ".mkv")
        return VideoContainer::Matroska;
    if (extension == ".webm")
        return VideoContainer::WebM;
    return VideoContainer::None;
}

bool ParseVideoOption(const std::string& name, const std::string& value, VideoOptions& video, std::string& error)
{
    if (name == "--video") {
#if SKV_CAPTURE_VIDEO
        video.container = ContainerOf(value);
        if (video.container == VideoContainer::None) {
            error = "--video: \"" + value + "\" does not end in .mp4, .mkv or .webm";
            return false;
        }
        video.path = value;
        return true;
#else
        error = "--video: recording a video is not part of this build (FFmpeg's libraries are Linux only)";
        return false;
#endif
    }
    video.withoutVideo = name;
    if (name == "--fps")
        return ParseWhole(name, value, 1, HIGHEST_FPS, video.fps, error);
    if (name == "--crf")
        return ParseWhole(name, value, 0, HIGHEST_CRF, video.crf, error);
    return ParseTime(name, value, name == "--from" ? video.fromMs : video.toMs, error);
}

bool CheckVideoOptions(const VideoOptions& video, std::string& error)
{
    if (video.path.empty()) {
        if (!video.withoutVideo.empty())
            error = video.withoutVideo + " needs --video";
        return video.withoutVideo.empty();
    }
    if (video.toMs >= 0 && video.toMs <= video.fromMs) {
        error = "--to must come after --from";
        return false;
    }
    return true;
}

bool MakeVideoSchedule(int fps, int64_t fromMs, int64_t toMs, VideoSchedule& schedule, std::string& error)
{
    if (fps < 1 || fromMs < 0 || toMs <= fromMs) {
        error = "the video would end at " + Seconds(toMs) + ", before it starts at " + Seconds(fromMs);
        return false;
    }
    schedule = VideoSchedule();
    schedule.fps = fps;
    schedule.fromMs = fromMs;
    schedule.frames = ((toMs - fromMs) * fps + 500) / 1000;
    if (schedule.frames < 1) {
        error = "the video from " + Seconds(fromMs) + " to " + Seconds(toMs) + " holds no frame at " +
                std::to_string(fps) + " frames per second";
        return false;
    }
    // The lead frames: those of the frame rate's own grid that come before `from`.
    int64_t lead = std::max<int64_t>(0, fromMs * fps / 1000 - 1);
    while (RoundedFrameMs(lead, fps) < fromMs)
        ++lead;
    schedule.leadFrames = lead;
    return true;
}

int64_t DrawnFrameDemoMs(const VideoSchedule& schedule, int64_t drawn)
{
    if (drawn < schedule.leadFrames)
        return RoundedFrameMs(drawn, schedule.fps);
    return schedule.fromMs + RoundedFrameMs(drawn - schedule.leadFrames, schedule.fps);
}

int DrawnFrameMs(const VideoSchedule& schedule, int64_t drawn)
{
    const int64_t before = drawn > 0 ? DrawnFrameDemoMs(schedule, drawn - 1) : 0;
    return static_cast<int>(DrawnFrameDemoMs(schedule, drawn) - before);
}

int64_t MusicFramesAt(int64_t demoMs)
{
    return demoMs * MixRate / 1000;
}

int64_t FirstMusicFrame(const VideoSchedule& schedule)
{
    return MusicFramesAt(schedule.fromMs);
}

int64_t SoundFrames(const VideoSchedule& schedule)
{
    return (schedule.frames * MixRate + schedule.fps / 2) / schedule.fps;
}

double FadeLevel(int64_t elapsed, int64_t length, int64_t unitsPerSecond)
{
    const int64_t fade = std::min(length, VIDEO_FADE_MS * unitsPerSecond / 1000);
    if (fade <= 0)
        return 1.0;
    return std::clamp(static_cast<double>(length - elapsed) / static_cast<double>(fade), 0.0, 1.0);
}
