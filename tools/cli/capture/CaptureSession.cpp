#include "CaptureSession.h"

#include "BenchFigures.h"
#include "DrawingApi.h"
#include "CGfxD3D.h"
#include "CPostProcess.h"
#include "CaptureProgress.h"
#include "CaptureWaveOut.h"
#include "Demo.h"
#include "DemoTimeline.h"
#include "FrameClock.h"
#include "FrameGrabber.h"
#include "Intro.h"
#include "OutputFolder.h"
#include "PngFile.h"
#include "ReportError.h"
#include "Terminal.h"
#include "Xm2Wav.h"

#include <Mixer.h>

#include <algorithm>
#include <cmath>
#include <new>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// The steps are plain functions, so the session they share is process-wide.
struct Session {
    CaptureOptions options;
    Clock::time_point started;
    FILE* err = nullptr;

    Demo* pDemo = nullptr;
    FrameRecorder* pRecorder = nullptr;
    FrameGrabber grabber;
    std::vector<uint32_t> pixels;
    size_t nextCapture = 0;
    long long framesDrawn = 0;
    int64_t demoMs = 0;     // the frame times of the frames drawn, added up
    bool finished = false;  // everything asked for is done; the loop was told to quit
    bool failed = false;
    int errorReports = 0;

    double startupSeconds = -1.0;
    Clock::time_point lastPresent;
    bool benchStarted = false;
    std::string drawnWith;
    Clock::time_point benchStart;
    std::vector<double> frameMs;

    CaptureProgress* pProgress = nullptr;  // null without --progress
};

Session s_session;

double SecondsBetween(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double>(to - from).count();
}

// Starts a message on a line of its own when the progress line is open.
const char* LineBreak()
{
    return s_session.pProgress && s_session.pProgress->LineOpen() ? "\n" : "";
}

// The error box would wait for a viewer no batch run has: the report goes to
// stderr, the run goes on as after Ignore, and the exit status tells.
int WINAPI ReportToStderr(HWND, LPCSTR text, LPCSTR caption, UINT)
{
    ++s_session.errorReports;
    std::fprintf(s_session.err, "%s%s: %s\n", LineBreak(), caption ? caption : "", text ? text : "");
    return IDIGNORE;
}

double LastCaptureTime()
{
    return s_session.options.times.empty() ? 0.0 : s_session.options.times.back();
}

void Fail(const std::string& message)
{
    Session& s = s_session;
    std::fprintf(s.err, "%sskelvane-capture: %s\n", LineBreak(), message.c_str());
    s.failed = true;
    s.finished = true;
    PostQuitMessage(1);
}

// Writes every capture whose time the frame has reached (several times may
// fall on one frame).
void WriteDueCaptures(float demoTime)
{
    Session& s = s_session;
    bool grabbed = false;
    UINT width = 0, height = 0;
    while (!s.failed && s.nextCapture < s.options.times.size() &&
           FrameReaches(demoTime, s.options.times[s.nextCapture])) {
        if (!grabbed && !s.grabber.Grab(CGfxD3D::GetDevice(), s.pixels, width, height)) {
            Fail("could not read the back buffer");
            return;
        }
        grabbed = true;
        const std::string path = s.options.outDir + "/" + FrameFileName(s.options.times[s.nextCapture]);
        if (!WritePng(path, s.pixels.data(), static_cast<int>(width), static_cast<int>(height))) {
            Fail("could not write " + path);
            return;
        }
        ++s.nextCapture;
    }
}

// The length of drawn frame `frame` (0 first): the recorder's, or --frame-ms.
int FrameMs(long long frame)
{
    return s_session.pRecorder ? s_session.pRecorder->FrameMs(frame) : s_session.options.frameMs;
}

bool InitDevice()
{
    return CGfxD3D::Init();
}

void ShutdownDevice()
{
    CGfxD3D::Shutdown();
}

bool CreateDemo()
{
    // The music starts inside the Demo's constructor: the device must be in place first.
    InstallCaptureWaveOut(!s_session.options.audioPath.empty() || s_session.pRecorder);
    s_session.pDemo = new (std::nothrow) Demo();
    return s_session.pDemo != nullptr;
}

void DrawDemoFrame()
{
    s_session.pDemo->Frame();
}

void InitPostProcess()
{
    CPostProcess::Init();
}

void ShutdownPostProcess()
{
    s_session.grabber.Release();
    CPostProcess::Shutdown();
}

