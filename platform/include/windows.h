// Linux stand-in for the parts of <windows.h> the intro uses.
// Names and signatures follow the Windows SDK so the intro compiles unchanged.
#pragma once

#include "win/types.h"
#include "win/kernel.h"
#include "win/user.h"
#include "win/window.h"
#include "win/gdi.h"
