#include "CGfxD3D.h"
#include "CPostProcess.h"
#include "CaptureWaveOut.h"
#include "Demo.h"
#include "Display.h"
#include "FrameClock.h"
#include "FrameGrabber.h"
#include "Intro.h"
#include "MessageBoxSpy.h"
#include "TextScroller.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <new>
#include <string>
#include <vector>

// The real Demo, device and post-processing run by the entry's own loop in this
// process, on a clock the test scripts frame by frame: the timeline's edges
// (a first frame of no length, the last millisecond of the title card, the
// first of the main part, the fade counted in frames, a frame of no time, a
// long stall) as the intro draws them.
namespace {

struct ScriptedFrame {
    int milliseconds;
    const char* grab;  // a name to keep the frame under, or null
};

struct Observed {
    float demoTime = 0.0f;
    int fadeLevel = 0;
    int deviceFadeLevel = 0;
    int textPosition = 0;
    float scrollOffset = 0.0f;
    float cubeRamp = 0.0f;
};

std::vector<ScriptedFrame> s_script;
size_t s_frame = 0;  // frames drawn
int s_counterReads = 0;
LONGLONG s_counterMs = 0;
Demo* s_pDemo = nullptr;
FrameGrabber s_grabber;
std::vector<Observed> s_observed;
std::map<std::string, std::vector<uint32_t>> s_grabbed;
bool s_finished = false;
std::string s_failure;

// A millisecond counter that moves by the script: the clock reads it once when it
// starts and once for the tick before the loop; from then on every tick ends one
// scripted frame.
LONGLONG ScriptedCounter()
{
    ++s_counterReads;
    if (s_counterReads > 2 && s_frame < s_script.size())
        s_counterMs += s_script[s_frame].milliseconds;
    return s_counterMs;
}

bool InitDevice()
{
    return CGfxD3D::Init();
}

bool CreateDemo()
{
    InstallCaptureWaveOut(false);  // the music plays to nothing, whatever the machine has
    StartFrameClockWith(1000, &ScriptedCounter);
    s_pDemo = new (std::nothrow) Demo();
    return s_pDemo != nullptr;
}

void DrawDemoFrame()
{
    s_pDemo->Frame();
}

void EndFrame()
{
    CGfxD3D::DrawFadeOverlay();
    if (!s_finished) {
        Observed o;
        o.demoTime = s_pDemo->GetDemoTime();
        o.fadeLevel = s_pDemo->GetFadeLevel();
        o.deviceFadeLevel = CGfxD3D::GetFadeLevel();
        o.cubeRamp = s_pDemo->GetCubeRampTime();
        if (TextScroller* scroller = s_pDemo->GetScroller()) {
            o.textPosition = scroller->GetTextPosition();
            o.scrollOffset = scroller->GetScrollOffset();
        }
        s_observed.push_back(o);
        if (const char* name = s_script[s_frame].grab) {
            std::vector<uint32_t> pixels;
            UINT width = 0, height = 0;
            if (!s_grabber.Grab(CGfxD3D::GetDevice(), pixels, width, height) || width != 1024 || height != 768)
                s_failure = std::string("could not read frame ") + name;
            s_grabbed[name] = pixels;
        }
        if (++s_frame == s_script.size()) {
            s_finished = true;
            PostQuitMessage(0);
        }
    }
    CGfxD3D::Present();
}

void ShutdownPostProcess()
{
    s_grabber.Release();
    CPostProcess::Shutdown();
}

const IntroSteps TIMELINE_STEPS = {&InitDevice,         &CGfxD3D::Shutdown,   &CreateDemo, &DrawDemoFrame,
                                   &CPostProcess::Init, &ShutdownPostProcess, &EndFrame};

const int FADE_FRAMES = 128;

class IntroTimeline : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (!HasDisplay())
            return;
        // The title card: a first frame of no length, half a second, then the
        // last millisecond before ten seconds and the first of the main part.
        s_script = {{0, "zero length"},
                    {500, "half a second"},
                    {9499, "last title millisecond"},
                    {1, "first main-part frame"}};
        // The rest of the fade, and on in longer steps until every cube has grown
        // in (11 s into the main part).
        for (int i = 1; i < FADE_FRAMES + 40; ++i)
            s_script.push_back({16, nullptr});
        for (int i = 0; i < 180; ++i)
            s_script.push_back({50, nullptr});
        s_script.back().grab = "before the still frame";
        s_script.push_back({0, "still frame"});
        s_script.push_back({5000, nullptr});  // a long stall
        for (int i = 0; i < 3; ++i)
            s_script.push_back({0, nullptr});

        MessageBoxSpy boxes(IDIGNORE);
        RunIntro(TIMELINE_STEPS);
        UseFixedFrameTime(0);
        if (!boxes.shown.empty())
            s_failure = "error box: " + boxes.shown.front().text;
    }

    void SetUp() override
    {
        REQUIRE_DISPLAY();
        ASSERT_TRUE(s_failure.empty()) << s_failure;
        ASSERT_TRUE(s_finished) << "the loop ended after " << s_frame << " of " << s_script.size() << " frames";
    }

    static const std::vector<uint32_t>& Grabbed(const char* name) { return s_grabbed.at(name); }
    // The frame index of a scripted grab.
    static size_t FrameOf(const char* name)
    {
        for (size_t i = 0; i < s_script.size(); ++i)
            if (s_script[i].grab && std::string(s_script[i].grab) == name)
                return i;
        return 0;
    }
};

