#include "DeviceContext.h"

#include <emscripten/html5.h>

// WebGL 2 on the page's canvas: OpenGL ES 3.0 as the device expects it. The browser
// shows the canvas when the page's task returns, at the display's pace.
namespace {

EMSCRIPTEN_WEBGL_CONTEXT_HANDLE HandleOf(SDL_GLContext context)
{
    return static_cast<EMSCRIPTEN_WEBGL_CONTEXT_HANDLE>(reinterpret_cast<intptr_t>(context));
}

}  // namespace

void RequestDeviceContext() {}

SDL_GLContext CreateDeviceContext(SDL_Window*, bool)
{
    EmscriptenWebGLContextAttributes attributes;
    emscripten_webgl_init_context_attributes(&attributes);
    attributes.majorVersion = 2;
    attributes.minorVersion = 0;
    // The device draws into a back buffer of its own and copies it to the canvas: the
    // canvas needs no depth, stencil or smoothing, and an opaque page shows no alpha.
    attributes.alpha = attributes.depth = attributes.stencil = attributes.antialias = EM_FALSE;
    attributes.enableExtensionsByDefault = EM_TRUE;
    const EMSCRIPTEN_WEBGL_CONTEXT_HANDLE handle = emscripten_webgl_create_context(BrowserCanvasSelector(),
                                                                                   &attributes);
    if (handle <= 0)
        return nullptr;
    if (emscripten_webgl_make_context_current(handle) != EMSCRIPTEN_RESULT_SUCCESS) {
        emscripten_webgl_destroy_context(handle);
        return nullptr;
    }
    return reinterpret_cast<SDL_GLContext>(static_cast<intptr_t>(handle));
}

void MakeDeviceContextCurrent(SDL_Window*, SDL_GLContext context)
{
    emscripten_webgl_make_context_current(HandleOf(context));
}

bool IsDeviceContextCurrent(SDL_GLContext context)
{
    return context && emscripten_webgl_get_current_context() == HandleOf(context);
}

void DestroyDeviceContext(SDL_Window*, SDL_GLContext context)
{
    if (emscripten_webgl_get_current_context() == HandleOf(context))
        emscripten_webgl_make_context_current(0);
    emscripten_webgl_destroy_context(HandleOf(context));
}

void ShowWindowFramebuffer(SDL_Window*) {}

GLuint WindowFramebuffer()
{
    return 0;
}

void GetShownWindowSize(SDL_Window* window, int& width, int& height)
{
    SDL_GetWindowSize(window, &width, &height);
}
