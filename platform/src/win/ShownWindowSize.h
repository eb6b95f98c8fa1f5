#pragma once

// Inside the stand-in layer: the size in pixels of the window as it is shown.
#include <SDL.h>

// SDL reports the size a full-screen request asked for even where nothing honoured
// it (no window manager, as under Xvfb, or one that refuses), and the window stays
// as it was made; under X the window's own geometry is asked for instead.
void GetShownWindowSize(SDL_Window* window, int& width, int& height);
