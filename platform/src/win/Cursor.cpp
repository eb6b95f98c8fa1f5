#include "Cursor.h"

#include <windows.h>

#include <SDL.h>

namespace {

// Windows keeps a display count: the cursor shows while it is 0 or more.
int s_displayCount = 0;

}  // namespace

void ApplyCursorDisplayCount()
{
    if (SDL_WasInit(SDL_INIT_VIDEO))
        SDL_ShowCursor(s_displayCount >= 0 ? SDL_ENABLE : SDL_DISABLE);
}

int WINAPI ShowCursor(BOOL show)
{
    s_displayCount += show ? 1 : -1;
    ApplyCursorDisplayCount();
    return s_displayCount;
}
