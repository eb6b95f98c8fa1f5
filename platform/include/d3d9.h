// Linux stand-in for <d3d9.h>: filled in as the intro needs it.
#pragma once

#include "windows.h"
