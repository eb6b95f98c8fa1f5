#include "Effects.h"

#include "Mixer.h"
#include "Modulation.h"
#include "Sequencer.h"

namespace {

enum Effect : uint8_t {
    EFFECT_ARPEGGIO = 0,
    EFFECT_PORTA_UP = 1,
    EFFECT_PORTA_DOWN = 2,
    EFFECT_TONE_PORTA = 3,
    EFFECT_VIBRATO = 4,
    EFFECT_TONE_PORTA_VOLUME_SLIDE = 5,
    EFFECT_VIBRATO_VOLUME_SLIDE = 6,
    EFFECT_TREMOLO = 7,
    EFFECT_SET_PANNING = 8,
    EFFECT_SAMPLE_OFFSET = 9,
    EFFECT_VOLUME_SLIDE = 10,
    EFFECT_POSITION_JUMP = 11,
    EFFECT_SET_VOLUME = 12,
    EFFECT_PATTERN_BREAK = 13,
    EFFECT_EXTENDED = 14,
    EFFECT_SPEED_BPM = 15,
    EFFECT_GLOBAL_VOLUME = 16,
    EFFECT_GLOBAL_VOLUME_SLIDE = 17,
    EFFECT_KEY_OFF = 20,
    EFFECT_ENVELOPE_POSITION = 21,
    EFFECT_PANNING_SLIDE = 25,
    EFFECT_MULTI_RETRIG = 27,
    EFFECT_TREMOR = 29,
    EFFECT_EXTRA_FINE_PORTA = 33,
};

enum Extended : uint8_t {
    EXTENDED_FINE_PORTA_UP = 1,
    EXTENDED_FINE_PORTA_DOWN = 2,
    EXTENDED_VIBRATO_WAVEFORM = 4,
    EXTENDED_FINETUNE = 5,
    EXTENDED_PATTERN_LOOP = 6,
    EXTENDED_TREMOLO_WAVEFORM = 7,
    EXTENDED_SET_PANNING = 8,
    EXTENDED_RETRIGGER = 9,
    EXTENDED_FINE_VOLUME_UP = 10,
    EXTENDED_FINE_VOLUME_DOWN = 11,
    EXTENDED_NOTE_CUT = 12,
    EXTENDED_NOTE_DELAY = 13,
    EXTENDED_PATTERN_DELAY = 14,
};

const int32_t MIN_PORTA_UP_PERIOD = 56;
const int32_t MAX_BREAK_ROW = 63;

void Remember(uint8_t& memory, uint8_t value)
{
    if (value != 0)
        memory = value;
}

int32_t High(uint8_t param)
{
    return param >> 4;
}

int32_t Low(uint8_t param)
{
    return param & 15;
}

void VolumeUp(Channel* channel, int32_t amount)
{
    channel->volume += amount;
    if (channel->volume > 64)
        channel->volume = 64;
}

void VolumeDown(Channel* channel, int32_t amount)
{
    channel->volume -= amount;
    if (channel->volume < 0)
        channel->volume = 0;
}

// Axy, Hxy and Pxy: up by x when x is set, else down by y, staying within
// 0..ceiling.
void Slide(int32_t& value, uint8_t memory, int32_t ceiling)
{
    if (High(memory) != 0) {
        value += High(memory);
        if (value > ceiling)
            value = ceiling;
    } else if (Low(memory) != 0) {
        value -= Low(memory);
        if (value < 0)
            value = 0;
    }
}

void VolumeSlide(Channel* channel, uint8_t memory)
{
    Slide(channel->volume, memory, 64);
    channel->updateFlags |= UPDATE_VOLUME;
}

void ClearFlags(Channel* channel, uint8_t flags)
{
    channel->updateFlags &= uint8_t(~flags);
}

// Lxx: puts the volume envelope one tick before the position and lets it
// step there, so that the position is reached as the envelope itself reaches
// it: landing on a point arrives at that point (a held note stays on its
// sustain point, a loop end goes back to the loop start), and the envelope
// goes on from the next position on the next tick.
void SetEnvelopePosition(Channel* channel, const Instrument* inst, int32_t position)
{
    const EnvelopePoint* points = inst->volEnvelope;
    const int32_t count = inst->volPointCount;
    int32_t k = 0;  // the first point at or after the position
    while (k < count && points[k].x < position)
        ++k;
    if (k >= count) {
        channel->volEnvPoint = count - 1;
        channel->volEnvValue = points[count - 1].y;
        channel->volEnvDone = 1;
        return;
    }
    channel->volEnvPoint = k;
    channel->volEnvTick = position;
    channel->volEnvDone = 0;
    if (points[k].x != position) {
        // On the segment into point k; before the first point (an envelope
        // not starting at tick 0) the first segment extrapolates.
        const int32_t from = k > 0 ? k - 1 : 0;
        const int32_t dx = int32_t(points[from + 1].x) - int32_t(points[from].x);
        const int32_t dy = (int32_t(points[from + 1].y) - int32_t(points[from].y)) * 65536;
        channel->volEnvStep = dx != 0 ? dy / dx : 0;
        int64_t fixed = int64_t(points[from].y) * 65536 +
                        int64_t(position - 1 - int32_t(points[from].x)) * channel->volEnvStep;
        fixed = fixed < INT32_MIN ? INT32_MIN : (fixed > INT32_MAX ? INT32_MAX : fixed);
        channel->volEnvFixed = int32_t(fixed);
    }
    StepVolumeEnvelope(channel, inst);
}

void ExtendedRowEffect(Song* song, Channel* channel, uint8_t param,
                       const SampleSelection& selection)
{
    const uint8_t y = uint8_t(Low(param));
    switch (High(param)) {
    case EXTENDED_FINE_PORTA_UP:
        Remember(channel->finePortaUpMem, y);
        channel->period = LimitPeriod(int64_t(channel->period) - 4 * channel->finePortaUpMem);
        break;
    case EXTENDED_FINE_PORTA_DOWN:
        Remember(channel->finePortaDownMem, y);
        channel->period = LimitPeriod(int64_t(channel->period) + 4 * channel->finePortaDownMem);
        break;
    case EXTENDED_VIBRATO_WAVEFORM:
        channel->waveControl = uint8_t((channel->waveControl & 0xF0) | y);
        break;
    case EXTENDED_FINETUNE: OverrideFinetune(selection, y); break;
    case EXTENDED_PATTERN_LOOP:
        if (y == 0) {
            channel->loopRow = song->row;
        } else {
            if (channel->loopCount == 0)
                channel->loopCount = y;
            else
                channel->loopCount -= 1;
            if (channel->loopCount != 0)
                song->nextRow = song->loopJumpRow = channel->loopRow;
        }
        break;
    case EXTENDED_TREMOLO_WAVEFORM:
        channel->waveControl = uint8_t((channel->waveControl & 0x0F) | (y << 4));
        break;
    case EXTENDED_SET_PANNING:
        channel->panning = 16 * y;
        channel->updateFlags |= UPDATE_PANNING;
        break;
    case EXTENDED_FINE_VOLUME_UP:
        Remember(channel->fineVolSlideMem, y);
        VolumeUp(channel, channel->fineVolSlideMem);
        channel->updateFlags |= UPDATE_VOLUME;
        break;
    case EXTENDED_FINE_VOLUME_DOWN:
        Remember(channel->fineVolSlideMem, y);
        VolumeDown(channel, channel->fineVolSlideMem);
        channel->updateFlags |= UPDATE_VOLUME;
        break;
    case EXTENDED_PATTERN_DELAY: song->patternDelayTicks = y * song->speed; break;
    default: break;
    }
}

void ExtendedTickEffect(Song* song, Channel* channel, const NoteCell& cell,
                        const SampleSelection& selection)
{
    const int32_t y = Low(cell.param);
    switch (High(cell.param)) {
    case EXTENDED_RETRIGGER:
        if (y != 0 && song->tick % y == 0)
            channel->updateFlags |= UPDATE_TRIGGER | UPDATE_FREQUENCY | UPDATE_VOLUME;
        break;
    case EXTENDED_NOTE_CUT:
        if (song->tick == y) {
            channel->volume = 0;
            channel->updateFlags |= UPDATE_VOLUME;
        }
        break;
    case EXTENDED_NOTE_DELAY:
        if (y != 0 && song->tick == y)
            StartCell(channel, cell, selection, true);
        break;
    default: break;
    }
}

// Counts one tick toward the next retrig; the count goes on across rows.
void MultiRetrig(Channel* channel)
{
    if (channel->retrigInterval == 0)
        return;
    channel->retrigCounter = uint8_t(channel->retrigCounter + 1);
    if (channel->retrigCounter < channel->retrigInterval)
        return;
    channel->retrigCounter = 0;
    int32_t& volume = channel->volume;
    switch (channel->retrigVolumeMode) {
    case 1: volume -= 1; break;
    case 2: volume -= 2; break;
    case 3: volume -= 4; break;
    case 4: volume -= 8; break;
    case 5: volume -= 16; break;
    case 6: volume = volume * 2 / 3; break;
    case 7: volume = volume / 2; break;
    case 9: volume += 1; break;
    case 10: volume += 2; break;
    case 11: volume += 4; break;
    case 12: volume += 8; break;
    case 13: volume += 16; break;
    case 14: volume = volume * 3 / 2; break;
    case 15: volume = volume * 2; break;
    default: break;
    }
    if (channel->retrigVolumeMode != 0) {
        volume = volume < 0 ? 0 : (volume > 64 ? 64 : volume);
        channel->updateFlags |= UPDATE_VOLUME;
    }
    channel->updateFlags |= UPDATE_TRIGGER;
}

int32_t ArpeggioDelta(const Song* song, const Channel* channel, uint8_t param, int32_t finetune)
{
    int32_t semitones = 0;
    switch (song->tick % 3) {
    case 1: semitones = High(param); break;
    case 2: semitones = Low(param); break;
    default: semitones = 0; break;
    }
    if (song->songFlags & SONG_LINEAR_FREQUENCIES)
        return 64 * semitones;
    if (semitones == 0)
        return 0;
    return AmigaPeriod(channel->realNote + semitones, finetune) -
           AmigaPeriod(channel->realNote, finetune);
}

}  // namespace

