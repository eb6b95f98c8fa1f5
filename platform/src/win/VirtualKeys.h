#pragma once

// Inside the stand-in layer: SDL keys as Windows sees them.
#include <windows.h>

#include <SDL.h>

struct WindowsKey {
    UINT virtualKey;  // 0 when Windows has no code for the key
    UINT scanCode;    // PC set-1 make code
    bool extended;    // the E0-prefixed keys (right Ctrl/Alt, arrows, keypad Enter, ...)
};

WindowsKey TranslateSdlKey(SDL_Scancode scancode);
