// Linux stand-in for <d3dx9effect.h>: filled in as the intro needs it.
#pragma once

#include "windows.h"
