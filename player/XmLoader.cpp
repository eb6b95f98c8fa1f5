#include "XmLoader.h"

#include "PlayerMemory.h"
#include "Sequencer.h"
#include "SongMemory.h"
#include "XmLoadRules.h"

#include <climits>
#include <cstring>

namespace {

const char XM_ID[] = "Extended Module: ";
const int XM_ID_LENGTH = 17;
const int HEADER_SIZE_OFFSET = 60;
const int INSTRUMENT_NAME_AND_TYPE = 23;
const int SAMPLE_HEADER_BYTES = 40;
const int EMPTY_PATTERN_ROWS = 64;
const uint32_t PATTERN_HEADER_BYTES = 9;

// How far a part of the file could be read.
enum ReadResult {
    READ_WHOLE,    // all of it
    READ_CUT,      // the file ends inside it: what is whole is kept
    READ_REFUSED,  // malformed, or memory ran out
};

// Input primitives. Every one does nothing once the input has failed, so a
// parse can read on and test for failure where it matters.

bool ReadBytes(SongInput* input, void* destination, int64_t count)
{
    if (!input || input->failed)
        return false;
    if (count == 0)
        return true;
    if (count < 0 || count > INT_MAX) {
        input->failed = true;
        return false;
    }
    const int got = RegisteredFileCallbacks().read(destination, int(count), input->handle);
    if (got != int(count)) {
        input->failed = true;
        return false;
    }
    return true;
}

template <typename T>
T ReadValue(SongInput* input)
{
    uint8_t bytes[sizeof(T)] = {};
    ReadBytes(input, bytes, sizeof(T));
    uint64_t value = 0;
    for (size_t i = 0; i < sizeof(T); ++i)
        value |= uint64_t(bytes[i]) << (8 * i);
    return T(value);
}

int64_t Tell(SongInput* input)
{
    if (!input || input->failed)
        return 0;
    const int position = RegisteredFileCallbacks().tell(input->handle);
    if (position < 0)
        input->failed = true;
    return position;
}

bool SeekTo(SongInput* input, int64_t position)
{
    if (!input || input->failed)
        return false;
    if (position < 0 || position > INT_MAX) {
        input->failed = true;
        return false;
    }
    RegisteredFileCallbacks().seek(input->handle, int(position), 0);
    return true;
}

bool SeekBy(SongInput* input, int64_t offset)
{
    if (offset == 0)
        return input && !input->failed;
    return SeekTo(input, Tell(input) + offset);
}

// True when a byte can be read at position; leaves the position anywhere.
bool ByteAt(SongInput* input, int64_t position)
{
    if (position < 0 || position > INT_MAX)
        return false;
    const FileCallbacks& file = RegisteredFileCallbacks();
    file.seek(input->handle, int(position), 0);
    uint8_t probe = 0;
    return file.tell(input->handle) == position && file.read(&probe, 1, input->handle) == 1;
}

// How many of the next count bytes the input holds (the file may end
// sooner); the position is kept. Asked before memory is allocated for data
// the header only claims.
int64_t BytesAvailable(SongInput* input, int64_t count)
{
    if (!input || input->failed || count <= 0)
        return 0;
    const int64_t here = Tell(input);
    int64_t held = 0;
    if (ByteAt(input, here + count - 1)) {
        held = count;
    } else {
        // Bytes [here, here + held) are there, the one at here + missing - 1 is not.
        int64_t missing = count;
        while (missing - held > 1) {
            const int64_t middle = held + (missing - held) / 2;
            if (ByteAt(input, here + middle - 1))
                held = middle;
            else
                missing = middle;
        }
    }
    return SeekTo(input, here) ? held : 0;
}

template <typename T>
T* AllocArray(int64_t count)
{
    if (count < 0 || uint64_t(count) > SIZE_MAX / sizeof(T))
        return nullptr;
    return static_cast<T*>(PlayerAllocZeroed(size_t(count) * sizeof(T)));
}

bool ReadHeader(SongInput* input, XmHeader& header)
{
    header.headerSize = ReadValue<uint32_t>(input);
    header.songLength = ReadValue<uint16_t>(input);
    header.restartPosition = ReadValue<uint16_t>(input);
    header.channelCount = ReadValue<uint16_t>(input);
    header.patternCount = ReadValue<uint16_t>(input);
    header.instrumentCount = ReadValue<uint16_t>(input);
    header.flags = ReadValue<uint16_t>(input);
    header.tempo = ReadValue<uint16_t>(input);
    header.bpm = ReadValue<uint16_t>(input);
    return ReadBytes(input, header.orderTable, ORDER_TABLE_SIZE);
}

// A packed cell: a mask byte (bit 7 set) followed by the fields it names, or
// a note byte followed by all four other fields.
bool ReadCell(SongInput* input, NoteCell& cell)
{
    uint8_t first = 0;
    if (!ReadBytes(input, &first, 1))
        return false;
    uint8_t fields[5] = {};
    if (first & 0x80) {
        uint8_t present[5];
        int count = 0;
        for (int bit = 0; bit < 5; ++bit)
            if (first & (1 << bit))
                ++count;
        if (!ReadBytes(input, present, count))
            return false;
        int next = 0;
        for (int bit = 0; bit < 5; ++bit)
            if (first & (1 << bit))
                fields[bit] = present[next++];
    } else {
        fields[0] = first;
        if (!ReadBytes(input, fields + 1, 4))
            return false;
    }
    cell = NoteCell{fields[0], fields[1], fields[2], fields[3], fields[4]};
    ApplyCellRules(cell);
    return true;
}

// Patterns [first, last) as 64 empty rows: missing from the file.
bool AddEmptyPatterns(Song* song, int first, int last)
{
    for (int p = first; p < last; ++p) {
        song->patterns[p].rowCount = EMPTY_PATTERN_ROWS;
        song->patterns[p].cells = AllocArray<NoteCell>(int64_t(EMPTY_PATTERN_ROWS) *
                                                       song->channelCount);
        if (!song->patterns[p].cells)
            return false;
    }
    return true;
}

ReadResult ReadPatterns(Song* song, SongInput* input, int patternCount)
{
    ReadResult result = READ_WHOLE;
    int p = 0;
    for (; p < patternCount && result == READ_WHOLE; ++p) {
        Pattern& pattern = song->patterns[p];
        const uint32_t headerLength = ReadValue<uint32_t>(input);
        ReadValue<uint8_t>(input);  // packing type
        const uint16_t fileRows = ReadValue<uint16_t>(input);
        const uint16_t packedSize = ReadValue<uint16_t>(input);
        if (input->failed)
            break;  // this pattern and the later ones are missing
        const int64_t extraHeader = int64_t(headerLength) - PATTERN_HEADER_BYTES;
        if (headerLength < PATTERN_HEADER_BYTES ||
            BytesAvailable(input, extraHeader) != extraHeader || !SeekBy(input, extraHeader))
            return READ_REFUSED;
        bool readCells = false;
        if (!ApplyPatternRowRules(fileRows, pattern.rowCount, readCells))
            return READ_REFUSED;
        const int64_t cellCount = int64_t(pattern.rowCount) * song->channelCount;
        pattern.cells = AllocArray<NoteCell>(cellCount);
        if (!pattern.cells)
            return READ_REFUSED;
        if (packedSize == 0)
            continue;
        if (!readCells) {
            // No rows to fill: pass over the data so the next header is found.
            SeekBy(input, packedSize);
            continue;
        }
        for (int64_t c = 0; c < cellCount; ++c) {
            if (!ReadCell(input, pattern.cells[c])) {
                // The file ends in this pattern: its whole rows stay.
                const int64_t rowStart = c - c % song->channelCount;
                for (int64_t k = rowStart; k < c; ++k)
                    pattern.cells[k] = NoteCell{};
                result = READ_CUT;
                break;
            }
        }
    }
    if (p < patternCount)
        result = READ_CUT;
    // Patterns the file ends before, and order entries naming patterns the
    // file lacks, play empty 64-row patterns.
    if (!AddEmptyPatterns(song, p, patternCount) ||
        !AddEmptyPatterns(song, patternCount, song->patternsUsed))
        return READ_REFUSED;
    return result;
}

bool ReadInstrumentHeader(SongInput* input, Instrument& instrument)
{
    ReadValue<uint32_t>(input);  // sample header size: taken to be 40 bytes
    ReadBytes(input, instrument.sampleMap, NOTE_COUNT);
    for (int i = 0; i < FILE_ENVELOPE_POINTS; ++i) {
        instrument.volEnvelope[i].x = ReadValue<uint16_t>(input);
        instrument.volEnvelope[i].y = ReadValue<uint16_t>(input);
    }
    for (int i = 0; i < FILE_ENVELOPE_POINTS; ++i) {
        instrument.panEnvelope[i].x = ReadValue<uint16_t>(input);
        instrument.panEnvelope[i].y = ReadValue<uint16_t>(input);
    }
    uint8_t fields[14] = {};
    ReadBytes(input, fields, sizeof(fields));
    instrument.volPointCount = fields[0];
    instrument.panPointCount = fields[1];
    instrument.volSustain = fields[2];
    instrument.volLoopStart = fields[3];
    instrument.volLoopEnd = fields[4];
    instrument.panSustain = fields[5];
    instrument.panLoopStart = fields[6];
    instrument.panLoopEnd = fields[7];
    instrument.volType = fields[8];
    instrument.panType = fields[9];
    instrument.vibratoType = fields[10];
    instrument.vibratoSweep = fields[11];
    instrument.vibratoDepth = fields[12];
    instrument.vibratoRate = fields[13];
    instrument.fadeout = uint16_t(ReadValue<uint16_t>(input) * 2);
    if (input->failed)
        return false;
    ApplyInstrumentRules(instrument);
    return true;
}

bool ReadSampleHeader(SongInput* input, Sample& sample, SampleDataSpan& span)
{
    uint8_t bytes[SAMPLE_HEADER_BYTES];
    if (!ReadBytes(input, bytes, sizeof(bytes)))
        return false;
    auto u32 = [&bytes](int at) {
        return uint32_t(bytes[at]) | uint32_t(bytes[at + 1]) << 8 | uint32_t(bytes[at + 2]) << 16 |
               uint32_t(bytes[at + 3]) << 24;
    };
    sample.length = u32(0);
    sample.loopStart = u32(4);
    sample.loopLength = u32(8);
    sample.volume = bytes[12];
    sample.finetune = int8_t(bytes[13]);
    const uint8_t type = bytes[14];
    sample.panning = bytes[15];
    sample.relativeNote = int8_t(bytes[16]);
    return ApplySampleRules(sample, type, span);
}

// Reads (or obtains from the sample-data callback) one sample's data, widens
// 8-bit data to 16 bits, undoes the delta coding and writes the guard frame
// that lets the mixer interpolate across the loop boundary. A sample the file
// ends inside keeps the frames it holds; the input counts as ended after it.
// False only when memory runs out.
bool ReadSampleData(Song* song, SongInput* input, Sample& sample, SampleDataSpan span,
                    int instrumentIndex, int sampleIndex)
{
    const int64_t held = BytesAvailable(input, span.dataBytes);
    const bool cut = held < int64_t(span.dataBytes);
    CutSampleData(sample, uint32_t(held), span);
    if (sample.length == 0) {
        input->failed = input->failed || cut;
        return true;
    }
    sample.data = AllocArray<int16_t>(int64_t(sample.length) + SAMPLE_SLACK_FRAMES);
    if (!sample.data)
        return false;
    if (song->sampleDataCallback) {
        song->sampleDataCallback(sample.data, int32_t(span.dataBytes), sample.bits, instrumentIndex,
                                 sampleIndex);
        SeekBy(input, int64_t(span.dataBytes) + span.skipBytes);
    } else {
        ReadBytes(input, sample.data, span.dataBytes);
        SeekBy(input, span.skipBytes);
    }
    if (cut)
        input->failed = true;

    int16_t* frames = sample.data;
    if (sample.bits == 8) {
        // In place, from the end: frame k covers bytes 2k and 2k + 1, never
        // a byte still to be read.
        const uint8_t* bytes = reinterpret_cast<const uint8_t*>(sample.data);
        for (uint32_t k = sample.length; k-- > 0;)
            frames[k] = int16_t(uint16_t(bytes[k] << 8));
        sample.bits = 16;
    }
    if (!song->sampleDataCallback) {
        uint16_t sum = 0;
        for (uint32_t k = 0; k < sample.length; ++k) {
            sum = uint16_t(sum + uint16_t(frames[k]));
            frames[k] = int16_t(sum);
        }
    }
    const uint32_t end = sample.loopStart + sample.loopLength;
    if (sample.loopKind == LOOP_PINGPONG)
        frames[end] = frames[end - 1];
    else if (sample.loopKind == LOOP_FORWARD)
        frames[end] = frames[sample.loopStart];
    return true;
}

// An instrument the file ends before (or inside its headers): no samples.
void EmptyInstrumentAt(Instrument& instrument)
{
    for (int j = 0; j < instrument.sampleCount; ++j) {
        if (instrument.samples[j] && instrument.samples[j] != &EmptySample) {
            PlayerFree(instrument.samples[j]->data);
            PlayerFree(instrument.samples[j]);
        }
    }
    instrument = Instrument{};
    for (Sample*& slot : instrument.samples)
        slot = &EmptySample;
}

// Reads the instruments; those the file ends before stay empty. False
// refuses the module.
bool ReadInstruments(Song* song, SongInput* input)
{
    int i = 0;
    for (; i < song->instrumentCount && !input->failed; ++i) {
        Instrument& instrument = song->instruments[i];
        const int64_t start = Tell(input);
        const uint32_t headerSize = ReadValue<uint32_t>(input);
        SeekBy(input, INSTRUMENT_NAME_AND_TYPE);
        const uint16_t sampleCount = ReadValue<uint16_t>(input);
        if (input->failed)
            break;
        if (sampleCount > SAMPLES_PER_INSTRUMENT)
            return false;
        instrument.sampleCount = sampleCount;
        if (sampleCount == 0) {
            for (Sample*& slot : instrument.samples)
                slot = &EmptySample;
            SeekTo(input, start + headerSize);
            continue;
        }
        if (!ReadInstrumentHeader(input, instrument) || !SeekTo(input, start + headerSize))
            break;

        SampleDataSpan spans[SAMPLES_PER_INSTRUMENT] = {};
        for (int j = sampleCount; j < SAMPLES_PER_INSTRUMENT; ++j)
            instrument.samples[j] = &EmptySample;
        for (int j = 0; j < sampleCount; ++j) {
            instrument.samples[j] = AllocArray<Sample>(1);
            if (!instrument.samples[j])
                return false;
            if (!ReadSampleHeader(input, *instrument.samples[j], spans[j]) && !input->failed)
                return false;
        }
        if (input->failed)
            break;
        for (int j = 0; j < sampleCount; ++j)
            if (instrument.samples[j]->length != 0 &&
                !ReadSampleData(song, input, *instrument.samples[j], spans[j], i, j))
                return false;
    }
    // A file may end before its last instruments; they stay silent.
    song->instrumentsMissing = int16_t(song->instrumentCount - i);
    if (i < song->instrumentCount)
        EmptyInstrumentAt(song->instruments[i]);
    for (int k = i + 1; k < song->instrumentCount; ++k)
        EmptyInstrumentAt(song->instruments[k]);
    return true;
}

}  // namespace

