// Linux stand-in for <d3dx9mesh.h>: filled in as the intro needs it.
#pragma once

#include "windows.h"
