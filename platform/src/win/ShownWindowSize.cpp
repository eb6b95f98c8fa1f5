#include "ShownWindowSize.h"

#include <SDL_syswm.h>

void GetShownWindowSize(SDL_Window* window, int& width, int& height)
{
#if defined(SDL_VIDEO_DRIVER_X11)
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWindowWMInfo(window, &info) && info.subsystem == SDL_SYSWM_X11) {
        // One round trip to the server per call: a few microseconds against a frame.
        ::Window root = 0;
        int x = 0, y = 0;
        unsigned int w = 0, h = 0, border = 0, depth = 0;
        if (XGetGeometry(info.info.x11.display, info.info.x11.window, &root, &x, &y, &w, &h, &border, &depth)) {
            width = static_cast<int>(w);
            height = static_cast<int>(h);
            return;
        }
    }
#endif
    SDL_GL_GetDrawableSize(window, &width, &height);
}
