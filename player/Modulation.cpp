#include "Modulation.h"

#include <cmath>
#include <cstdlib>

namespace {

// |sin(p x 2 x 0.049087375) x 256| for |p| = 0..16; mirrored for 17..32.
const uint8_t SINE_QUARTER[17] = {0,   25,  49,  74,  97,  120, 142, 162, 181,
                                  197, 212, 225, 236, 244, 251, 254, 255};
const double AUTO_VIBRATO_ANGLE_STEP = double(0.024543688f);
const double AUTO_VIBRATO_AMPLITUDE = 64.0;
const double AMIGA_OCTAVE_STEP = double(1.0f / 12.0f);
const double AMIGA_PERIOD_SCALE = 13.375;

int32_t Clamp(int32_t value, int32_t low, int32_t high)
{
    return value < low ? low : (value > high ? high : value);
}

int8_t AdvancePhase(int8_t phase, uint8_t speed)
{
    int32_t next = int32_t(int8_t(uint8_t(phase + speed)));
    if (next > 31)
        next -= 64;
    return int8_t(next);
}

int32_t AutoVibratoValue(uint8_t type, int32_t pos)
{
    switch (type) {
    case 0: return int32_t(std::sin(pos * AUTO_VIBRATO_ANGLE_STEP) * AUTO_VIBRATO_AMPLITUDE);
    case 1: return pos < 128 ? 64 : -64;
    case 2: return (128 - ((pos + 128) % 256)) >> 1;
    case 3: return (128 - ((384 - pos) % 256)) >> 1;
    default:
        // No waveform is defined beyond type 3; such an instrument has none.
        return 0;
    }
}

double AmigaTablePeriod(int32_t note)
{
    return std::floor(std::pow(2.0, (132 - note) * AMIGA_OCTAVE_STEP) * AMIGA_PERIOD_SCALE);
}

}  // namespace

int32_t LimitPeriod(int64_t period)
{
    return int32_t(period < -PERIOD_LIMIT ? -PERIOD_LIMIT
                                          : (period > PERIOD_LIMIT ? PERIOD_LIMIT : period));
}

int32_t LimitPanning(int64_t panning)
{
    return int32_t(panning < -PANNING_LIMIT ? -PANNING_LIMIT
                                            : (panning > PANNING_LIMIT ? PANNING_LIMIT : panning));
}

void SlidePanning(Channel* channel, int32_t by)
{
    channel->panning = LimitPanning(int64_t(channel->panning) + by);
    channel->updateFlags |= UPDATE_PANNING;
}

int32_t WaveformValue(int waveform, int8_t phase)
{
    // Phases stay within -32..31; the fold only keeps the table index safe.
    const int32_t p = ((int32_t(phase) + 32) & 63) - 32;
    switch (waveform) {
    case 1: return p >= 0 ? 8 * p : -1 - 8 * p;
    case 2: return 255;
    default: {
        const int32_t distance = p < 0 ? -p : p;
        return SINE_QUARTER[distance <= 16 ? distance : 32 - distance];
    }
    }
}

void StepEnvelope(Channel* channel, int32_t& tick, int32_t& point, int32_t& fixed, int32_t& value,
                  int32_t& step, uint8_t& done, uint8_t type, uint8_t pointCount,
                  const EnvelopePoint* points, uint8_t loopEnd, uint8_t loopStart, uint8_t sustain,
                  uint8_t updateFlag)
{
    int32_t i = point;
    if (i >= 0 && i < pointCount && points[i].x == tick) {
        if ((type & ENVELOPE_LOOP) && i == loopEnd) {
            i = loopStart;
            tick = points[loopStart].x;
        }
        if (i == pointCount - 1) {
            value = points[i].y;
            done = 1;
            point = i;
            channel->updateFlags |= updateFlag;
            return;
        }
        if ((type & ENVELOPE_SUSTAIN) && i == sustain && !channel->keyOff) {
            value = points[i].y;
            point = i;
            channel->updateFlags |= updateFlag;
            return;
        }
        const int32_t dx = int32_t(points[i + 1].x) - int32_t(points[i].x);
        const int32_t dy = (int32_t(points[i + 1].y) - int32_t(points[i].y)) * 65536;
        step = dx != 0 ? dy / dx : 0;
        fixed = int32_t(points[i].y) * 65536;
        ++i;
    } else if (i < pointCount) {
        fixed += step;
    }
    value = fixed >> 16;
    ++tick;
    point = i;
    channel->updateFlags |= updateFlag;
}

