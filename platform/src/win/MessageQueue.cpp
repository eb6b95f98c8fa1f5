#include "MessageQueue.h"
#include "PlatformWindow.h"
#include "TerminationSignals.h"
#include "VirtualKeys.h"

#include <deque>

// One queue for the thread that owns the windows, fed from SDL's events. Like the
// Windows queue it holds posted messages and input in arrival order, and the quit
// request apart from them: WM_QUIT comes out only when nothing else is waiting.
namespace {

std::deque<MSG> s_queue;
bool s_quitPosted = false;
int s_quitCode = 0;

bool AltHeld(Uint16 modifiers)
{
    return (modifiers & KMOD_ALT) != 0 && (modifiers & KMOD_CTRL) == 0;
}

void QueueKey(const SDL_KeyboardEvent& key)
{
    const WindowsKey translated = TranslateSdlKey(key.keysym.scancode);
    if (translated.virtualKey == 0)
        return;
    HWND window = FindWindowBySdlId(key.windowID);
    if (!window)
        window = GetActiveWindow();
    if (!window)
        return;

    const bool released = key.type == SDL_KEYUP;
    const bool altKey = translated.virtualKey == VK_MENU;
    const bool alt = AltHeld(key.keysym.mod) || (altKey && !released);
    // Windows sends keys typed with Alt, Alt itself and F10 as system keys.
    const bool system = alt || altKey || translated.virtualKey == VK_F10;

    UINT flags = translated.scanCode & 0xFFu;
    if (translated.extended)
        flags |= KF_EXTENDED;
    if (alt)
        flags |= KF_ALTDOWN;
    if (released || key.repeat)
        flags |= KF_REPEAT;
    if (released)
        flags |= KF_UP;

    MSG msg = {};
    msg.hwnd = window;
    msg.message = released ? (system ? WM_SYSKEYUP : WM_KEYUP) : (system ? WM_SYSKEYDOWN : WM_KEYDOWN);
    msg.wParam = translated.virtualKey;
    msg.lParam = static_cast<LPARAM>((static_cast<DWORD>(flags) << 16) | 1u);
    msg.time = static_cast<DWORD>(GetTickCount64());
    s_queue.push_back(msg);
}

void QueueWindowEvent(const SDL_WindowEvent& event)
{
    if (event.event != SDL_WINDOWEVENT_CLOSE)
        return;
    HWND window = FindWindowBySdlId(event.windowID);
    if (window)
        PostMessageA(window, WM_CLOSE, 0, 0);
}

// Moves SDL's pending events into the queue.
void PumpSdlEvents()
{
    if (!SDL_WasInit(SDL_INIT_VIDEO))
        return;
    SDL_PumpEvents();
    SDL_Event events[32];
    int count;
    while ((count = SDL_PeepEvents(events, 32, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT)) > 0) {
        for (int i = 0; i < count; ++i) {
            switch (events[i].type) {
            case SDL_KEYDOWN:
            case SDL_KEYUP: QueueKey(events[i].key); break;
            case SDL_WINDOWEVENT: QueueWindowEvent(events[i].window); break;
            default:
                // SDL_QUIT follows the close of the last window, which WM_CLOSE
                // already stands for; the rest has no counterpart the intro reads.
                break;
            }
        }
    }
    // Ctrl-C and kill close every window, as its close button would.
    if (TakeTerminationRequest())
        for (HWND window : LiveWindows())
            PostMessageA(window, WM_CLOSE, 0, 0);
}

bool InRange(UINT message, UINT filterMin, UINT filterMax)
{
    return (filterMin == 0 && filterMax == 0) || (message >= filterMin && message <= filterMax);
}

// A null filter takes every message; -1 takes only those posted to no window.
bool Matches(const MSG& msg, HWND window, UINT filterMin, UINT filterMax)
{
    if (window == reinterpret_cast<HWND>(-1)) {
        if (msg.hwnd)
            return false;
    } else if (window && msg.hwnd != window) {
        return false;
    }
    return InRange(msg.message, filterMin, filterMax);
}

}  // namespace

BOOL WINAPI PeekMessageA(MSG* msg, HWND window, UINT filterMin, UINT filterMax, UINT removeMessage)
{
    if (!msg)
        return FALSE;
    PumpSdlEvents();
    for (auto it = s_queue.begin(); it != s_queue.end(); ++it) {
        if (!Matches(*it, window, filterMin, filterMax))
            continue;
        *msg = *it;
        if (removeMessage & PM_REMOVE)
            s_queue.erase(it);
        return TRUE;
    }
    if (s_quitPosted && InRange(WM_QUIT, filterMin, filterMax)) {
        MSG quit = {};
        quit.message = WM_QUIT;
        quit.wParam = static_cast<WPARAM>(s_quitCode);
        quit.time = static_cast<DWORD>(GetTickCount64());
        *msg = quit;
        if (removeMessage & PM_REMOVE)
            s_quitPosted = false;
        return TRUE;
    }
    return FALSE;
}

BOOL WINAPI TranslateMessage(const MSG* msg)
{
    // Character messages are not produced: nothing in the intro reads text input.
    return FALSE;
}

LRESULT WINAPI DispatchMessageA(const MSG* msg)
{
    if (!msg || !msg->hwnd || !GetSdlWindow(msg->hwnd))
        return 0;
    return msg->hwnd->windowProc(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

LRESULT WINAPI SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!GetSdlWindow(window))
        return 0;
    return window->windowProc(window, message, wParam, lParam);
}

BOOL WINAPI PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (window && !GetSdlWindow(window))
        return FALSE;
    MSG msg = {};
    msg.hwnd = window;
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    msg.time = static_cast<DWORD>(GetTickCount64());
    s_queue.push_back(msg);
    return TRUE;
}

void DiscardWindowMessages(HWND window)
{
    for (auto it = s_queue.begin(); it != s_queue.end();)
        it = it->hwnd == window ? s_queue.erase(it) : it + 1;
}

void WINAPI PostQuitMessage(int exitCode)
{
    s_quitPosted = true;
    s_quitCode = exitCode;
}

HWND WINAPI GetActiveWindow(void)
{
    if (!SDL_WasInit(SDL_INIT_VIDEO))
        return nullptr;
    SDL_Window* focus = SDL_GetKeyboardFocus();
    return focus ? FindWindowBySdlId(SDL_GetWindowID(focus)) : nullptr;
}
