#pragma once

#include "Score.h"

// The channels of the tune.
enum Channel {
    CH_KICK = 0, // kick, impacts
    CH_SNARE,    // snare, clap
    CH_HATS,     // closed and open hats (an open hat is choked by the next closed one)
    CH_PERC,     // crash, toms, riser
    CH_BASS,     // sub and reese bass
    CH_PAD1,     // pad voices
    CH_PAD2,
    CH_ARP,  // arpeggios
    CH_LEAD, // melody
    CH_ECHO, // echo of the melody, bells, vox
    CHANNEL_COUNT
};

// Drums, one bar (16 rows) at a time; bar is 0..3 within the pattern.
void DrumAndBassBar(XmPattern& p, int bar, bool ghosts, bool openHat);
void HalfTimeBar(XmPattern& p, int bar, bool clap);
// A short snare run over the last beat of the pattern, into the next part.
void SnareFill(XmPattern& p);
void HatsBar(XmPattern& p, int bar, int volume);
// A snare roll that tightens from quarter notes to a buzz over the pattern,
// growing louder; from startRow to the end.
void SnareRoll(XmPattern& p, int startRow);
// Descending toms over the last rows of the pattern.
void TomFill(XmPattern& p, int startRow);
void CrashAt(XmPattern& p, int row);
void ImpactAt(XmPattern& p, int row);
// Noise rising in pitch and volume from startRow to the end of the pattern.
void RiserFrom(XmPattern& p, int channel, int startRow);

enum class BassStyle { Sub, Rolling, Reese };
// One bass note per chord (bar) in the given style.
void BassLine(XmPattern& p, const std::vector<Chord>& chords, BassStyle style);

// Two pad voices (third and fifth) per chord, gliding from chord to chord;
// fadeIn raises them from silence over the first bar.
void PadChords(XmPattern& p, const std::vector<Chord>& chords, int instrument, int volume,
               bool fadeIn);

// Arpeggiated chords: the root with 0xy arpeggio (third, fifth) on every
// row, struck in a syncopated rhythm.
void ArpChords(XmPattern& p, const std::vector<Chord>& chords, int instrument, int volume,
               bool octaveUp);
