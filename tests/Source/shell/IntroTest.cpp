#include "Display.h"
#include "FrameClock.h"
#include "Intro.h"
#include "Keyboard.h"

#include "win/PlatformWindow.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

// The entry's start-up, loop and shutdown, run in this process with recording steps
// in place of the device, the post-processing and the Demo. Input arrives as SDL
// events, the way X delivers it to the stand-in layer.
namespace {

std::vector<std::string> s_calls;
int s_frames = 0;
bool s_deviceWorks = true;
bool s_demoAllocates = true;
bool s_shownAtPostProcess = false;
bool s_activeAtPostProcess = false;
float s_firstFrameTime = -1.0f;
void (*s_onFrame)(int frame) = nullptr;
void (*s_onPostProcessInit)() = nullptr;
HWND s_otherWindow = NULL;

bool InitDevice()
{
    s_calls.push_back("initDevice");
    return s_deviceWorks;
}
void ShutdownDevice()
{
    s_calls.push_back("shutdownDevice");
}
bool CreateDemo()
{
    s_calls.push_back("createDemo");
    Sleep(120);  // loading takes a while
    return s_demoAllocates;
}
void DrawDemoFrame()
{
    ++s_frames;
    if (s_frames == 1)
        s_firstFrameTime = GetFrameTime();
    if (s_onFrame)
        s_onFrame(s_frames);
}
void InitPostProcess()
{
    s_calls.push_back("initPostProcess");
    SDL_Window* window = GetSdlWindow(GetMainWindow());
    s_shownAtPostProcess = window && (SDL_GetWindowFlags(window) & SDL_WINDOW_SHOWN);
    s_activeAtPostProcess = GetActiveWindow() == GetMainWindow();
    if (s_onPostProcessInit)
        s_onPostProcessInit();
}
void ShutdownPostProcess()
{
    s_calls.push_back("shutdownPostProcess");
}
int s_endFrames = 0;
void EndFrame()
{
    ++s_endFrames;
    if (s_frames > 500)
        std::abort();  // the loop should have ended long ago
    Sleep(1);
}

const IntroSteps RECORDING_STEPS = {&InitDevice,      &ShutdownDevice,      &CreateDemo, &DrawDemoFrame,
                                    &InitPostProcess, &ShutdownPostProcess, &EndFrame};

void PushSdlKey(SDL_Scancode scancode, bool down)
{
    SDL_Event event = {};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.windowID = SDL_GetWindowID(GetSdlWindow(GetMainWindow()));
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.scancode = scancode;
    SDL_PushEvent(&event);
}

void ShowOtherWindow()
{
    WNDCLASSEXA c = {};
    c.cbSize = sizeof c;
    c.lpfnWndProc = &DefWindowProcA;
    c.hInstance = GetModuleHandleA(NULL);
    c.lpszClassName = "IntroTestOther";
    RegisterClassExA(&c);
    s_otherWindow = CreateWindowExA(0, "IntroTestOther", "", WS_POPUP, 0, 0, 64, 64, NULL, NULL, c.hInstance, NULL);
    ShowWindow(s_otherWindow, SW_SHOWDEFAULT);
}

class Intro : public testing::Test {
protected:
    void SetUp() override
    {
        REQUIRE_DISPLAY();
        s_calls.clear();
        s_frames = 0;
        s_endFrames = 0;
        s_deviceWorks = true;
        s_demoAllocates = true;
        s_shownAtPostProcess = false;
        s_activeAtPostProcess = false;
        s_firstFrameTime = -1.0f;
        s_onFrame = nullptr;
        s_onPostProcessInit = nullptr;
        s_otherWindow = NULL;
    }

    void TearDown() override
    {
        if (IsSkipped())
            return;
        // The entry leaves its window to the end of the process; a test cleans up.
        DestroyWindow(GetMainWindow());
        DestroyWindow(s_otherWindow);
        UnregisterClassA("IntroTestOther", GetModuleHandleA(NULL));
        MainWindowProc(NULL, WM_KEYUP, VK_ESCAPE, 0);
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
        }
    }

    static bool WasShown()
    {
        SDL_Window* window = GetSdlWindow(GetMainWindow());
        return window && (SDL_GetWindowFlags(window) & SDL_WINDOW_SHOWN);
    }

