#pragma once

// Play state that belongs to one play of a song rather than to the loaded
// module, and the play-start reset of everything the block fill drives.

#include "Song.h"

// The instrument and sample a channel plays on this tick.
struct SampleSelection {
    const Instrument* inst;
    Sample* smp;
    int slot;  // instrument x 16 + sample slot; -1 for a sample outside the song
};

// inst and smp for the channel's instrument and note; EmptyInstrument and
// EmptySample when the instrument number is not below instrumentCount.
SampleSelection SelectSample(const Song* song, const Channel* channel);

// The finetune to play the selected sample with: the one E5x set during this
// play, or the sample's own.
int SelectionFinetune(const SampleSelection& selection);
// E5x: plays the selected sample with this finetune for the rest of the play,
// on every channel, without changing the loaded Sample.
void OverrideFinetune(const SampleSelection& selection, int finetune);

// Play start: all voices free, the Song at order 0, row 0, tick 0 with its
// default speed, BPM and global volume, every Channel zeroed and pointed at
// its voice, no finetune overrides. The block fill's next tick is row 0's.
void ResetPlayState(Song* song);