void EndFrame()
{
    Session& s = s_session;
    if (s.finished) {
        // The quit message is on its way; this frame is not part of the run.
        CGfxD3D::EndFrame();
        return;
    }
    CGfxD3D::DrawFadeOverlay();
    const float demoTime = s.pDemo->GetDemoTime();
    const size_t capturesBefore = s.nextCapture;
    WriteDueCaptures(demoTime);
    std::string error;
    if (!s.failed && s.pRecorder && !s.pRecorder->TakeFrame(s.framesDrawn, CGfxD3D::GetDevice(), s.grabber, error))
        Fail(error);
    CGfxD3D::Present();
    s.demoMs += FrameMs(s.framesDrawn);
    ++s.framesDrawn;
    FixFrameTime(FrameMs(s.framesDrawn));
    // The demo time in whole milliseconds, so the music's count is exact however long the run.
    if (!PlayCaptureWaveOutTo(MusicFramesAt(s.demoMs)))
        Fail("the music's mixing thread stopped keeping up");

    const Clock::time_point now = Clock::now();
    if (s.startupSeconds < 0.0) {
        s.startupSeconds = SecondsBetween(s.started, now);
        s.drawnWith = DrawingApiName(CGfxD3D::GetDevice());
    }
    if (s.options.benchSeconds > 0.0 && demoTime >= TITLE_CARD_SECONDS) {
        if (!s.benchStarted) {
            s.benchStarted = true;
            s.benchStart = now;
        } else if (s.nextCapture == capturesBefore) {
            // A frame that wrote a PNG measures the file, not the drawing.
            s.frameMs.push_back(SecondsBetween(s.lastPresent, now) * 1000.0);
        }
    }
    s.lastPresent = now;
    if (s.pProgress)
        s.pProgress->Update(SecondsBetween(s.started, now), demoTime, s.nextCapture, s.frameMs.size());

    const bool capturesDone = s.nextCapture >= s.options.times.size();
    const bool benchDone = s.options.benchSeconds <= 0.0 ||
                           (s.benchStarted && SecondsBetween(s.benchStart, now) >= s.options.benchSeconds);
    const bool recorderDone = !s.pRecorder || s.pRecorder->Done(s.framesDrawn);
    if (!s.finished && capturesDone && benchDone && recorderDone) {
        s.finished = true;
        PostQuitMessage(0);
    }
}

const IntroSteps CAPTURE_STEPS = {
    &InitDevice, &ShutdownDevice, &CreateDemo, &DrawDemoFrame, &InitPostProcess, &ShutdownPostProcess, &EndFrame,
};

}  // namespace

int RunCaptureSession(const CaptureOptions& options, Clock::time_point started, FILE* out, FILE* err,
                      FrameRecorder* recorder)
{
    Session& s = s_session;
    s.options = options;
    s.pRecorder = recorder;
    s.started = started;
    s.err = err;
    if (!options.times.empty() && !MakeOutputFolder(options.outDir)) {
        std::fprintf(err, "skelvane-capture: could not make the folder %s\n", options.outDir.c_str());
        return 1;
    }
    CaptureRunShape shape;
    shape.framesAsked = options.times.size();
    shape.lastCaptureTime = LastCaptureTime();
    // The title card draws far faster than the main part: its pace would promise
    // a fraction of the real time.
    shape.estimateFrom = TITLE_CARD_SECONDS;
    shape.bench = options.benchSeconds > 0.0;
    CaptureProgress progress(err, IsTerminal(err), shape);
    if (options.progress)
        s.pProgress = &progress;
    SetMessageBoxProc(&ReportToStderr);
    FixFrameTime(FrameMs(0));

    RunIntro(CAPTURE_STEPS);
    if (s.pProgress)
        s.pProgress->Finish();
    s.pProgress = nullptr;

    if (s.framesDrawn == 0 && !s.failed) {
        std::fprintf(err, "skelvane-capture: the intro drew no frame (no Direct3D device: is there a display?)\n");
        return 1;
    }
    if (!s.finished) {
        std::fprintf(err,
                     "skelvane-capture: the intro ended after %lld frames, before the run was done "
                     "(the window lost the focus, was closed, or Escape was pressed)\n",
                     s.framesDrawn);
        s.failed = true;
    }
    if (!options.audioPath.empty()) {
        if (!CaptureWaveOutOpen())
            std::fprintf(err, "skelvane-capture: the music did not start; %s holds silence\n",
                         options.audioPath.c_str());
        // The music may go on after the last frame; the window is gone, the mixing
        // thread still plays.
        const int64_t musicFrames = std::max<int64_t>(MusicFramesAt(s.demoMs),
                                                      std::llround(options.audioSeconds * MixRate));
        if (!PlayCaptureWaveOutTo(musicFrames)) {
            std::fprintf(err, "skelvane-capture: the music's mixing thread stopped keeping up\n");
            s.failed = true;
        }
        std::vector<int16_t> pcm = CapturedPcm();
        pcm.resize(static_cast<size_t>(musicFrames) * 2, 0);
        if (!WriteWavFile(options.audioPath.c_str(), pcm)) {
            std::fprintf(err, "skelvane-capture: could not write %s\n", options.audioPath.c_str());
            s.failed = true;
        }
    }
    if (s.errorReports > 0) {
        std::fprintf(err, "skelvane-capture: %d error report%s during the run\n", s.errorReports,
                     s.errorReports == 1 ? "" : "s");
        s.failed = true;
    }
    if (options.benchSeconds > 0.0) {
        std::fprintf(out, "%s\n",
                     FormatBenchLine(ComputeBenchFigures(s.frameMs), s.startupSeconds, s.drawnWith).c_str());
        std::fflush(out);
    }
    return s.failed ? 1 : 0;
}
