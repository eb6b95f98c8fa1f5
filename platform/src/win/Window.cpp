#include "Cursor.h"
#include "MessageQueue.h"
#include "PlatformWindow.h"
#include "TerminationSignals.h"
#include "d3d/DeviceContext.h"

#include <string>
#include <vector>

namespace {

struct RegisteredClass {
    std::string name;
    WNDCLASSEXA description;
};

std::vector<RegisteredClass> s_classes;

RegisteredClass* FindClass(LPCSTR name)
{
    if (!name)
        return nullptr;
    for (RegisteredClass& c : s_classes)
        if (c.name == name)
            return &c;
    return nullptr;
}

const int VIDEO_START_ATTEMPTS = 40;
const Uint32 VIDEO_RETRY_MS = 50;

// An X server started for tests (Xvfb) resets when its last client leaves and
// refuses connections for a moment while it does; SDL would then settle for a
// driver that shows nothing. So X is asked for by name and given a little time,
// and video, once up, stays up for the life of the process: closing the last
// window must not make the next window's connection race a reset.
bool StartVideo()
{
    static bool s_bStarted = false;
    if (s_bStarted)
        return true;
    // SDL would turn the signals into an SDL_QUIT event, which the queue cannot
    // tell from the close of the last window; the layer catches them itself.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    CatchTerminationSignals();
    if (!SDL_getenv("SDL_VIDEODRIVER") && SDL_getenv("DISPLAY")) {
        SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11");
        for (int attempt = 0; attempt < VIDEO_START_ATTEMPTS && !s_bStarted; ++attempt) {
            s_bStarted = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
            if (!s_bStarted)
                SDL_Delay(VIDEO_RETRY_MS);
        }
        SDL_SetHint(SDL_HINT_VIDEODRIVER, nullptr);
    }
    if (!s_bStarted)
        s_bStarted = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
    return s_bStarted;
}

const Uint32 FOCUS_WAIT_MS = 1000;
const Uint32 FOCUS_RETRY_MS = 100;

// On Windows a window shown by its own process becomes the active window. Under X
// that is the window manager's decision, and without one nobody gives focus at all,
// so the window asks for it (again now and then, should a request get lost) and
// waits until SDL reports it. The events stay queued for PeekMessageA. A window
// manager that refuses leaves the window inactive.
void TakeKeyboardFocus(SDL_Window* sdlWindow)
{
    const Uint32 start = SDL_GetTicks();
    Uint32 lastRequest = start;
    SDL_SetWindowInputFocus(sdlWindow);
    for (;;) {
        SDL_PumpEvents();
        const Uint32 now = SDL_GetTicks();
        if (SDL_GetKeyboardFocus() == sdlWindow || now - start >= FOCUS_WAIT_MS)
            return;
        if (now - lastRequest >= FOCUS_RETRY_MS) {
            SDL_SetWindowInputFocus(sdlWindow);
            lastRequest = now;
        }
        SDL_Delay(5);
    }
}

}  // namespace

HMODULE WINAPI GetModuleHandleA(LPCSTR moduleName)
{
    // One module: the executable itself.
    static char s_image;
    return moduleName ? nullptr : reinterpret_cast<HMODULE>(&s_image);
}

ATOM WINAPI RegisterClassExA(const WNDCLASSEXA* windowClass)
{
    if (!windowClass || !windowClass->lpszClassName || !windowClass->lpfnWndProc ||
        FindClass(windowClass->lpszClassName))
        return 0;
    s_classes.push_back({windowClass->lpszClassName, *windowClass});
    s_classes.back().description.lpszClassName = s_classes.back().name.c_str();
    return static_cast<ATOM>(0xC000 + s_classes.size());
}

BOOL WINAPI UnregisterClassA(LPCSTR className, HINSTANCE)
{
    RegisteredClass* c = FindClass(className);
    if (!c)
        return FALSE;
    s_classes.erase(s_classes.begin() + (c - s_classes.data()));
    return TRUE;
}

HWND WINAPI CreateWindowExA(DWORD, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width,
                            int height, HWND, HMENU, HINSTANCE, LPVOID)
{
    RegisteredClass* c = FindClass(className);
    if (!c)
        return nullptr;
    if (!StartVideo())
        return nullptr;

    // Every window can carry the context the device creates on it.
    RequestDeviceContext();

    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
    if (style & WS_POPUP)
        flags |= SDL_WINDOW_BORDERLESS;
    SDL_Window* sdlWindow = SDL_CreateWindow(windowName ? windowName : "", x, y, width, height, flags);
    if (!sdlWindow)
        return nullptr;

    HWND window = new HWND__{sdlWindow, SDL_GetWindowID(sdlWindow), c->description.lpfnWndProc};
    AddLiveWindow(window);
    RetainSdlWindow(sdlWindow);
    ApplyCursorDisplayCount();
    return window;
}

BOOL WINAPI DestroyWindow(HWND window)
{
    if (!IsLiveWindow(window))
        return FALSE;
    window->windowProc(window, WM_DESTROY, 0, 0);
    DiscardWindowMessages(window);
    RemoveLiveWindow(window);
    SDL_HideWindow(window->sdlWindow);
    ReleaseSdlWindow(window->sdlWindow);
    delete window;
    return TRUE;
}

BOOL WINAPI ShowWindow(HWND window, int command)
{
    if (!IsLiveWindow(window))
        return FALSE;
    const bool wasVisible = (SDL_GetWindowFlags(window->sdlWindow) & SDL_WINDOW_SHOWN) != 0;
    if (command == SW_HIDE) {
        SDL_HideWindow(window->sdlWindow);
    } else {
        SDL_ShowWindow(window->sdlWindow);
        SDL_RaiseWindow(window->sdlWindow);
        TakeKeyboardFocus(window->sdlWindow);
    }
    return wasVisible ? TRUE : FALSE;
}

BOOL WINAPI UpdateWindow(HWND window)
{
    return IsLiveWindow(window) ? TRUE : FALSE;
}

LRESULT WINAPI DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CLOSE: DestroyWindow(window); return 0;
    case WM_SYSKEYDOWN:
        // Alt+F4 asks the window to close, as the system menu's Close does.
        if (wParam == VK_F4 && (static_cast<DWORD>(lParam) >> 16 & KF_ALTDOWN))
            SendMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        return 0;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0u) == SC_CLOSE)
            SendMessageA(window, WM_CLOSE, 0, 0);
        return 0;
    default: return 0;
    }
}
