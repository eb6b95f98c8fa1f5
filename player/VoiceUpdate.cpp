#include "Mixer.h"
#include "Modulation.h"

#include <cmath>

namespace {

const double VOLUME_SCALE = 255.0 / 34359738368.0;  // 255 / 2^35
const double MAX_VOICE_VOLUME = 65535.0;
const double LINEAR_BASE_PERIOD = 4608.0;
const double LINEAR_PERIOD_STEP = double(1.0f / 768.0f);
const double LINEAR_BASE_FREQUENCY = 8363.0;
const int64_t AMIGA_CLOCK = 14317056;
const int64_t MIN_FREQUENCY = 100;
// Highest frequency whose step stays below 256 frames per output frame.
const int64_t MAX_FREQUENCY = int64_t(256) * MixRate - 1;

Voice* PartnerVoice(const Voice* voice)
{
    const int32_t index = voice->index;
    const int32_t partner = index < VOICE_PAIR_DISTANCE ? index + VOICE_PAIR_DISTANCE
                                                        : index - VOICE_PAIR_DISTANCE;
    return &VoiceTable[partner & (VOICE_TABLE_SIZE - 1)];
}

// Left gain from 255 - panning and right gain from panning: panning 0 is
// left only, 255 right only, 128 the centre.
void SetTargets(Voice* voice)
{
    voice->leftTarget = (255 - voice->panning) * voice->volume / 255;
    voice->rightTarget = voice->panning * voice->volume / 255;
}

int64_t LinearFrequency(int32_t period, int32_t periodDelta)
{
    const double exponent = ((LINEAR_BASE_PERIOD - period) + periodDelta) * LINEAR_PERIOD_STEP;
    const double frequency = std::floor(std::pow(2.0, exponent) * LINEAR_BASE_FREQUENCY);
    return frequency > double(INT32_MAX) ? INT32_MAX : int64_t(frequency);
}

// Every channel asks for its frequency on every tick, mostly for a period it
// asked for just before; remembering the last few answers saves the power
// function. The answer depends on nothing but the two values.
struct LinearFrequencyMemo {
    static const int SIZE = 64;
    int32_t period[SIZE];
    int32_t periodDelta[SIZE];
    int64_t frequency[SIZE];
    bool valid[SIZE];
};
LinearFrequencyMemo s_linearMemo;

int64_t ChannelFrequency(const Channel* channel, const Song* song)
{
    if (song->songFlags & SONG_LINEAR_FREQUENCIES) {
        const int slot = int(uint32_t(channel->period * 31 + channel->periodDelta) %
                             LinearFrequencyMemo::SIZE);
        LinearFrequencyMemo& memo = s_linearMemo;
        if (!memo.valid[slot] || memo.period[slot] != channel->period ||
            memo.periodDelta[slot] != channel->periodDelta) {
            memo.period[slot] = channel->period;
            memo.periodDelta[slot] = channel->periodDelta;
            memo.frequency[slot] = LinearFrequency(channel->period, channel->periodDelta);
            memo.valid[slot] = true;
        }
        return memo.frequency[slot];
    }
    const int64_t period = int64_t(channel->period) + channel->periodDelta;
    return AMIGA_CLOCK / period;
}

// The voice keeps the sounding note and ramps it down; the channel goes on
// with the partner voice, which starts from the same state.
Voice* LeaveSoundingVoice(Channel* channel)
{
    Voice* voice = channel->voice;
    Voice* partner = PartnerVoice(voice);
    const int32_t partnerIndex = partner->index;
    *partner = *voice;
    partner->index = partnerIndex;
    partner->orphaned = 0;
    voice->volume = 0;
    voice->volumeSet = 0;
    voice->leftTarget = 0;
    voice->rightTarget = 0;
    voice->orphaned = 1;
    channel->voice = partner;
    return partner;
}

}  // namespace

void UpdateVoice(Channel* channel, Sample* sample, Song* song)
{
    Voice* voice = channel->voice;
    if (!voice)
        return;
    uint8_t flags = channel->updateFlags;
    if (int64_t(channel->period) + channel->periodDelta == 0)
        flags &= uint8_t(~UPDATE_FREQUENCY);

    if ((flags & (UPDATE_TRIGGER | UPDATE_CUT)) && voice->sample)
        voice = LeaveSoundingVoice(channel);
    if (flags & UPDATE_CUT) {
        voice->sample = nullptr;
        voice->startOffset = 0;
    }
    if (flags & UPDATE_TRIGGER) {
        voice->sample = sample;
        if (voice->startOffset >= sample->loopStart + sample->loopLength)
            voice->startOffset = 0;
        voice->positionInt = int32_t(voice->startOffset);
        voice->positionFrac = 0;
        voice->direction = 1;
        voice->startOffset = 0;
        voice->leftLevel = 0;
        voice->rightLevel = 0;
        voice->rampFramesLeft = 0;
    }

    if (flags & UPDATE_VOLUME) {
        const int64_t product = int64_t(channel->volume + channel->volumeDelta) *
                                channel->volEnvValue * channel->fadeoutVolume * song->globalVolume;
        double volume = double(product) * VOLUME_SCALE;
        if (volume < 0.0)
            volume = 0.0;
        if (volume > MAX_VOICE_VOLUME)
            volume = MAX_VOICE_VOLUME;
        voice->volume = voice->volumeSet = int32_t(volume);
        SetTargets(voice);
    }

    if (flags & UPDATE_PANNING) {
        const int64_t panning = channel->panning;
        const int64_t distance = panning > 128 ? panning - 128 : 128 - panning;
        int64_t p = panning + ((128 - distance) / 32) * (channel->panEnvValue - 32);
        p = p < 0 ? 0 : (p > 255 ? 255 : p);
        voice->panning = voice->panningSet = int32_t(p);
        SetTargets(voice);
    }

    if (flags & UPDATE_FREQUENCY) {
        int64_t frequency = ChannelFrequency(channel, song);
        voice->frequency = int32_t(frequency < INT32_MIN ? INT32_MIN : frequency);
        if (frequency < MIN_FREQUENCY)
            frequency = MIN_FREQUENCY;
        if (frequency > MAX_FREQUENCY)
            frequency = MAX_FREQUENCY;
        const uint64_t whole = uint64_t(frequency / MixRate);
        const uint64_t fraction = (uint64_t(frequency % MixRate) << 32) / MixRate;
        voice->increment = (whole << 32) | fraction;
    }
}
