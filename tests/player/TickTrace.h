#pragma once

// Per-tick traces of the sequencer, the way well-tested players are checked:
// after every tick, the song position and for each channel its control values
// and its voice's state.

#include "Player.h"

#include <cstdint>
#include <string>
#include <vector>

struct ChannelTrace {
    int32_t period;
    int32_t periodDelta;
    int32_t volume;
    int32_t volumeDelta;
    int32_t panning;
    int32_t volEnvValue;
    int32_t panEnvValue;
    int32_t fadeoutVolume;
    uint8_t keyOff;
    uint8_t updateFlags;
    int32_t voice;           // index of the channel's voice
    bool sounding;           // the voice holds a sample
    int32_t samplePosition;  // the voice's whole-frame position
    int32_t voiceVolume;
    int32_t voicePanning;
    int32_t frequency;
    int32_t leftTarget;
    int32_t rightTarget;
};

struct TickTrace {
    int32_t order;
    int32_t row;
    int32_t tick;  // the tick that ran: 0 for a row tick
    std::vector<ChannelTrace> channels;
};

// Puts the song at play start and runs `ticks` sequencer ticks without
// mixing, tracing each.
std::vector<TickTrace> TraceTicks(Song* song, int ticks);
// Runs `ticks` more ticks from where the song stands.
std::vector<TickTrace> TraceMoreTicks(Song* song, int ticks);

// "order:row:tick" of each trace entry, for compact comparisons.
std::vector<std::string> Positions(const std::vector<TickTrace>& trace);
