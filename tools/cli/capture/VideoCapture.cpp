#include "VideoCapture.h"

#include "CaptureSession.h"
#include "CaptureWaveOut.h"
#include "Music.h"
#include "ResourceIds.h"
#include "Terminal.h"
#include "VideoProgress.h"
#include "VideoWriter.h"

#include <Player.h>
#include <SongLength.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

const int VIDEO_WIDTH = 1024;
const int VIDEO_HEIGHT = 768;
const double PCM_SCALE = 1.0 / 32768.0;

double SecondsBetween(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double>(to - from).count();
}

// Where the intro's music first comes back to a row it has played, as xm2wav
// finds it: the default end of a video, before its fade.
bool SongEndMs(int64_t& ms, std::string& error)
{
    MusicHandle* music = LoadMusic(RESOURCE_MUSIC);
    if (!music || !music->song) {
        error = "the intro's music could not be loaded, so the video has no length: give --to";
        delete music;
        return false;
    }
    const int64_t limit = int64_t(3600) * MixRate;
    const SongLength length = FindSongLength(music->song, 0, limit);
    FreeSong(music->song);
    delete music;
    if (!length.found) {
        error = "the intro's music does not come back to a row it has played within an hour: give --to";
        return false;
    }
    ms = (length.songFrames * 1000 + MixRate - 1) / MixRate;
    return true;
}

// Seconds spent in each step of the recorded frames.
//
// Reading the back buffer first waits for the drawing to finish, which with a
// software renderer is most of the drawing: a copy of a finished picture costs a
// few percent of that. So every tenth frame is read twice, and the second copy
// times the read-back; the first counts as drawing, less that time.
struct StepTimes {
    double render = 0.0;   // drawing and the first read, presenting, the music, the message loop
    int64_t rendered = 0;  // frames whose drawing followed a recorded frame
    double readBack = 0.0;
    int64_t readBacks = 0;
    double conversion = 0.0;
    double encode = 0.0;  // picture and sound
    int64_t recorded = 0;
};

const int READ_BACK_SAMPLING = 10;

class VideoRecorder : public FrameRecorder {
public:
    VideoRecorder(const VideoSchedule& schedule, VideoWriter& writer, VideoProgress& progress,
                  Clock::time_point started)
        : m_schedule(schedule), m_writer(writer), m_progress(progress), m_started(started), m_lastEnd(started)
    {
    }

    int FrameMs(long long frame) override { return DrawnFrameMs(m_schedule, frame); }

    bool Done(long long framesDrawn) const override { return framesDrawn >= m_schedule.leadFrames + m_schedule.frames; }

    bool TakeFrame(long long frame, IDirect3DDevice9* device, FrameGrabber& grabber, std::string& error) override
    {
        const int64_t n = frame - m_schedule.leadFrames;
        if (n >= 0 && n < m_schedule.frames && !Record(n, device, grabber, error)) {
            m_progress.EndLine();
            return false;
        }
        m_lastEnd = Clock::now();
        m_progress.Update(frame + 1, SecondsBetween(m_started, m_lastEnd));
        return true;
    }

    // The rest of the sound once the last frame is drawn.
    bool FinishSound(std::string& error)
    {
        if (!PlayCaptureWaveOutTo(FirstMusicFrame(m_schedule) + SoundFrames(m_schedule))) {
            error = "the music's mixing thread stopped keeping up";
            return false;
        }
        return WriteSound(true, error);
    }

    const StepTimes& Times() const { return m_times; }

private:
    bool Record(int64_t n, IDirect3DDevice9* device, FrameGrabber& grabber, std::string& error)
    {
        UINT width = 0, height = 0;
        if (!grabber.Grab(device, m_pixels, width, height)) {
            error = "could not read the back buffer";
            return false;
        }
        Clock::time_point grabbed = Clock::now();
        // The first recorded frame's drawing follows lead frames, not a recorded one.
        if (n > 0) {
            m_times.render += SecondsBetween(m_lastEnd, grabbed);
            ++m_times.rendered;
        }
        if (n % READ_BACK_SAMPLING == 0 && grabber.Grab(device, m_pixels, width, height)) {
            const Clock::time_point copied = Clock::now();
            m_times.readBack += SecondsBetween(grabbed, copied);
            ++m_times.readBacks;
            grabbed = copied;
        }
        if (width != VIDEO_WIDTH || height != VIDEO_HEIGHT) {
            error = "the back buffer is " + std::to_string(width) + " x " + std::to_string(height) + ", not 1024 x 768";
            return false;
        }
        if (!m_writer.ConvertPicture(m_pixels.data(), FadeLevel(n, m_schedule.frames, m_schedule.fps))) {
            error = "out of memory for the picture";
            return false;
        }
        const Clock::time_point converted = Clock::now();
        const bool ok = m_writer.EncodePicture(error) && WriteSound(false, error);
        const Clock::time_point encoded = Clock::now();
        m_times.conversion += SecondsBetween(grabbed, converted);
        m_times.encode += SecondsBetween(converted, encoded);
        ++m_times.recorded;
        return ok;
    }

