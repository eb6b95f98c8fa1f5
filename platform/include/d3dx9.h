// Linux stand-in for the parts of <d3dx9.h> the intro uses.
#pragma once

#include "windows.h"
#include "d3dx9math.h"
