#pragma once

// Inside the stand-in layer: what the window code asks of the message queue.
#include <windows.h>

// Drops the posted messages of a window that is being destroyed.
void DiscardWindowMessages(HWND window);