    static bool ClassIsUnregistered()
    {
        WNDCLASSEXA c = {};
        c.cbSize = sizeof c;
        c.lpfnWndProc = &DefWindowProcA;
        c.lpszClassName = "Skelvane";
        if (!RegisterClassExA(&c))
            return false;
        UnregisterClassA("Skelvane", NULL);
        return true;
    }
};

}  // namespace

TEST_F(Intro, EscapeEndsTheLoopWithoutDrawingThatIteration)
{
    s_onFrame = [](int frame) {
        if (frame == 3)
            PushSdlKey(SDL_SCANCODE_ESCAPE, true);
    };
    EXPECT_EQ(RunIntro(RECORDING_STEPS), 0);
    EXPECT_EQ(s_frames, 3);
    EXPECT_EQ(s_endFrames, 3);
    const std::vector<std::string> expected = {"initDevice", "createDemo", "initPostProcess", "shutdownPostProcess",
                                               "shutdownDevice"};
    EXPECT_EQ(s_calls, expected);
    EXPECT_TRUE(s_shownAtPostProcess) << "the window is shown before the targets are made";
    EXPECT_TRUE(s_activeAtPostProcess);
    EXPECT_TRUE(ClassIsUnregistered());
}

TEST_F(Intro, WindowIsTheTabledPopup)
{
    s_onFrame = [](int) { PushSdlKey(SDL_SCANCODE_ESCAPE, true); };
    RunIntro(RECORDING_STEPS);
    SDL_Window* window = GetSdlWindow(GetMainWindow());
    ASSERT_NE(window, nullptr);
    int w = 0, h = 0, x = 0, y = 0;
    SDL_GetWindowSize(window, &w, &h);
    SDL_GetWindowPosition(window, &x, &y);
    EXPECT_EQ(w, 1024);
    EXPECT_EQ(h, 768);
    EXPECT_EQ(x, 100);
    EXPECT_EQ(y, 100);
    EXPECT_TRUE(SDL_GetWindowFlags(window) & SDL_WINDOW_BORDERLESS);
    EXPECT_STREQ(SDL_GetWindowTitle(window), "");
}

TEST_F(Intro, FirstFrameDoesNotCountTheLoadingTime)
{
    s_onFrame = [](int frame) {
        if (frame == 2)
            PushSdlKey(SDL_SCANCODE_ESCAPE, true);
    };
    RunIntro(RECORDING_STEPS);
    EXPECT_GE(s_firstFrameTime, 0.0f);
    EXPECT_LT(s_firstFrameTime, 0.1f) << "the Demo took 120 ms to build";
}

TEST_F(Intro, OtherKeysDoNotEndIt)
{
    s_onFrame = [](int frame) {
        if (frame == 2) {
            PushSdlKey(SDL_SCANCODE_SPACE, true);
            PushSdlKey(SDL_SCANCODE_A, true);
            PushSdlKey(SDL_SCANCODE_ESCAPE, false);
        }
        if (frame == 6)
            PushSdlKey(SDL_SCANCODE_ESCAPE, true);
    };
    RunIntro(RECORDING_STEPS);
    EXPECT_EQ(s_frames, 6);
    EXPECT_TRUE(IsKeyDown(VK_SPACE));
    MainWindowProc(NULL, WM_KEYUP, VK_SPACE, 0);
    MainWindowProc(NULL, WM_KEYUP, 'A', 0);
}

TEST_F(Intro, QuitMessageEndsTheLoop)
{
    s_onFrame = [](int frame) {
        if (frame == 2)
            PostQuitMessage(0);
    };
    EXPECT_EQ(RunIntro(RECORDING_STEPS), 0);
    EXPECT_EQ(s_frames, 2);
}

TEST_F(Intro, ClosingTheWindowEndsTheLoop)
{
    s_onFrame = [](int frame) {
        if (frame == 2) {
            SDL_Event event = {};
            event.type = SDL_WINDOWEVENT;
            event.window.event = SDL_WINDOWEVENT_CLOSE;
            event.window.windowID = SDL_GetWindowID(GetSdlWindow(GetMainWindow()));
            SDL_PushEvent(&event);
        }
    };
    EXPECT_EQ(RunIntro(RECORDING_STEPS), 0);
    EXPECT_EQ(s_frames, 2);
    EXPECT_EQ(GetSdlWindow(GetMainWindow()), nullptr) << "the window was destroyed";
    EXPECT_EQ(s_calls.back(), "shutdownDevice");
}

