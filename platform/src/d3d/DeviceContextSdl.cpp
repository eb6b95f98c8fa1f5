#include "DeviceContext.h"

#include <SDL_syswm.h>

void RequestDeviceContext()
{
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_ES);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 0);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
}

SDL_GLContext CreateDeviceContext(SDL_Window* window, bool waitForVerticalBlank)
{
    SDL_GLContext context = SDL_GL_CreateContext(window);
    if (!context)
        return nullptr;
    if (SDL_GL_MakeCurrent(window, context) != 0 || epoxy_is_desktop_gl() || epoxy_gl_version() < 30) {
        SDL_GL_DeleteContext(context);
        return nullptr;
    }
    SDL_GL_SetSwapInterval(waitForVerticalBlank ? 1 : 0);
    return context;
}

void MakeDeviceContextCurrent(SDL_Window* window, SDL_GLContext context)
{
    SDL_GL_MakeCurrent(window, context);
}

bool IsDeviceContextCurrent(SDL_GLContext context)
{
    return context && SDL_GL_GetCurrentContext() == context;
}

void DestroyDeviceContext(SDL_Window* window, SDL_GLContext context)
{
    SDL_GL_MakeCurrent(window, nullptr);
    SDL_GL_DeleteContext(context);
}

void ShowWindowFramebuffer(SDL_Window* window)
{
    SDL_GL_SwapWindow(window);
}

GLuint WindowFramebuffer()
{
    return 0;
}

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
