#pragma once

#include <windows.h>

// The intro window's procedure: records key-down and key-up in the keyboard table,
// posts the quit message when the window is destroyed and leaves everything else
// to the default procedure (so Alt+F4 closes the window as usual).
LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// True while the key with this virtual-key code (low 8 bits) is down.
bool IsKeyDown(int virtualKey);