TEST_F(Intro, AltF4EndsTheLoop)
{
    s_onFrame = [](int frame) {
        if (frame == 2) {
            SDL_Event event = {};
            event.type = SDL_KEYDOWN;
            event.key.windowID = SDL_GetWindowID(GetSdlWindow(GetMainWindow()));
            event.key.state = SDL_PRESSED;
            event.key.keysym.scancode = SDL_SCANCODE_F4;
            event.key.keysym.mod = KMOD_LALT;
            SDL_PushEvent(&event);
        }
    };
    EXPECT_EQ(RunIntro(RECORDING_STEPS), 0);
    EXPECT_EQ(s_frames, 2);
    EXPECT_EQ(GetSdlWindow(GetMainWindow()), nullptr);
    EXPECT_FALSE(IsKeyDown(VK_F4)) << "system keys are not recorded";
}

TEST_F(Intro, LosingActivationEndsTheLoop)
{
    s_onFrame = [](int frame) {
        if (frame == 4)
            ShowOtherWindow();
    };
    EXPECT_EQ(RunIntro(RECORDING_STEPS), 0);
    EXPECT_EQ(s_frames, 4);
    EXPECT_EQ(GetActiveWindow(), s_otherWindow);
}

TEST_F(Intro, AnotherActiveWindowAtTheFirstCheckAllowsOneIteration)
{
    s_onPostProcessInit = &ShowOtherWindow;
    EXPECT_EQ(RunIntro(RECORDING_STEPS), 0);
    EXPECT_EQ(s_frames, 1);
}

TEST_F(Intro, NoDeviceLeavesSilentlyWithoutShowingTheWindow)
{
    s_deviceWorks = false;
    EXPECT_EQ(RunIntro(RECORDING_STEPS), 0);
    const std::vector<std::string> expected = {"initDevice", "shutdownDevice"};
    EXPECT_EQ(s_calls, expected);
    EXPECT_FALSE(WasShown());
    EXPECT_EQ(s_frames, 0);
    EXPECT_TRUE(ClassIsUnregistered());
}

TEST_F(Intro, DemoAllocationFailureLeavesInOrder)
{
    s_demoAllocates = false;
    EXPECT_EQ(RunIntro(RECORDING_STEPS), 0);
    const std::vector<std::string> expected = {"initDevice", "createDemo", "shutdownDevice"};
    EXPECT_EQ(s_calls, expected);
    EXPECT_FALSE(WasShown());
    EXPECT_EQ(s_frames, 0);
    EXPECT_TRUE(ClassIsUnregistered());
}

TEST_F(Intro, RunInPartsDrawsOneFramePerCallAndEndsAsTheLoopDoes)
{
    ASSERT_TRUE(StartIntro(RECORDING_STEPS));
    EXPECT_TRUE(WasShown());
    for (int frame = 1; frame <= 3; ++frame) {
        // Messages waiting before a frame are taken in the same call.
        PushSdlKey(SDL_SCANCODE_SPACE, frame == 2);
        ASSERT_TRUE(RunIntroFrame());
        EXPECT_EQ(s_frames, frame);
        EXPECT_EQ(s_endFrames, frame);
    }
    PushSdlKey(SDL_SCANCODE_ESCAPE, true);
    EXPECT_FALSE(RunIntroFrame());
    EXPECT_EQ(s_frames, 3) << "Escape ends the run before another frame";
    StopIntro();
    const std::vector<std::string> expected = {"initDevice", "createDemo", "initPostProcess", "shutdownPostProcess",
                                               "shutdownDevice"};
    EXPECT_EQ(s_calls, expected);
    EXPECT_TRUE(ClassIsUnregistered());

    // Without a device nothing runs, and stopping still undoes the start.
    s_calls.clear();
    s_deviceWorks = false;
    EXPECT_FALSE(StartIntro(RECORDING_STEPS));
    StopIntro();
    EXPECT_EQ(s_calls, (std::vector<std::string>{"initDevice", "shutdownDevice"}));
    EXPECT_TRUE(ClassIsUnregistered());
}
