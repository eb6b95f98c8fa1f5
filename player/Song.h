#pragma once

// The loaded XM module and the per-track sequencing state: the records the
// loader fills, the sequencer advances and the mixer's voices are driven from.

#include <cstdint>

struct Song;
struct Voice;

const int MAX_CHANNELS = 32;
const int MAX_INSTRUMENTS = 128;
const int MAX_PATTERNS = 256;
const int MAX_ROWS = 256;
const int SAMPLES_PER_INSTRUMENT = 16;
const int NOTE_COUNT = 96;
const int ENVELOPE_POINTS = 20;       // room in an Instrument
const int FILE_ENVELOPE_POINTS = 12;  // points an XM file holds
const int ORDER_TABLE_SIZE = 256;
const int SAMPLE_SLACK_FRAMES = 8;  // zero frames after every sample's data

const uint8_t NOTE_KEY_OFF = 255;
const int NO_JUMP = -1;

// Sample.loopKind
enum LoopKind : uint8_t { LOOP_NONE = 1, LOOP_FORWARD = 2, LOOP_PINGPONG = 4 };

// Envelope type bits (Instrument.volType, panType).
const uint8_t ENVELOPE_ON = 1;
const uint8_t ENVELOPE_SUSTAIN = 2;
const uint8_t ENVELOPE_LOOP = 4;

// Song.songFlags
const uint16_t SONG_LINEAR_FREQUENCIES = 1;

// Channel.updateFlags: what UpdateVoice recomputes for the channel's voice.
enum UpdateFlags : uint8_t {
    UPDATE_FREQUENCY = 1,
    UPDATE_VOLUME = 2,
    UPDATE_PANNING = 4,
    UPDATE_TRIGGER = 8,
    UPDATE_CUT = 32,  // stop the voice: the channel is silent until its next note
};

struct NoteCell {
    uint8_t note;        // 0 none, 1..96, NOTE_KEY_OFF
    uint8_t instrument;  // 0 none, 1..128
    uint8_t volumeColumn;
    uint8_t effect;  // 0..35
    uint8_t param;
};

struct Pattern {
    int32_t rowCount;
    NoteCell* cells;  // rowCount x channelCount, row-major
};

struct EnvelopePoint {
    uint16_t x;  // tick
    uint16_t y;  // 0..64
};

struct Sample {
    int16_t* data;  // length frames + SAMPLE_SLACK_FRAMES zero frames; null when length is 0
    uint32_t length;
    uint32_t loopStart;
    uint32_t loopLength;  // never 0 after loading; loopStart + loopLength ends the playable region
    uint8_t volume;
    int8_t finetune;
    int32_t panning;
    uint8_t bits;
    uint8_t loopKind;
    int8_t relativeNote;
};

struct Instrument {
    int32_t sampleCount;
    Sample* samples[SAMPLES_PER_INSTRUMENT];  // slots from sampleCount on point at EmptySample
    uint8_t sampleMap[NOTE_COUNT];
    EnvelopePoint volEnvelope[ENVELOPE_POINTS];
    EnvelopePoint panEnvelope[ENVELOPE_POINTS];
    uint8_t volPointCount, panPointCount;
    uint8_t volSustain, volLoopStart, volLoopEnd;
    uint8_t panSustain, panLoopStart, panLoopEnd;
    uint8_t volType, panType;
    uint8_t vibratoType, vibratoSweep, vibratoDepth, vibratoRate;
    uint16_t fadeout;  // twice the file's value
};

// Supplies already decoded sample data in place of the file's delta-coded bytes:
// (buffer, byte count, bits, instrument index, sample index).
typedef void (*SampleDataCallback)(void* buffer, int32_t byteCount, int32_t bits,
                                   int32_t instrument, int32_t sample);
typedef void (*TickCallback)(Song* song);

struct Song {
    Pattern* patterns;
    Instrument* instruments;
    int32_t samplesLeftInTick;
    int32_t samplesPerTick;
    int16_t songLength;
    int16_t restartPosition;
    int16_t channelCount;
    int32_t patternsUsed;
    int32_t patternSlots;
    int16_t instrumentCount;
    uint16_t songFlags;
    int16_t defaultTempo;
    int16_t defaultBpm;
    uint8_t orderTable[ORDER_TABLE_SIZE];
    uint8_t initialGlobalVolume;
    int32_t globalVolume;
    uint8_t globalVolumeSlideMem;
    int32_t tick;
    int32_t speed;
    int32_t bpm;
    int32_t row;
    int32_t orderPos;
    int32_t patternDelayTicks;
    int32_t nextRow;
    int32_t nextOrderPos;
    int32_t playTimeMs;
    TickCallback tickCallback;
    SampleDataCallback sampleDataCallback;
    // Frames mixed since play start; playTimeMs is derived from it so that it
    // never drifts behind the audio.
    uint64_t mixedFrames;
    // Row the next pattern starts at when the current one runs past its last
    // row: the target of the last pattern-loop jump made in this pattern, 0
    // when there was none.
    int32_t loopJumpRow;
    // Set by the loader when the file ended before all it announced: a pattern,
    // a sample's data or whole instruments were cut short. The song still plays
    // what the file holds; the tools say so.
    uint8_t fileEndsEarly;
    int16_t instrumentsMissing;  // instruments the file ended before or inside
};

struct Channel {
    uint8_t note;
    uint8_t updateFlags;
    Voice* voice;
    Sample* sample;
    int32_t period;
    int32_t volume;
    int32_t panning;
    int32_t volumeDelta;
    int32_t periodDelta;
    int32_t volEnvTick, volEnvPoint, volEnvFixed, volEnvValue, volEnvStep;
    uint8_t volEnvDone;
    int32_t panEnvTick, panEnvPoint, panEnvFixed, panEnvValue, panEnvStep;
    uint8_t panEnvDone;
    int32_t fadeoutVolume;
    int32_t autoVibratoPos;
    int32_t autoVibratoSweep;
    uint8_t keyOff;
    uint8_t instrument;
    uint8_t realNote;
    int32_t targetPeriod;
    uint8_t lastEffect;
    int32_t sampleOffsetMem;
    uint8_t portaDownMem, portaUpMem;
    uint8_t xfinePortaDownMem, xfinePortaUpMem;
    uint8_t volSlideMem;
    uint8_t panSlideMem;
    uint8_t retrigVolumeMode, retrigInterval;
    int32_t portaTarget;
    uint8_t portaSpeed;
    int8_t vibratoPos;
    uint8_t vibratoSpeed, vibratoDepth;
    int8_t tremoloPos;
    uint8_t tremoloSpeed, tremoloDepth;
    uint8_t tremorCounter, tremorOnTicks, tremorOffTicks;
    int32_t loopRow;
    int32_t loopCount;
    uint8_t waveControl;
    uint8_t fineVolSlideMem;
    uint8_t finePortaUpMem, finePortaDownMem;
    // Ticks counted toward the next multi retrig; runs on across rows and
    // starts again with every note.
    uint8_t retrigCounter;
};

// Shared stand-ins for a note without sample and an instrument number beyond
// the song's instruments: silence, no envelopes. Never freed.
extern Sample EmptySample;
extern Instrument EmptyInstrument;

// One Channel per pattern track; the first channelCount are used by the song playing.
extern Channel ChannelTable[MAX_CHANNELS];

// Releases a loaded song: stops the output first when it plays, then frees
// samples, instruments, patterns and the Song. False for null.
bool FreeSong(Song* song);
