#pragma once

// Inside the stand-in layer: what stands behind a window handle.
#include <windows.h>

#include <SDL.h>

struct HWND__ {
    SDL_Window* sdlWindow;
    Uint32 sdlWindowId;
    WNDPROC windowProc;
};

// The SDL window behind a handle made by CreateWindowExA; null for anything else.
SDL_Window* GetSdlWindow(HWND window);
// A device drawing into a window keeps its SDL window (and with it the GL context)
// alive: DestroyWindow then only hides it, and the last release destroys it.
// Direct3D lets a device outlive its window, and the intro releases its device
// after the window has been closed.
void RetainSdlWindow(SDL_Window* sdlWindow);
void ReleaseSdlWindow(SDL_Window* sdlWindow);
// The live window with this SDL id; null when there is none.
HWND FindWindowBySdlId(Uint32 sdlWindowId);
// Drops the posted messages of a window that is being destroyed.
void DiscardWindowMessages(HWND window);
// Shows or hides SDL's cursor by the ShowCursor count, once video is up.
void ApplyCursorDisplayCount();
