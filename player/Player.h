#pragma once

// The module player's interface for hosts and tools.

#include "BlockFill.h"
#include "FileCallbacks.h"
#include "Mixer.h"
#include "OfflineRender.h"
#include "PlayState.h"
#include "Sequencer.h"
#include "Song.h"
#include "SongLength.h"
#include "XmLoader.h"