bool ParseXm(Song* song, SongInput* input)
{
    if (!song || !input)
        return false;
    char id[XM_ID_LENGTH];
    if (!SeekTo(input, 0) || !ReadBytes(input, id, XM_ID_LENGTH) ||
        std::memcmp(id, XM_ID, XM_ID_LENGTH) != 0)
        return false;
    song->tickCallback = SongTick;
    song->initialGlobalVolume = 64;

    XmHeader header = {};
    if (!SeekTo(input, HEADER_SIZE_OFFSET) || !ReadHeader(input, header) ||
        !ApplyHeaderRules(*song, header) ||
        !SeekTo(input, int64_t(HEADER_SIZE_OFFSET) + header.headerSize))
        return false;

    int used = 0;
    for (int i = 0; i < song->songLength; ++i)
        if (song->orderTable[i] + 1 > used)
            used = song->orderTable[i] + 1;
    song->patternsUsed = used;
    song->patternSlots = header.patternCount > used ? header.patternCount : used;
    song->patterns = AllocArray<Pattern>(song->patternSlots);
    if (!song->patterns || ReadPatterns(song, input, header.patternCount) == READ_REFUSED)
        return false;

    if (song->instrumentCount > 0) {
        song->instruments = AllocArray<Instrument>(song->instrumentCount);
        if (!song->instruments)
            return false;
    }
    if (!ReadInstruments(song, input))
        return false;
    song->fileEndsEarly = input->failed ? 1 : 0;
    return true;
}

Song* LoadSong(const char* name, SampleDataCallback sampleDataCallback)
{
    if (!FileCallbacksRegistered())
        return nullptr;
    Song* song = AllocArray<Song>(1);
    if (!song)
        return nullptr;
    SongInput input = {nullptr, false};
    input.handle = RegisteredFileCallbacks().open(name ? name : "");
    if (!input.handle) {
        ReleaseSongMemory(song);
        return nullptr;
    }
    song->sampleDataCallback = sampleDataCallback;
    const bool parsed = ParseXm(song, &input);
    RegisteredFileCallbacks().close(input.handle);
    if (!parsed) {
        // The song never left the loader, so no output can be playing it.
        ReleaseSongMemory(song);
        return nullptr;
    }
    return song;
}
