#include "PlayState.h"

#include "Mixer.h"
#include "Sequencer.h"

#include <cstring>

namespace {

const int16_t NO_OVERRIDE = INT16_MIN;
int16_t s_finetuneOverrides[MAX_INSTRUMENTS * SAMPLES_PER_INSTRUMENT];

}  // namespace

SampleSelection SelectSample(const Song* song, const Channel* channel)
{
    if (channel->instrument < song->instrumentCount && song->instruments) {
        const Instrument* inst = &song->instruments[channel->instrument];
        const uint8_t slot = channel->note < NOTE_COUNT ? inst->sampleMap[channel->note]
                                                        : SAMPLES_PER_INSTRUMENT;
        if (slot < SAMPLES_PER_INSTRUMENT && inst->samples[slot])
            return {inst, inst->samples[slot], channel->instrument * SAMPLES_PER_INSTRUMENT + slot};
        return {inst, &EmptySample, -1};
    }
    EmptySample.data = nullptr;
    return {&EmptyInstrument, &EmptySample, -1};
}

int SelectionFinetune(const SampleSelection& selection)
{
    if (selection.slot >= 0 && s_finetuneOverrides[selection.slot] != NO_OVERRIDE)
        return s_finetuneOverrides[selection.slot];
    return selection.smp->finetune;
}

void OverrideFinetune(const SampleSelection& selection, int finetune)
{
    if (selection.slot >= 0)
        s_finetuneOverrides[selection.slot] = int16_t(finetune);
}

void ResetPlayState(Song* song)
{
    ResetVoiceTable();
    for (int16_t& entry : s_finetuneOverrides)
        entry = NO_OVERRIDE;
    if (!song)
        return;
    song->nextOrderPos = NO_JUMP;
    song->nextRow = NO_JUMP;
    song->loopJumpRow = 0;
    song->globalVolume = song->initialGlobalVolume;
    song->speed = song->defaultTempo;
    song->row = 0;
    song->orderPos = 0;
    song->samplesLeftInTick = 0;
    song->tick = 0;
    song->patternDelayTicks = 0;
    song->playTimeMs = 0;
    song->mixedFrames = 0;
    SetBpm(song, song->defaultBpm);
    std::memset(ChannelTable, 0, sizeof(ChannelTable));
    for (int i = 0; i < MAX_CHANNELS; ++i)
        ChannelTable[i].voice = &VoiceTable[i];
}
