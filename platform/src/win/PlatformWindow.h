#pragma once

// Inside the stand-in layer: what stands behind a window handle, and the register
// of live windows that the window, message and device code look handles up in.
#include <windows.h>

#include <SDL.h>

#include <vector>

struct HWND__ {
    SDL_Window* sdlWindow;
    Uint32 sdlWindowId;
    WNDPROC windowProc;
};

// Entered by CreateWindowExA, removed by DestroyWindow.
void AddLiveWindow(HWND window);
void RemoveLiveWindow(HWND window);
bool IsLiveWindow(HWND window);
std::vector<HWND> LiveWindows();
// The SDL window behind a handle made by CreateWindowExA; null for anything else.
SDL_Window* GetSdlWindow(HWND window);
// The live window with this SDL id; null when there is none.
HWND FindWindowBySdlId(Uint32 sdlWindowId);

// A device drawing into a window keeps its SDL window (and with it the GL context)
// alive: DestroyWindow then only hides it, and the last release destroys it.
// Direct3D lets a device outlive its window, and the intro releases its device
// after the window has been closed.
void RetainSdlWindow(SDL_Window* sdlWindow);
void ReleaseSdlWindow(SDL_Window* sdlWindow);
