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

// Dispatches one pending message per iteration, or draws one frame when none is
// waiting. msg keeps the last message retrieved, so a WM_QUIT seen in an earlier
// iteration still ends the loop.
void RunMessageLoop(const IntroSteps& steps, MSG& msg)
{
    bool quit = false;
    do {
        if (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        } else {
            UpdateFrameClock();
            steps.drawDemoFrame();
            steps.endFrame();
        }
        if (msg.message == WM_QUIT)
            quit = true;
        if (IsKeyDown(VK_ESCAPE))
            quit = true;
    } while (GetActiveWindow() == s_hMainWindow && !quit);
}

}  // namespace

HWND GetMainWindow()
{
    return s_hMainWindow;
}

int RunIntro(const IntroSteps& steps)
{
    HINSTANCE instance = GetModuleHandleA(NULL);
    RegisterWindowClass(instance);
    StartFrameClock();
    // Not checked: without a window the device cannot be created either.
    s_hMainWindow = CreateWindowExA(0, WINDOW_CLASS_NAME, "", WS_POPUP, WINDOW_X, WINDOW_Y,
                                    WINDOW_WIDTH, WINDOW_HEIGHT, NULL, NULL, instance, NULL);

    // No device: leave without a word. No Demo (out of memory): nothing could be
    // drawn, so leave the same way rather than run the loop without it.
    if (steps.initDevice() && steps.createDemo()) {
        ShowWindow(s_hMainWindow, SW_SHOWDEFAULT);
        UpdateWindow(s_hMainWindow);

        MSG msg;
        ZeroMemory(&msg, sizeof msg);
        steps.initPostProcess();
        // Discards the loading time: the first frame measures only itself.
        UpdateFrameClock();

        RunMessageLoop(steps, msg);

        steps.shutdownPostProcess();
    }
    steps.shutdownDevice();
    UnregisterClassA(WINDOW_CLASS_NAME, instance);
    return 0;
}
