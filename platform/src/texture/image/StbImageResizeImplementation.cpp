// Linux takes stb_image_resize's compiled functions from Debian's libstb; the browser build
// has no such library and compiles them from the header here.
#define STB_IMAGE_RESIZE_IMPLEMENTATION
#include <stb_image_resize.h>
