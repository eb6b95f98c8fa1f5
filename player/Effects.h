#pragma once

// The pattern effect commands and the volume column: their tick-0 parts, run
// while a row is read, and their parts for the later ticks of the row.

#include "PlayState.h"
#include "Song.h"

// What a row's effects share across its channels.
struct RowState {
    bool jumpSeen;  // effect B was on this row
};


bool IsNote(uint8_t note);
// Effect 3 or 5, or a volume-column tone portamento without note delay: the
// cell's note becomes the portamento's target instead of starting.
bool IsTonePortamentoRow(const NoteCell& cell);
// EDx with x > 0: the cell starts on tick x.
bool IsNoteDelay(const NoteCell& cell);
// What the cell's note, instrument number and volume column do when the cell
// starts: on tick 0, or on the tick its note delay names (delayedTick), where
// even a cell without note starts the channel's note again (a key-off never
// does). Key-off, the note's period and trigger, the instrument's reset, the
// volume column's row-tick part.
void StartCell(Channel* channel, const NoteCell& cell, const SampleSelection& selection,
               bool delayedTick);

void RowEffect(Song* song, Channel* channel, const NoteCell& cell,
               const SampleSelection& selection, RowState& row);
void TickVolumeColumn(Channel* channel, uint8_t volumeColumn);
void TickEffect(Song* song, Channel* channel, const NoteCell& cell,
                const SampleSelection& selection);
