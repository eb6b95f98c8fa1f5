#pragma once

// Renders a song from play start into memory through the block fill, exactly
// as the audio output would mix it.

#include "Song.h"

#include <cstdint>

// Puts the song at play start and writes `frames` stereo 16-bit frames to
// destination (2 x frames values, left first). False when the ring cannot be
// allocated. The ring is closed again afterwards.
bool RenderSong(Song* song, int16_t* destination, int64_t frames);
