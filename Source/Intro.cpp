#include "Intro.h"

#include "FrameClock.h"
#include "Keyboard.h"

namespace {

const char* const WINDOW_CLASS_NAME = "Skelvane";
const int WINDOW_X = 100;
const int WINDOW_Y = 100;
const int WINDOW_WIDTH = 1024;
const int WINDOW_HEIGHT = 768;

HWND s_hMainWindow = NULL;

void RegisterWindowClass(HINSTANCE instance)
{
    WNDCLASSEXA windowClass;
    windowClass.cbSize = sizeof(WNDCLASSEXA);
    windowClass.style = CS_CLASSDC;
    windowClass.lpfnWndProc = &MainWindowProc;
    windowClass.cbClsExtra = 0;
    windowClass.cbWndExtra = 0;
    windowClass.hInstance = instance;
    // No cursor of its own: the device hides the cursor anyway.
    windowClass.hIcon = NULL;
    windowClass.hCursor = NULL;
    windowClass.hbrBackground = NULL;
    windowClass.lpszMenuName = NULL;
    windowClass.lpszClassName = WINDOW_CLASS_NAME;
    windowClass.hIconSm = NULL;
    RegisterClassExA(&windowClass);
}

// The run in progress: its steps, the last message retrieved (so that a WM_QUIT seen in
// an earlier turn still ends the run) and whether the steps came up.
const IntroSteps* s_pSteps = NULL;
MSG s_lastMessage;
bool s_bStepsUp = false;

// One turn of the loop: dispatches one pending message, or draws one frame when none is
// waiting. False once the run is over: the quit message, Escape, or the window no longer
// active.
bool RunLoopTurn(bool& drewFrame)
{
    drewFrame = false;
    if (PeekMessageA(&s_lastMessage, NULL, 0, 0, PM_REMOVE)) {
        TranslateMessage(&s_lastMessage);
        DispatchMessageA(&s_lastMessage);
    } else {
        UpdateFrameClock();
        s_pSteps->drawDemoFrame();
        s_pSteps->endFrame();
        drewFrame = true;
    }
    if (s_lastMessage.message == WM_QUIT || IsKeyDown(VK_ESCAPE))
        return false;
    return GetActiveWindow() == s_hMainWindow;
}

}  // namespace

HWND GetMainWindow()
{
    return s_hMainWindow;
}

bool StartIntro(const IntroSteps& steps)
{
    s_pSteps = &steps;
    HINSTANCE instance = GetModuleHandleA(NULL);
    RegisterWindowClass(instance);
    StartFrameClock();
    // Not checked: without a window the device cannot be created either.
    s_hMainWindow = CreateWindowExA(0, WINDOW_CLASS_NAME, "", WS_POPUP, WINDOW_X, WINDOW_Y,
                                    WINDOW_WIDTH, WINDOW_HEIGHT, NULL, NULL, instance, NULL);

    // No device: leave without a word. No Demo (out of memory): nothing could be
    // drawn, so leave the same way rather than run the loop without it.
    s_bStepsUp = steps.initDevice() && steps.createDemo();
    if (!s_bStepsUp)
        return false;
    ShowWindow(s_hMainWindow, SW_SHOWDEFAULT);
    UpdateWindow(s_hMainWindow);

    ZeroMemory(&s_lastMessage, sizeof s_lastMessage);
    steps.initPostProcess();
    // Discards the loading time: the first frame measures only itself.
    UpdateFrameClock();
    return true;
}

bool RunIntroFrame()
{
    bool drewFrame = false;
    while (RunLoopTurn(drewFrame))
        if (drewFrame)
            return true;
    return false;
}

void StopIntro()
{
    if (s_bStepsUp)
        s_pSteps->shutdownPostProcess();
    s_bStepsUp = false;
    s_pSteps->shutdownDevice();
    UnregisterClassA(WINDOW_CLASS_NAME, GetModuleHandleA(NULL));
}

int RunIntro(const IntroSteps& steps)
{
    if (StartIntro(steps))
        while (RunIntroFrame()) {
        }
    StopIntro();
    return 0;
}
