#pragma once

// The video capture's command line and the arithmetic of its frames and sound:
//
//     skelvane-capture --video OUT.mp4 [--fps 60] [--from S] [--to S] [--crf N]
//
// The timeline runs on whole milliseconds, so frame n of the video shows demo time
// from + n / fps rounded to the millisecond; the sound track is the music from
// demo time `from` on, sample for sample what the clocked wave-out plays.

#include <cstdint>
#include <string>

// The extension chooses the container and the codecs.
enum class VideoContainer {
    None,
    Mp4,       // .mp4: H.264 and AAC at 44,100 Hz
    Matroska,  // .mkv: VP9 and Opus
    WebM,      // .webm: VP9 and Opus
};

struct VideoOptions {
    std::string path;  // empty: no video
    VideoContainer container = VideoContainer::None;
    int fps = 60;
    int64_t fromMs = 0;
    int64_t toMs = -1;  // negative: the song's length plus the fade
    int crf = 18;
    std::string withoutVideo;  // the last of the other options given, which need --video
};

// True for the options above. The help text's lines for them (or the line that
// says this build has no video) are VIDEO_USAGE.
bool IsVideoOption(const std::string& name);
extern const char* const VIDEO_USAGE;

// Takes one option and its value; false with a one-line reason. With no video
// in this build, --video itself is refused.
bool ParseVideoOption(const std::string& name, const std::string& value, VideoOptions& video, std::string& error);

// After all options: false with a one-line reason when --fps, --from, --to or
// --crf come without --video, or --to does not come after --from.
bool CheckVideoOptions(const VideoOptions& video, std::string& error);

// The container a file name asks for; None for any other extension.
VideoContainer ContainerOf(const std::string& path);

// How long the picture and the sound fade out at the end of every video.
const int64_t VIDEO_FADE_MS = 2000;

// Which frames a video capture draws. The intro starts at demo time 0 and runs at
// the video's frame rate up to `from` without recording ("lead" frames), then
// records `frames` frames. Drawn frame 0 has no length: the first frame shows
// demo time 0, as frame n then shows n / fps.
struct VideoSchedule {
    int fps = 60;
    int64_t fromMs = 0;
    int64_t leadFrames = 0;
    int64_t frames = 0;
};

// False with a one-line reason when the span holds no frame or lies beyond the
// longest capture.
bool MakeVideoSchedule(int fps, int64_t fromMs, int64_t toMs, VideoSchedule& schedule, std::string& error);

// The demo time of drawn frame i (lead frames first), in milliseconds, and the
// length of that frame.
int64_t DrawnFrameDemoMs(const VideoSchedule& schedule, int64_t drawn);
int DrawnFrameMs(const VideoSchedule& schedule, int64_t drawn);

// Music frames (stereo samples at 44,100 Hz) from the start to a demo time: the
// clocked wave-out's position once the frames up to that time are drawn.
int64_t MusicFramesAt(int64_t demoMs);
// The sound track: it starts at this music frame and lasts as long as the frames.
int64_t FirstMusicFrame(const VideoSchedule& schedule);
int64_t SoundFrames(const VideoSchedule& schedule);

// The level (1 = untouched, 0 = black or silent) at `elapsed` of `length` units
// of the video: a straight fall over the last VIDEO_FADE_MS, or over all of a
// shorter video.
double FadeLevel(int64_t elapsed, int64_t length, int64_t unitsPerSecond);
