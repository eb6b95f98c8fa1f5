#pragma once

#include <windows.h>

// The intro's one window, created at start-up.
HWND GetMainWindow();
