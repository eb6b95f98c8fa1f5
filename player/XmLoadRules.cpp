#include "XmLoadRules.h"

namespace {

const uint8_t MAX_ENVELOPE_VALUE = 64;
const int EMPTY_PATTERN_ROWS = 64;
const uint16_t MAX_BPM = 32767;

void CleanEnvelope(EnvelopePoint* points, uint8_t& count, uint8_t& type, uint8_t sustain,
                   uint8_t loopStart, uint8_t loopEnd)
{
    if (count > FILE_ENVELOPE_POINTS)
        count = FILE_ENVELOPE_POINTS;
    // A point whose tick does not lie after the previous one could never be
    // reached: the envelope would keep stepping towards it without end.
    for (uint8_t i = 1; i < count; ++i)
        if (points[i].x <= points[i - 1].x) {
            count = i;
            break;
        }
    for (uint8_t i = 0; i < count; ++i)
        if (points[i].y > MAX_ENVELOPE_VALUE)
            points[i].y = MAX_ENVELOPE_VALUE;
    if (count < 2)
        type = 0;
    if (sustain >= count)
        type &= uint8_t(~ENVELOPE_SUSTAIN);
    if (loopStart >= count || loopEnd >= count)
        type &= uint8_t(~ENVELOPE_LOOP);
}

// A loop that starts beyond the end is dropped, one that reaches past the end
// is shortened to it; a sample without loop plays to its end.
void KeepLoopInSample(Sample& sample)
{
    if (sample.loopKind == LOOP_NONE) {
        sample.loopStart = 0;
        sample.loopLength = sample.length;
    }
    if (sample.loopStart >= sample.length)
        sample.loopLength = 0;
    else if (uint64_t(sample.loopStart) + sample.loopLength > sample.length)
        sample.loopLength = sample.length - sample.loopStart;
    if (sample.loopLength == 0) {
        sample.loopStart = 0;
        sample.loopLength = sample.length;
        sample.loopKind = LOOP_NONE;
    }
}

}  // namespace

bool ApplyHeaderRules(Song& song, const XmHeader& header)
{
    if (header.channelCount == 0 || header.channelCount > MAX_CHANNELS)
        return false;
    if (header.patternCount > MAX_PATTERNS || header.instrumentCount > MAX_INSTRUMENTS)
        return false;
    // A tick must last at least one output frame.
    if (header.bpm == 0 || header.bpm > MAX_BPM)
        return false;

    int songLength = header.songLength;
    if (songLength < 1)
        songLength = 1;
    if (songLength > ORDER_TABLE_SIZE)
        songLength = ORDER_TABLE_SIZE;
    int restart = header.restartPosition;
    if (restart >= songLength)
        restart = 0;

    song.songLength = int16_t(songLength);
    song.restartPosition = int16_t(restart);
    song.channelCount = int16_t(header.channelCount);
    song.instrumentCount = int16_t(header.instrumentCount);
    song.songFlags = header.flags;
    song.defaultTempo = int16_t(header.tempo);
    song.defaultBpm = int16_t(header.bpm);
    for (int i = 0; i < ORDER_TABLE_SIZE; ++i)
        song.orderTable[i] = header.orderTable[i];
    return true;
}

bool ApplyPatternRowRules(uint16_t fileRows, int32_t& rowCount, bool& readCells)
{
    if (fileRows > MAX_ROWS)
        return false;
    readCells = fileRows != 0;
    rowCount = fileRows != 0 ? fileRows : EMPTY_PATTERN_ROWS;
    return true;
}

void ApplyCellRules(NoteCell& cell)
{
    if (cell.note == 97)
        cell.note = NOTE_KEY_OFF;
    else if (cell.note > NOTE_COUNT)
        cell.note = 0;
    if (cell.instrument > MAX_INSTRUMENTS)
        cell.instrument = 0;
}

void ApplyInstrumentRules(Instrument& instrument)
{
    CleanEnvelope(instrument.volEnvelope, instrument.volPointCount, instrument.volType,
                  instrument.volSustain, instrument.volLoopStart, instrument.volLoopEnd);
    CleanEnvelope(instrument.panEnvelope, instrument.panPointCount, instrument.panType,
                  instrument.panSustain, instrument.panLoopStart, instrument.panLoopEnd);
}

bool ApplySampleRules(Sample& sample, uint8_t typeByte, SampleDataSpan& span)
{
    sample.loopKind = LOOP_NONE;
    sample.bits = 8;
    if (typeByte & 1)
        sample.loopKind = LOOP_FORWARD;
    if (typeByte & 2)
        sample.loopKind = LOOP_PINGPONG;
    if (typeByte & 0x10)
        sample.bits = 16;

    const uint32_t fileBytes = sample.length;
    if (sample.loopKind == LOOP_NONE) {
        sample.loopStart = 0;
        sample.loopLength = sample.length;
    }
    if (sample.bits == 16) {
        sample.length >>= 1;
        sample.loopStart >>= 1;
        sample.loopLength >>= 1;
    }
    if (sample.length > MAX_SAMPLE_FRAMES)
        return false;
    KeepLoopInSample(sample);
    if (sample.volume > 64)
        sample.volume = 64;

    span.dataBytes = sample.length * (sample.bits / 8);
    span.skipBytes = fileBytes - span.dataBytes;
    return true;
}

void CutSampleData(Sample& sample, uint32_t bytesHeld, SampleDataSpan& span)
{
    const uint32_t bytesPerFrame = sample.bits / 8;
    if (bytesHeld >= span.dataBytes || bytesPerFrame == 0)
        return;
    sample.length = bytesHeld / bytesPerFrame;
    KeepLoopInSample(sample);
    span.dataBytes = sample.length * bytesPerFrame;
    span.skipBytes = 0;
}
