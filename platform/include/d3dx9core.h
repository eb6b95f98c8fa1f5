// Linux stand-in for <d3dx9core.h>: filled in as the intro needs it.
#pragma once

#include "windows.h"
