#include "Song.h"

#include "OutputHook.h"
#include "PlayerMemory.h"
#include "SongMemory.h"

Sample EmptySample;
Instrument EmptyInstrument;
Channel ChannelTable[MAX_CHANNELS];

void ReleaseSongMemory(Song* song)
{
    if (!song)
        return;
    if (song->instruments) {
        for (int i = 0; i < song->instrumentCount; ++i) {
            Instrument& instrument = song->instruments[i];
            for (int j = 0; j < instrument.sampleCount && j < SAMPLES_PER_INSTRUMENT; ++j) {
                Sample* sample = instrument.samples[j];
                if (sample && sample != &EmptySample) {
                    PlayerFree(sample->data);
                    PlayerFree(sample);
                }
            }
        }
        PlayerFree(song->instruments);
    }
    if (song->patterns) {
        for (int i = 0; i < song->patternSlots; ++i)
            PlayerFree(song->patterns[i].cells);
        PlayerFree(song->patterns);
    }
    PlayerFree(song);
}

bool FreeSong(Song* song)
{
    if (!song)
        return false;
    StopOutputBeforeFree(song);
    ReleaseSongMemory(song);
    return true;
}
