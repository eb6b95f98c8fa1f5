#pragma once

// What the device needs from the system it draws on, kept to this one small interface
// with one file per system: its GL context (OpenGL ES 3.0, whose calls WebGL 2 also
// offers, so that the driver itself refuses anything outside them), the framebuffer that
// shows in the window, and the window's size as shown. The rest of the device is the same
// everywhere.
#include <SDL.h>
#include "Gl.h"

// Asks for the context the device makes; called before a window that carries it is made.
void RequestDeviceContext();
// The device's context on the window, made current, presenting at the vertical blank or
// not; null when the system offers no OpenGL ES 3.0 or later.
SDL_GLContext CreateDeviceContext(SDL_Window* window, bool waitForVerticalBlank);
void MakeDeviceContextCurrent(SDL_Window* window, SDL_GLContext context);
bool IsDeviceContextCurrent(SDL_GLContext context);
void DestroyDeviceContext(SDL_Window* window, SDL_GLContext context);
// Shows what was drawn into the window's framebuffer.
void ShowWindowFramebuffer(SDL_Window* window);
// The framebuffer GL shows in the window.
GLuint WindowFramebuffer();
// The size in pixels of the window as it is shown. SDL reports the size a full-screen
// request asked for even where nothing honoured it (no window manager, as under Xvfb, or
// one that refuses), and the window stays as it was made; under X the window's own
// geometry is asked for instead.
void GetShownWindowSize(SDL_Window* window, int& width, int& height);
