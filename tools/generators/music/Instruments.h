#pragma once

#include "XmWriter.h"

// The instruments of the tune, in the order of their numbers in the patterns.
enum InstrumentNumber {
    KICK = 1,
    SNARE,
    CLAP,
    HAT_CLOSED,
    HAT_OPEN,
    CRASH,
    TOM,
    SUB_BASS,
    REESE_BASS,
    PAD_WARM,
    PAD_VOX,
    PLUCK,
    LEAD,
    BELL,
    CHIP,
    RISER,
    IMPACT,
    INSTRUMENT_COUNT = IMPACT
};

// Adds every instrument to the module, synthesised from scratch, in the
// order of InstrumentNumber. Drums sound at their recorded pitch on C-4;
// pitched instruments sound at the pitch their note names say (A-4 = 440 Hz).
void AddInstruments(XmModule& module);

// Relative note and finetune that make a sample whose tone is toneHz at
// sampleRate play in tune with the note names.
void TuneSample(XmSample& sample, double sampleRate, double toneHz);