bool AllWhite(const std::vector<uint32_t>& pixels)
{
    return std::all_of(pixels.begin(), pixels.end(), [](uint32_t c) { return (c & 0x00FFFFFFu) == 0x00FFFFFFu; });
}

}  // namespace

TEST_F(IntroTimeline, AFirstFrameOfNoLengthIsPlainWhite)
{
    EXPECT_EQ(s_observed[0].demoTime, 0.0f);
    EXPECT_TRUE(AllWhite(Grabbed("zero length"))) << "the title at alpha 0 over the white clear";
    EXPECT_FALSE(AllWhite(Grabbed("half a second"))) << "half faded in";
}

TEST_F(IntroTimeline, TheLastMillisecondOfTheTitleCardIsStillTheTitleCard)
{
    const Observed& last = s_observed[FrameOf("last title millisecond")];
    EXPECT_LT(last.demoTime, 10.0f);
    EXPECT_GT(last.demoTime, 9.99f);
    EXPECT_EQ(last.fadeLevel, 0) << "the fade waits for the main part";
    EXPECT_EQ(last.deviceFadeLevel, 255) << "no overlay over the title card";
    EXPECT_EQ(last.cubeRamp, 0.0f) << "the cubes wait for the main part";
    EXPECT_TRUE(AllWhite(Grabbed("last title millisecond"))) << "faded out: white";
}

TEST_F(IntroTimeline, TenSecondsIsTheMainPartUnderAlmostWhite)
{
    const Observed& first = s_observed[FrameOf("first main-part frame")];
    EXPECT_GE(first.demoTime, 10.0f);
    EXPECT_EQ(first.fadeLevel, 2);
    EXPECT_EQ(first.deviceFadeLevel, 2);
    // The scene under white at alpha 253: every channel at least 253 of 255, and
    // not all of it white.
    const std::vector<uint32_t>& pixels = Grabbed("first main-part frame");
    int darkest = 255;
    for (uint32_t c : pixels)
        darkest = std::min({darkest, static_cast<int>((c >> 16) & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                            static_cast<int>(c & 0xFF)});
    EXPECT_GE(darkest, 252);
    EXPECT_FALSE(AllWhite(pixels));
}

TEST_F(IntroTimeline, TheFadeIsCountedInFrames)
{
    const size_t first = FrameOf("first main-part frame");
    for (size_t k = 0; k < 200; ++k) {
        const int expected = std::min(255, 2 * static_cast<int>(k + 1));
        ASSERT_EQ(s_observed[first + k].fadeLevel, expected) << "main-part frame " << k + 1;
        ASSERT_EQ(s_observed[first + k].deviceFadeLevel, expected) << "main-part frame " << k + 1;
    }
    EXPECT_EQ(s_observed[first + 126].fadeLevel, 254) << "after 127 frames";
    EXPECT_EQ(s_observed[first + 127].fadeLevel, 255) << "on the 128th";
    EXPECT_EQ(s_observed.back().fadeLevel, 255) << "and it stays";
}

TEST_F(IntroTimeline, AFrameOfNoTimeLeavesThePictureUnchanged)
{
    const Observed& before = s_observed[FrameOf("before the still frame")];
    const Observed& still = s_observed[FrameOf("still frame")];
    EXPECT_EQ(still.demoTime, before.demoTime);
    EXPECT_EQ(still.cubeRamp, before.cubeRamp);
    EXPECT_GE(before.cubeRamp, 0.2f * 11.0f) << "every cube has grown in";
    EXPECT_EQ(still.textPosition, before.textPosition);
    EXPECT_EQ(still.scrollOffset, before.scrollOffset);
    const std::vector<uint32_t>& a = Grabbed("before the still frame");
    const std::vector<uint32_t>& b = Grabbed("still frame");
    size_t differing = 0;
    for (size_t i = 0; i < a.size(); ++i)
        differing += (a[i] & 0x00FFFFFFu) != (b[i] & 0x00FFFFFFu);
    EXPECT_EQ(differing, 0u);
}

TEST_F(IntroTimeline, ALongStallMovesTheTextByOneCharacterAtATime)
{
    const size_t stall = FrameOf("still frame") + 1;
    const Observed& before = s_observed[stall - 1];
    const Observed& after = s_observed[stall];
    EXPECT_NEAR(after.demoTime - before.demoTime, 5.0f, 1e-3f);
    EXPECT_NEAR(after.cubeRamp - before.cubeRamp, 1.0f, 1e-4f) << "the cubes jump with the time";
    EXPECT_EQ(after.textPosition, before.textPosition + 1) << "one character per frame at most";
    EXPECT_GT(after.scrollOffset, 5.0f) << "ten glyph units of travel, one worked off";
    // The leftover is worked off one character per frame, even at no time.
    for (size_t k = 1; k <= 3; ++k)
        EXPECT_EQ(s_observed[stall + k].textPosition, after.textPosition + static_cast<int>(k));
}
