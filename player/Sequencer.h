#pragma once

// The row and tick sequencer: the Song's tick callback, run by the block fill
// every samplesPerTick output frames.

#include "Song.h"

#include <cstdint>

// One tick: tick 0 of a row reads the row's cells (ProcessRow), later ticks
// run the row's per-tick effects (ProcessTick); then the order list moves on.
void SongTick(Song* song);
void ProcessRow(Song* song);
void ProcessTick(Song* song);

// Ends the current row without running the ticks it has left, and returns
// how many those were. Only tick 0 of a row changes the song's course and
// timing, so a pass that follows just those (the song length) can skip the
// rest. 0 at the start of a row.
int32_t SkipRestOfRow(Song* song);

// Stores the BPM and the tick length it gives. A BPM below 1 counts as 1, and
// a tick always lasts at least one frame.
void SetBpm(Song* song, int32_t bpm);
// Output frames per tick at a BPM: the integer part of MixRate x 2.5 / bpm.
int32_t SamplesPerTickFor(int32_t bpm);