    // The music kept so far that the sound track still lacks, faded; with `all`,
    // up to the track's end, silence where the music did not play.
    bool WriteSound(bool all, std::string& error)
    {
        const std::vector<int16_t>& pcm = CapturedPcm();
        const int64_t first = FirstMusicFrame(m_schedule);
        const int64_t length = SoundFrames(m_schedule);
        const int64_t kept = static_cast<int64_t>(pcm.size() / 2) - first;
        const int64_t end = all ? length : std::clamp<int64_t>(kept, 0, length);
        if (end <= m_soundWritten)
            return true;
        m_sound.resize(static_cast<size_t>(end - m_soundWritten) * 2);
        for (int64_t j = m_soundWritten; j < end; ++j) {
            const float level = static_cast<float>(FadeLevel(j, length, MixRate) * PCM_SCALE);
            const size_t at = static_cast<size_t>(j - m_soundWritten) * 2;
            const bool played = j < kept;
            m_sound[at] = played ? pcm[static_cast<size_t>(first + j) * 2] * level : 0.0f;
            m_sound[at + 1] = played ? pcm[static_cast<size_t>(first + j) * 2 + 1] * level : 0.0f;
        }
        const int64_t count = end - m_soundWritten;
        m_soundWritten = end;
        return m_writer.WriteSound(m_sound.data(), static_cast<int>(count), error);
    }

    VideoSchedule m_schedule;
    VideoWriter& m_writer;
    VideoProgress& m_progress;
    Clock::time_point m_started;
    Clock::time_point m_lastEnd;
    std::vector<uint32_t> m_pixels;
    std::vector<float> m_sound;
    int64_t m_soundWritten = 0;
    StepTimes m_times;
};

// Milliseconds per frame.
double Mean(double seconds, int64_t frames)
{
    return frames > 0 ? 1000.0 * seconds / static_cast<double>(frames) : 0.0;
}

std::string BenchLine(const StepTimes& t)
{
    const double readBack = Mean(t.readBack, t.readBacks);
    const double render = std::max(0.0, Mean(t.render, t.rendered) - readBack);
    const double conversion = Mean(t.conversion, t.recorded), encode = Mean(t.encode, t.recorded);
    const double total = render + readBack + conversion + encode;
    char line[400];
    std::snprintf(line, sizeof line,
                  "bench: %.2f frames per second of capture (%lld frames); per frame: render %.1f ms, read-back %.1f "
                  "ms, colour conversion %.1f ms, encode %.1f ms; conversion and encode %.0f %% of render",
                  total > 0.0 ? 1000.0 / total : 0.0, static_cast<long long>(t.recorded), render, readBack, conversion,
                  encode, render > 0.0 ? 100.0 * (conversion + encode) / render : 0.0);
    return line;
}

}  // namespace

int RecordVideo(const CaptureOptions& options, Clock::time_point started, FILE* out, FILE* err)
{
    const VideoOptions& video = options.video;
    std::string error;
    int64_t toMs = video.toMs;
    if (toMs < 0 && SongEndMs(toMs, error))
        toMs += VIDEO_FADE_MS;
    VideoSchedule schedule;
    VideoWriter writer;
    VideoFormat format;
    format.container = video.container;
    format.width = VIDEO_WIDTH;
    format.height = VIDEO_HEIGHT;
    format.fps = video.fps;
    format.crf = video.crf;
    if (!error.empty() || !MakeVideoSchedule(video.fps, video.fromMs, toMs, schedule, error) ||
        !writer.Open(video.path, format, error)) {
        std::fprintf(err, "skelvane-capture: %s\n", error.c_str());
        return 1;
    }

    VideoProgress progress(err, IsTerminal(err), schedule.leadFrames + schedule.frames);
    VideoRecorder recorder(schedule, writer, progress, Clock::now());
    CaptureOptions session = options;
    session.progress = false;  // the video's own progress shows
    int status = RunCaptureSession(session, started, out, err, &recorder);
    progress.EndLine();

    if (status == 0 && !CaptureWaveOutOpen())
        std::fprintf(err, "skelvane-capture: the music did not start; the video is silent\n");
    if (status == 0 && !(recorder.FinishSound(error) && writer.Finish(error))) {
        std::fprintf(err, "skelvane-capture: %s\n", error.c_str());
        status = 1;
    }
    if (status != 0) {
        writer.Abandon();
        std::fprintf(err, "skelvane-capture: %s was not kept\n", video.path.c_str());
    }
    std::fprintf(out, "%s\n", BenchLine(recorder.Times()).c_str());
    std::fflush(out);
    return status;
}
