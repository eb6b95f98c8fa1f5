// Linux stand-in for <mmsystem.h> (wave-out): filled in as the intro needs it.
#pragma once

#include "windows.h"
