#include "Sequencer.h"

#include "Effects.h"
#include "Mixer.h"
#include "Modulation.h"
#include "PlayState.h"

namespace {

const uint8_t EFFECT_TREMOLO = 7;
const uint8_t EFFECT_KEY_OFF = 20;

// The pattern playing at the song's order position, or null when there is
// none (the loader's rules keep every played position on a real pattern).
const Pattern* CurrentPattern(const Song* song)
{
    if (!song->patterns || song->orderPos < 0 || song->orderPos >= ORDER_TABLE_SIZE)
        return nullptr;
    const int number = song->orderTable[song->orderPos];
    if (number >= song->patternSlots)
        return nullptr;
    return &song->patterns[number];
}

// The first cell of the current row, or null when there is nothing to read.
const NoteCell* CurrentRowCells(const Song* song)
{
    const Pattern* pattern = CurrentPattern(song);
    if (!pattern || !pattern->cells || song->channelCount <= 0 || song->row < 0 ||
        song->row >= pattern->rowCount)
        return nullptr;
    return pattern->cells + int64_t(song->row) * song->channelCount;
}

void StepEnvelopesAndFadeout(Channel* channel, const Instrument* inst)
{
    if ((inst->volType & ENVELOPE_ON) && !channel->volEnvDone)
        StepVolumeEnvelope(channel, inst);
    if ((inst->panType & ENVELOPE_ON) && !channel->panEnvDone)
        StepPanningEnvelope(channel, inst);
    if (channel->keyOff) {
        channel->fadeoutVolume -= inst->fadeout;
        if (channel->fadeoutVolume < 0)
            channel->fadeoutVolume = 0;
        channel->updateFlags |= UPDATE_VOLUME;
    }
}

// K00 is a key-off in place of the cell's note.
NoteCell WithKeyOffEffectAsNote(const NoteCell& cell)
{
    NoteCell result = cell;
    if (cell.effect == EFFECT_KEY_OFF && cell.param == 0)
        result.note = NOTE_KEY_OFF;
    return result;
}

void ProcessRowChannel(Song* song, Channel* channel, const NoteCell& patternCell, RowState& row)
{
    const NoteCell cell = WithKeyOffEffectAsNote(patternCell);
    const bool tonePortaRow = IsTonePortamentoRow(cell);
    // A delayed cell changes the channel's note and instrument now but
    // starts, resets and keys off only on its own tick.
    const bool delayed = IsNoteDelay(cell);
    // Beside a key-off, an instrument number only resets the volume of the
    // instrument playing.
    if (cell.instrument != 0 && !tonePortaRow && cell.note != NOTE_KEY_OFF)
        channel->instrument = uint8_t(cell.instrument - 1);
    if (IsNote(cell.note) && !tonePortaRow)
        channel->note = uint8_t(cell.note - 1);

    const SampleSelection selection = SelectSample(song, channel);
    if (selection.inst != &EmptyInstrument && !tonePortaRow)
        channel->sample = selection.smp;

    if (channel->lastEffect == EFFECT_TREMOLO && cell.effect != EFFECT_TREMOLO)
        channel->volume += channel->volumeDelta;  // the last tremolo offset stays
    channel->volumeDelta = 0;
    channel->lastEffect = cell.effect;
    channel->updateFlags = 0;

    if (IsNote(cell.note)) {
        channel->realNote = uint8_t(cell.note + selection.smp->relativeNote - 1);
        channel->targetPeriod = NotePeriod(song, channel->realNote, SelectionFinetune(selection));
    }
    channel->periodDelta = 0;
    channel->updateFlags |= UPDATE_FREQUENCY | UPDATE_VOLUME;
    if (!delayed)
        StartCell(channel, cell, selection, false);
    StepEnvelopesAndFadeout(channel, selection.inst);
    RowEffect(song, channel, cell, selection, row);
    ApplyAutoVibrato(channel, selection.inst);
    UpdateVoice(channel, selection.smp, song);
}

void ProcessTickChannel(Song* song, Channel* channel, const NoteCell& cell)
{
    const SampleSelection selection = SelectSample(song, channel);
    channel->volumeDelta = 0;
    channel->periodDelta = 0;
    channel->updateFlags = 0;
    if (cell.effect == EFFECT_KEY_OFF && cell.param == song->tick)
        KeyOff(channel, selection.inst);
    TickVolumeColumn(channel, cell.volumeColumn);
    TickEffect(song, channel, cell, selection);
    // After the effects: a note a delay starts on this tick shows its
    // envelopes' first point now and their second on the next tick.
    StepEnvelopesAndFadeout(channel, selection.inst);
    ApplyAutoVibrato(channel, selection.inst);
    UpdateVoice(channel, selection.smp, song);
}

int ChannelsToProcess(const Song* song)
{
    return song->channelCount < MAX_CHANNELS ? song->channelCount : MAX_CHANNELS;
}

}  // namespace

