// Linux stand-in for <d3d9.h>: the device and its resources, over OpenGL 4.5.
#pragma once

#include "windows.h"
#include "d3d9types.h"