bool IsNote(uint8_t note)
{
    return note != 0 && note != NOTE_KEY_OFF;
}

bool IsTonePortamentoRow(const NoteCell& cell)
{
    return cell.effect == EFFECT_TONE_PORTA || cell.effect == EFFECT_TONE_PORTA_VOLUME_SLIDE ||
           (cell.volumeColumn >= 0xF0 && !IsNoteDelay(cell));
}

bool IsNoteDelay(const NoteCell& cell)
{
    return cell.effect == EFFECT_EXTENDED && High(cell.param) == EXTENDED_NOTE_DELAY &&
           Low(cell.param) != 0;
}

void StartCell(Channel* channel, const NoteCell& cell, const SampleSelection& selection,
               bool delayedTick)
{
    const bool keyOff = cell.note == NOTE_KEY_OFF;
    if (keyOff)
        KeyOff(channel, selection.inst);
    const bool start = !keyOff && (IsNote(cell.note) || delayedTick);
    if (start) {
        if (!IsTonePortamentoRow(cell))
            channel->period = channel->targetPeriod;
        channel->updateFlags |= UPDATE_TRIGGER | UPDATE_FREQUENCY;
    }
    if (delayedTick) {
        // Even after a key-off: the release only lasts where the volume is 0.
        if (cell.instrument != 0)
            ResetVolumeAndPanning(channel, selection.smp);
        RestartInstrument(channel);
        if (cell.volumeColumn >= 0x10 && cell.volumeColumn <= 0x50)
            ApplyVolumeColumn(channel, cell.volumeColumn);
        return;
    }
    if (cell.instrument != 0 && keyOff)
        ResetVolumeAndPanning(channel, selection.smp);
    else if (cell.instrument != 0)
        ResetChannelForInstrument(channel, selection.smp);
    if (cell.volumeColumn != 0)
        ApplyVolumeColumn(channel, cell.volumeColumn);
}

