#include "PlatformWindow.h"

#include <algorithm>
#include <map>
#include <vector>

namespace {

std::vector<HWND> s_windows;
// How many holders (the window handle, devices) each SDL window has.
std::map<SDL_Window*, int> s_sdlWindowUsers;

}  // namespace

void AddLiveWindow(HWND window)
{
    s_windows.push_back(window);
}

void RemoveLiveWindow(HWND window)
{
    const auto at = std::find(s_windows.begin(), s_windows.end(), window);
    if (at != s_windows.end())
        s_windows.erase(at);
}

bool IsLiveWindow(HWND window)
{
    return window && std::find(s_windows.begin(), s_windows.end(), window) != s_windows.end();
}

std::vector<HWND> LiveWindows()
{
    return s_windows;
}

SDL_Window* GetSdlWindow(HWND window)
{
    return IsLiveWindow(window) ? window->sdlWindow : nullptr;
}

HWND FindWindowBySdlId(Uint32 sdlWindowId)
{
    for (HWND window : s_windows)
        if (window->sdlWindowId == sdlWindowId)
            return window;
    return nullptr;
}

void RetainSdlWindow(SDL_Window* sdlWindow)
{
    if (sdlWindow)
        ++s_sdlWindowUsers[sdlWindow];
}

void ReleaseSdlWindow(SDL_Window* sdlWindow)
{
    auto user = s_sdlWindowUsers.find(sdlWindow);
    if (user == s_sdlWindowUsers.end())
        return;
    if (--user->second == 0) {
        s_sdlWindowUsers.erase(user);
        SDL_DestroyWindow(sdlWindow);
    }
}
