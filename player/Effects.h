#pragma once

// The pattern effect commands and the volume column: their tick-0 parts, run
// while a row is read, and their parts for the later ticks of the row.

#include "PlayState.h"
#include "Song.h"

// What a row's effects share across its channels.
struct RowState {
    bool jumpSeen;  // effect B was on this row
};

// A note 1..96: neither none nor key-off.
bool IsNote(uint8_t note);
// Effect 3 or 5, or a volume-column tone portamento without note delay: the
// cell's note becomes the portamento's target instead of starting.
bool IsTonePortamentoRow(const NoteCell& cell);
// EDx with x > 0: the cell starts on tick x.
bool IsNoteDelay(const NoteCell& cell);
// Starts the cell's note, instrument number and volume column: on tick 0, or
// on the tick its note delay names (delayedTick). A key-off comes first and
// starts nothing; an instrument number beside it only brings back the sample's
// volume and panning. On a delayed tick even a cell without note starts the
// channel's note again, the instrument restarts with or without a number, and
// of the volume column only a set volume applies.
void StartCell(Channel* channel, const NoteCell& cell, const SampleSelection& selection,
               bool delayedTick);

void RowEffect(Song* song, Channel* channel, const NoteCell& cell, const SampleSelection& selection,
               RowState& row);
void TickVolumeColumn(Channel* channel, uint8_t volumeColumn);
void TickEffect(Song* song, Channel* channel, const NoteCell& cell,
                const SampleSelection& selection);
