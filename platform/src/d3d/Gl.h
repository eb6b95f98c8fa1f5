#pragma once

// OpenGL ES 3.0, the calls WebGL 2 also has: through libepoxy on Linux, from emscripten's
// WebGL 2 bindings in the browser.
#ifdef __EMSCRIPTEN__
#include <GLES3/gl3.h>
#else
#include <epoxy/gl.h>
#endif