int32_t SamplesPerTickFor(int32_t bpm)
{
    if (bpm < 1)
        bpm = 1;
    // The constants are single precision, the arithmetic double: that way a
    // tick is the integer part of MixRate x 2.5 / bpm for every BPM of the
    // format (all-float arithmetic loses a frame at BPM 21 and 42).
    const double frames = 1000.0 / (double(bpm) * double(0.4f)) * double(MixRate) * double(0.001f);
    const int32_t whole = frames < double(INT32_MAX) ? int32_t(frames) : INT32_MAX;
    return whole > 0 ? whole : 1;
}

void SetBpm(Song* song, int32_t bpm)
{
    if (bpm < 1)
        bpm = 1;
    song->bpm = bpm;
    song->samplesPerTick = SamplesPerTickFor(bpm);
}

void ProcessRow(Song* song)
{
    song->nextOrderPos = NO_JUMP;
    song->nextRow = NO_JUMP;
    RowState row = {false};
    const NoteCell* cells = CurrentRowCells(song);
    if (!cells)
        return;
    const int channels = ChannelsToProcess(song);
    for (int c = 0; c < channels; ++c)
        ProcessRowChannel(song, &ChannelTable[c], cells[c], row);
}

void ProcessTick(Song* song)
{
    const NoteCell* cells = CurrentRowCells(song);
    if (!cells)
        return;
    const int channels = ChannelsToProcess(song);
    for (int c = 0; c < channels; ++c)
        ProcessTickChannel(song, &ChannelTable[c], cells[c]);
}

void SongTick(Song* song)
{
    if (!song)
        return;
    if (song->tick == 0) {
        if (song->nextOrderPos >= 0) {
            song->orderPos = song->nextOrderPos;
            song->loopJumpRow = 0;
        }
        if (song->nextRow >= 0)
            song->row = song->nextRow;
        // A jump may name a row the pattern does not have (a break to row 40
        // of a 32-row pattern, a loop row from a longer pattern): the
        // pattern then plays from its first row.
        if (song->orderPos >= song->songLength)
            song->orderPos = 0;
        const Pattern* pattern = CurrentPattern(song);
        if (pattern && song->row >= pattern->rowCount)
            song->row = 0;
        ProcessRow(song);
        if (song->nextRow == NO_JUMP) {
            song->nextRow = song->row + 1;
            if (!pattern || song->nextRow >= pattern->rowCount) {
                int next = song->orderPos + 1;
                if (next >= song->songLength)
                    next = song->restartPosition;
                song->nextOrderPos = next;
                // A pattern loop in this pattern also moves where the next
                // one starts.
                song->nextRow = song->loopJumpRow;
            }
        }
    } else {
        ProcessTick(song);
    }
    song->tick += 1;
    if (song->tick >= song->speed + song->patternDelayTicks) {
        song->patternDelayTicks = 0;
        song->tick = 0;
    }
}

int32_t SkipRestOfRow(Song* song)
{
    if (!song || song->tick == 0)
        return 0;
    const int32_t left = song->speed + song->patternDelayTicks - song->tick;
    song->patternDelayTicks = 0;
    song->tick = 0;
    return left > 0 ? left : 0;
}
