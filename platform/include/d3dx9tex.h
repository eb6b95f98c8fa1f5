// Linux stand-in for <d3dx9tex.h>: filled in as the intro needs it.
#pragma once

#include "windows.h"
