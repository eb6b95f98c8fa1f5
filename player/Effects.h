#pragma once

// The pattern effect commands and the volume column: their tick-0 parts, run
// while a row is read, and their parts for the later ticks of the row.

#include "PlayState.h"
#include "Song.h"

// What a row's effects share across its channels.
struct RowState {
    bool jumpSeen;  // effect B was on this row
};

// A channel's period, volume and panning before its row was processed; note
// delay (EDx) puts them back.
struct ChannelBefore {
    int32_t period;
    int32_t volume;
    int32_t panning;
};

void RowEffect(Song* song, Channel* channel, const NoteCell& cell,
               const SampleSelection& selection, const ChannelBefore& before, RowState& row);
void TickVolumeColumn(Channel* channel, uint8_t volumeColumn);
void TickEffect(Song* song, Channel* channel, const NoteCell& cell,
                const SampleSelection& selection);
