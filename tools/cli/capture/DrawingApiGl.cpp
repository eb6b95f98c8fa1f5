#include "DrawingApi.h"

#include <epoxy/gl.h>

std::string DrawingApiName(IDirect3DDevice9*)
{
    // The device's context is the current one on the thread that draws.
    const GLubyte* version = glGetString(GL_VERSION);
    return version ? reinterpret_cast<const char*>(version) : "an unknown GL";
}