void RowEffect(Song* song, Channel* channel, const NoteCell& cell, const SampleSelection& selection,
               RowState& row)
{
    const uint8_t param = cell.param;
    switch (cell.effect) {
    case EFFECT_PORTA_UP: Remember(channel->portaUpMem, param); break;
    case EFFECT_PORTA_DOWN: Remember(channel->portaDownMem, param); break;
    case EFFECT_TONE_PORTA:
        Remember(channel->portaSpeed, param);
        channel->portaTarget = channel->targetPeriod;
        ClearFlags(channel, UPDATE_TRIGGER | UPDATE_FREQUENCY);
        break;
    case EFFECT_VIBRATO:
        if (High(param) != 0)
            channel->vibratoSpeed = uint8_t(High(param));
        if (Low(param) != 0)
            channel->vibratoDepth = uint8_t(Low(param));
        ApplyVibrato(channel);
        break;
    case EFFECT_TONE_PORTA_VOLUME_SLIDE:
        channel->portaTarget = channel->targetPeriod;
        Remember(channel->volSlideMem, param);
        ClearFlags(channel, UPDATE_TRIGGER | UPDATE_FREQUENCY);
        break;
    case EFFECT_VIBRATO_VOLUME_SLIDE:
        Remember(channel->volSlideMem, param);
        ApplyVibrato(channel);
        break;
    case EFFECT_TREMOLO:
        if (High(param) != 0)
            channel->tremoloSpeed = uint8_t(High(param));
        if (Low(param) != 0)
            channel->tremoloDepth = uint8_t(Low(param));
        break;
    case EFFECT_SET_PANNING:
        channel->panning = param;
        channel->updateFlags |= UPDATE_PANNING;
        break;
    case EFFECT_SAMPLE_OFFSET:
        // The offset, and its memory, belong to the note this row starts; an
        // offset past the sample's end cuts that note instead.
        if (channel->voice && (channel->updateFlags & UPDATE_TRIGGER)) {
            if (param != 0)
                channel->sampleOffsetMem = param;
            const uint32_t offset = uint32_t(channel->sampleOffsetMem) * 256;
            const Sample* smp = selection.smp;
            if (offset >= smp->loopStart + smp->loopLength) {
                ClearFlags(channel, UPDATE_TRIGGER);
                channel->updateFlags |= UPDATE_CUT;
            } else {
                channel->voice->startOffset = offset;
            }
        }
        break;
    case EFFECT_VOLUME_SLIDE: Remember(channel->volSlideMem, param); break;
    case EFFECT_POSITION_JUMP:
        song->nextRow = 0;
        song->nextOrderPos = param < song->songLength ? param : 0;
        row.jumpSeen = true;
        break;
    case EFFECT_SET_VOLUME:
        channel->volume = param > 64 ? 64 : param;
        channel->updateFlags |= UPDATE_VOLUME;
        break;
    case EFFECT_PATTERN_BREAK: {
        const int32_t target = 10 * High(param) + Low(param);
        song->nextRow = target > MAX_BREAK_ROW ? 0 : target;
        if (!row.jumpSeen)
            song->nextOrderPos = song->orderPos + 1;
        if (song->nextOrderPos >= song->songLength)
            song->nextOrderPos = 0;
        break;
    }
    case EFFECT_EXTENDED: ExtendedRowEffect(song, channel, param, selection); break;
    case EFFECT_SPEED_BPM:
        if (param < 32)
            song->speed = param;
        else
            SetBpm(song, param);
        break;
    case EFFECT_GLOBAL_VOLUME:
        song->globalVolume = param > 64 ? 64 : param;
        channel->updateFlags |= UPDATE_VOLUME;
        break;
    case EFFECT_GLOBAL_VOLUME_SLIDE: Remember(song->globalVolumeSlideMem, param); break;
    case EFFECT_ENVELOPE_POSITION:
        if (selection.inst->volType & ENVELOPE_ON)
            SetEnvelopePosition(channel, selection.inst, param);
        break;
    case EFFECT_PANNING_SLIDE:
        if (param != 0) {
            channel->panSlideMem = param;
            channel->updateFlags |= UPDATE_PANNING;
        }
        break;
    case EFFECT_MULTI_RETRIG:
        if (param != 0) {
            channel->retrigVolumeMode = uint8_t(High(param));
            channel->retrigInterval = uint8_t(Low(param));
        }
        // The row tick counts too, unless the volume column sets a volume
        // above 0.
        if (cell.volumeColumn <= 0x10 || cell.volumeColumn > 0x50)
            MultiRetrig(channel);
        break;
    case EFFECT_TREMOR:
        if (param != 0) {
            channel->tremorOnTicks = uint8_t(High(param) + 1);
            channel->tremorOffTicks = uint8_t(Low(param) + 1);
        }
        ApplyTremor(channel);
        break;
    case EFFECT_EXTRA_FINE_PORTA:
        if (High(param) == 1) {
            Remember(channel->xfinePortaUpMem, uint8_t(Low(param)));
            channel->period = LimitPeriod(int64_t(channel->period) - channel->xfinePortaUpMem);
        } else if (High(param) == 2) {
            Remember(channel->xfinePortaDownMem, uint8_t(Low(param)));
            channel->period = LimitPeriod(int64_t(channel->period) + channel->xfinePortaDownMem);
        }
        break;
    default:
        // Key off (K) acts before the envelopes, in the sequencer; the
        // remaining types do nothing.
        break;
    }
}

