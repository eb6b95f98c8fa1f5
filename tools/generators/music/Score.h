#pragma once

#include "XmWriter.h"

#include <string>
#include <vector>

// Helpers that write music into patterns: notes by name, chords, melodies
// written as text, and echoes of a melody on another channel.

const int ROWS_PER_BAR = 16; // a row is a sixteenth note
const int BARS_PER_PATTERN = 4;
const int PATTERN_ROWS = ROWS_PER_BAR * BARS_PER_PATTERN;

// A note from a name such as "A4", "C#5" or "Bb3" (octaves 0..7); 0 for
// anything else.
uint8_t Note(const std::string& name);

// Volume-column bytes.
inline uint8_t SetVolume(int volume)
{
    return uint8_t(0x10 + (volume < 0 ? 0 : volume > 64 ? 64 : volume));
}
inline uint8_t SetPanning(int panning16)
{
    return uint8_t(0xC0 + (panning16 & 15));
}

struct Chord {
    uint8_t root; // note of the root in octave 2 (for the bass)
    bool minor;
    // Chord tones (as semitones above the root) for the upper voices.
    int third() const { return minor ? 3 : 4; }
};

// A chord from a name such as "Am", "F", "E" (triads, root in octave 2).
Chord MakeChord(const std::string& name);
// Four chords, one per bar.
std::vector<Chord> Progression(const std::string& names);

// The nearest note with the given pitch class at or above low.
uint8_t NoteAtOrAbove(uint8_t low, int pitchClass);

// Writes a cell; fields that are zero in the new cell keep what was there.
void Put(XmPattern& pattern, int row, int channel, const XmCell& cell);
// Sets only the effect of a cell.
void PutEffect(XmPattern& pattern, int row, int channel, char effect, uint8_t param);

// One note as a melody event.
struct NoteEvent {
    int row;    // first row
    int length; // rows
    uint8_t note;
    bool slide; // reached by tone portamento instead of a new start
};

struct MelodyStyle {
    int instrument = 0;
    int volume = 64;           // 0..64, written on each new note
    uint8_t vibrato = 0;       // 4xy on held notes from their third row; 0 for none
    uint8_t slideSpeed = 0x18; // 3xx for slides
    bool keyOffOnRests = true;
    int panning = -1; // 8xx on each new note (a new note resets the panning); -1 for none
};

// Parses "A4:4 C5:2 -:2 /G#4:8" (note:rows, "-" a rest, a leading "/" slides
// into the note) starting at startRow; returns the events.
std::vector<NoteEvent> ParseMelody(const std::string& text, int startRow = 0);

// Writes the events on a channel: each new note with its instrument and
// volume, slides as tone portamento, vibrato on held notes, a key-off where
// a rest begins.
void WriteMelody(XmPattern& pattern, int channel, const std::vector<NoteEvent>& events,
                 const MelodyStyle& style);

// The same events delayed by delayRows on another channel, quieter: a
// tracker echo. Events pushed past the pattern's end are dropped.
void WriteEcho(XmPattern& pattern, int channel, const std::vector<NoteEvent>& events, int delayRows,
               const MelodyStyle& style);
