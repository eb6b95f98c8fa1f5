#include "Keyboard.h"

namespace {

const int KEY_COUNT = 256;

// One entry per virtual-key code: 1 while the key is down.
BYTE s_keys[KEY_COUNT] = {};

}  // namespace

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_DESTROY: PostQuitMessage(0); return 0;
    case WM_KEYDOWN:
        // Virtual-key codes fit a byte; anything above must not index past the table.
        s_keys[wParam & (KEY_COUNT - 1)] = 1;
        return 0;
    case WM_KEYUP: s_keys[wParam & (KEY_COUNT - 1)] = 0; return 0;
    default: return DefWindowProcA(window, message, wParam, lParam);
    }
}

bool IsKeyDown(int virtualKey)
{
    return s_keys[virtualKey & (KEY_COUNT - 1)] == 1;
}