void StepVolumeEnvelope(Channel* channel, const Instrument* inst)
{
    StepEnvelope(channel, channel->volEnvTick, channel->volEnvPoint, channel->volEnvFixed,
                 channel->volEnvValue, channel->volEnvStep, channel->volEnvDone, inst->volType,
                 inst->volPointCount, inst->volEnvelope, inst->volLoopEnd, inst->volLoopStart,
                 inst->volSustain, UPDATE_VOLUME);
}

void StepPanningEnvelope(Channel* channel, const Instrument* inst)
{
    StepEnvelope(channel, channel->panEnvTick, channel->panEnvPoint, channel->panEnvFixed,
                 channel->panEnvValue, channel->panEnvStep, channel->panEnvDone, inst->panType,
                 inst->panPointCount, inst->panEnvelope, inst->panLoopEnd, inst->panLoopStart,
                 inst->panSustain, UPDATE_PANNING);
}

void ApplyVibrato(Channel* channel)
{
    // Waveform 3 is a square for vibrato (a sine for tremolo).
    int waveform = channel->waveControl & 3;
    if (waveform == 3)
        waveform = 2;
    const int32_t value = WaveformValue(waveform, channel->vibratoPos);
    const int32_t delta = ((value * channel->vibratoDepth) >> 5) & ~3;
    channel->periodDelta = channel->vibratoPos >= 0 ? -delta : delta;
    channel->updateFlags |= UPDATE_FREQUENCY;
}

void ApplyVibratoAndAdvance(Channel* channel)
{
    ApplyVibrato(channel);
    channel->vibratoPos = AdvancePhase(channel->vibratoPos, channel->vibratoSpeed);
}

void ApplyTremolo(Channel* channel)
{
    // Waveform 3 is a sine for tremolo (a square for vibrato).
    int waveform = (channel->waveControl >> 4) & 3;
    if (waveform == 3)
        waveform = 0;
    const int32_t value = WaveformValue(waveform, channel->tremoloPos);
    int32_t delta = (value * channel->tremoloDepth) >> 6;
    if (channel->tremoloPos >= 0) {
        if (channel->volume + delta > 64)
            delta = 64 - channel->volume;
    } else {
        if (channel->volume - delta < 0)
            delta = channel->volume;
        delta = -delta;
    }
    channel->volumeDelta = delta;
    channel->tremoloPos = AdvancePhase(channel->tremoloPos, channel->tremoloSpeed);
    channel->updateFlags |= UPDATE_VOLUME;
}

void ApplyTremor(Channel* channel)
{
    if (channel->tremorCounter >= channel->tremorOnTicks)
        channel->volumeDelta = -channel->volume;
    channel->tremorCounter = uint8_t(channel->tremorCounter + 1);
    if (channel->tremorCounter >= channel->tremorOnTicks + channel->tremorOffTicks)
        channel->tremorCounter = 0;
    channel->updateFlags |= UPDATE_VOLUME;
}

void StepTonePortamento(Channel* channel)
{
    const int32_t speed = 4 * channel->portaSpeed;
    if (channel->period < channel->portaTarget) {
        channel->period += speed;
        if (channel->period > channel->portaTarget)
            channel->period = channel->portaTarget;
    } else if (channel->period > channel->portaTarget) {
        channel->period -= speed;
        if (channel->period < channel->portaTarget)
            channel->period = channel->portaTarget;
    }
    channel->updateFlags |= UPDATE_FREQUENCY;
}

void ApplyAutoVibrato(Channel* channel, const Instrument* inst)
{
    // Without depth there is nothing to add; the waveform is not even computed.
    int32_t amount = inst->vibratoDepth == 0
                         ? 0
                         : AutoVibratoValue(inst->vibratoType, channel->autoVibratoPos) *
                               inst->vibratoDepth;
    if (inst->vibratoSweep != 0)
        amount = amount * channel->autoVibratoSweep / inst->vibratoSweep;
    channel->periodDelta += amount >> 6;
    channel->autoVibratoSweep += 1;
    if (channel->autoVibratoSweep > inst->vibratoSweep)
        channel->autoVibratoSweep = inst->vibratoSweep;
    channel->autoVibratoPos += inst->vibratoRate;
    if (channel->autoVibratoPos > 255)
        channel->autoVibratoPos -= 256;
    channel->updateFlags |= UPDATE_FREQUENCY;
}