void TickVolumeColumn(Channel* channel, uint8_t volumeColumn)
{
    const int32_t l = volumeColumn & 15;
    switch (volumeColumn >> 4) {
    case 0x6:
        VolumeDown(channel, l);
        channel->updateFlags |= UPDATE_VOLUME;
        break;
    case 0x7:
        VolumeUp(channel, l);
        channel->updateFlags |= UPDATE_VOLUME;
        break;
    case 0xB:
        channel->vibratoDepth = uint8_t(l);
        ApplyVibratoAndAdvance(channel);
        break;
    case 0xD: SlidePanning(channel, -l); break;
    case 0xE: SlidePanning(channel, l); break;
    case 0xF: StepTonePortamento(channel); break;
    default: break;
    }
}

void TickEffect(Song* song, Channel* channel, const NoteCell& cell,
                const SampleSelection& selection)
{
    const uint8_t param = cell.param;
    switch (cell.effect) {
    case EFFECT_ARPEGGIO:
        if (param != 0) {
            channel->periodDelta = ArpeggioDelta(song, channel, param,
                                                 SelectionFinetune(selection));
            channel->updateFlags |= UPDATE_FREQUENCY;
        }
        break;
    case EFFECT_PORTA_UP:
        channel->period -= 4 * channel->portaUpMem;
        if (channel->period < MIN_PORTA_UP_PERIOD)
            channel->period = MIN_PORTA_UP_PERIOD;
        channel->periodDelta = 0;
        channel->updateFlags |= UPDATE_FREQUENCY;
        break;
    case EFFECT_PORTA_DOWN:
        channel->period = LimitPeriod(int64_t(channel->period) + 4 * channel->portaDownMem);
        channel->periodDelta = 0;
        channel->updateFlags |= UPDATE_FREQUENCY;
        break;
    case EFFECT_TONE_PORTA:
        channel->periodDelta = 0;
        StepTonePortamento(channel);
        break;
    case EFFECT_VIBRATO: ApplyVibratoAndAdvance(channel); break;
    case EFFECT_TONE_PORTA_VOLUME_SLIDE:
        channel->periodDelta = 0;
        StepTonePortamento(channel);
        VolumeSlide(channel, channel->volSlideMem);
        break;
    case EFFECT_VIBRATO_VOLUME_SLIDE:
        ApplyVibratoAndAdvance(channel);
        VolumeSlide(channel, channel->volSlideMem);
        break;
    case EFFECT_TREMOLO: ApplyTremolo(channel); break;
    case EFFECT_VOLUME_SLIDE: VolumeSlide(channel, channel->volSlideMem); break;
    case EFFECT_EXTENDED: ExtendedTickEffect(song, channel, cell, selection); break;
    case EFFECT_GLOBAL_VOLUME_SLIDE:
        Slide(song->globalVolume, song->globalVolumeSlideMem, 64);
        break;
    case EFFECT_PANNING_SLIDE:
        Slide(channel->panning, channel->panSlideMem, 255);
        channel->updateFlags |= UPDATE_PANNING;
        break;
    case EFFECT_MULTI_RETRIG: MultiRetrig(channel); break;
    case EFFECT_TREMOR: ApplyTremor(channel); break;
    default: break;
    }
}