void ApplyVolumeColumn(Channel* channel, uint8_t volumeColumn)
{
    const int32_t x = volumeColumn & 15;
    switch (volumeColumn >> 4) {
    case 0x1:
    case 0x2:
    case 0x3:
    case 0x4:
        channel->volume = volumeColumn - 0x10;
        channel->updateFlags |= UPDATE_VOLUME;
        break;
    case 0x5:
        if (volumeColumn == 0x50) {
            channel->volume = 64;
            channel->updateFlags |= UPDATE_VOLUME;
        }
        break;
    case 0x8:
        channel->volume = Clamp(channel->volume - x, 0, INT32_MAX);
        channel->updateFlags |= UPDATE_VOLUME;
        break;
    case 0x9:
        channel->volume += x;
        if (channel->volume > 64)
            channel->volume = 64;
        channel->updateFlags |= UPDATE_VOLUME;
        break;
    case 0xA: channel->vibratoSpeed = uint8_t(x); break;
    case 0xB: channel->vibratoDepth = uint8_t(x); break;
    case 0xC:
        channel->panning = x * 16;
        channel->updateFlags |= UPDATE_PANNING;
        break;
    case 0xD: SlidePanning(channel, -x); break;
    case 0xE: SlidePanning(channel, x); break;
    case 0xF:
        if (x != 0)
            channel->portaSpeed = uint8_t(x * 16);
        channel->portaTarget = channel->targetPeriod;
        channel->updateFlags &= uint8_t(~(UPDATE_TRIGGER | UPDATE_FREQUENCY));
        break;
    default:
        // The slides 0x6x and 0x7x move the volume on the later ticks only.
        break;
    }
}

void ResetChannelForInstrument(Channel* channel, const Sample* sample)
{
    ResetVolumeAndPanning(channel, sample);
    RestartInstrument(channel);
}

void ResetVolumeAndPanning(Channel* channel, const Sample* sample)
{
    channel->volume = sample->volume;
    channel->panning = sample->panning;
    channel->updateFlags |= UPDATE_VOLUME | UPDATE_PANNING;
}

void RestartInstrument(Channel* channel)
{
    channel->volEnvValue = 64;
    channel->panEnvValue = 32;
    channel->volEnvTick = channel->volEnvPoint = channel->volEnvStep = 0;
    channel->panEnvTick = channel->panEnvPoint = channel->panEnvStep = 0;
    channel->volEnvDone = channel->panEnvDone = 0;
    channel->keyOff = 0;
    channel->fadeoutVolume = 65536;
    channel->autoVibratoPos = 0;
    channel->autoVibratoSweep = 0;
    if ((channel->waveControl & 15) < 4)
        channel->vibratoPos = 0;
    if ((channel->waveControl >> 4) < 4)
        channel->tremoloPos = 0;
    channel->tremorCounter = 0;
    channel->retrigCounter = 0;
    channel->updateFlags |= UPDATE_VOLUME | UPDATE_PANNING;
}

void KeyOff(Channel* channel, const Instrument* inst)
{
    channel->keyOff = 1;
    if (!(inst->volType & ENVELOPE_ON)) {
        channel->volume = 0;
        channel->updateFlags |= UPDATE_VOLUME;
    }
}

int32_t AmigaPeriod(int32_t note, int32_t finetune)
{
    const int32_t base = int32_t(AmigaTablePeriod(note));
    if (finetune >= 0 || note == 0)
        return base + ((base - int32_t(AmigaTablePeriod(note + 1))) * finetune) / -128;
    return base + ((base - int32_t(AmigaTablePeriod(note - 1))) * -finetune) / -128;
}

int32_t NotePeriod(const Song* song, int32_t note, int32_t finetune)
{
    if (song->songFlags & SONG_LINEAR_FREQUENCIES)
        return 7680 - 64 * note - finetune / 2;
    return AmigaPeriod(note, finetune);
}
