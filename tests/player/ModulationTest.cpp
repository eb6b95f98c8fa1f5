#include "Modulation.h"
#include "PlayerTestKit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace {

class Modulation : public testing::Test {
protected:
    void SetUp() override
    {
        ResetVoiceTable();
        std::memset(&channel, 0, sizeof(channel));
        channel.voice = &VoiceTable[0];
        std::memset(&song, 0, sizeof(song));
        song.songFlags = SONG_LINEAR_FREQUENCIES;
        song.globalVolume = 64;
    }

    std::vector<int32_t> StepVolume(const Instrument& inst, int ticks)
    {
        std::vector<int32_t> values;
        for (int i = 0; i < ticks; ++i) {
            StepVolumeEnvelope(&channel, &inst);
            values.push_back(channel.volEnvValue);
        }
        return values;
    }

    static Instrument Envelope(std::initializer_list<EnvelopePoint> points, uint8_t type)
    {
        Instrument inst;
        std::memset(&inst, 0, sizeof(inst));
        int i = 0;
        for (const EnvelopePoint& point : points)
            inst.volEnvelope[i++] = point;
        inst.volPointCount = uint8_t(i);
        inst.volType = type;
        return inst;
    }

    Channel channel;
    Song song;
};

}  // namespace

TEST_F(Modulation, EnvelopeInterpolatesAndEndsAtItsLastPoint)
{
    const Instrument inst = Envelope({{0, 64}, {10, 0}}, ENVELOPE_ON);
    EXPECT_EQ(StepVolume(inst, 11),
              (std::vector<int32_t>{64, 57, 51, 44, 38, 32, 25, 19, 12, 6, 0}));
    EXPECT_EQ(channel.volEnvStep, -419430);
    EXPECT_EQ(channel.volEnvDone, 1);
    EXPECT_EQ(channel.updateFlags & UPDATE_VOLUME, UPDATE_VOLUME);
}

TEST_F(Modulation, EnvelopeHoldsAtTheSustainPointUntilKeyOff)
{
    const Instrument inst = Envelope({{0, 64}, {10, 32}, {20, 0}}, ENVELOPE_ON | ENVELOPE_SUSTAIN);
    Instrument held = inst;
    held.volSustain = 1;
    const std::vector<int32_t> before = StepVolume(held, 30);
    EXPECT_EQ(before[10], 32);
    EXPECT_EQ(before[29], 32);
    EXPECT_EQ(channel.volEnvTick, 10);
    channel.keyOff = 1;
    // The key-off tick still gives the sustain value; the next one moves on.
    EXPECT_EQ(StepVolume(held, 3), (std::vector<int32_t>{32, 28, 25}));
}

TEST_F(Modulation, EnvelopeLoopJumpsBackWhenItArrivesAtTheLoopEnd)
{
    Instrument inst = Envelope({{0, 0}, {4, 64}, {8, 0}}, ENVELOPE_ON | ENVELOPE_LOOP);
    inst.volLoopStart = 0;
    inst.volLoopEnd = 2;
    EXPECT_EQ(StepVolume(inst, 18), (std::vector<int32_t>{0, 16, 32, 48, 64, 48, 32, 16, 0, 16, 32,
                                                          48, 64, 48, 32, 16, 0, 16}));
    EXPECT_EQ(channel.volEnvDone, 0);
}

TEST_F(Modulation, WaveformTables)
{
    const int sine[17] = {0,   25,  49,  74,  97,  120, 142, 162, 181,
                          197, 212, 225, 236, 244, 251, 254, 255};
    for (int p = -32; p < 32; ++p) {
        const int distance = std::abs(p);
        EXPECT_EQ(WaveformValue(0, int8_t(p)), sine[distance <= 16 ? distance : 32 - distance])
            << p;
        EXPECT_EQ(WaveformValue(0, int8_t(p)), int(std::fabs(std::sin(p * 2 * 0.049087375) * 256)))
            << p;
        EXPECT_EQ(WaveformValue(2, int8_t(p)), 255);
    }
    EXPECT_EQ(WaveformValue(1, -32), 255);
    EXPECT_EQ(WaveformValue(1, -1), 7);
    EXPECT_EQ(WaveformValue(1, 0), 0);
    EXPECT_EQ(WaveformValue(1, 31), 248);
}

TEST_F(Modulation, VibratoDepthAndWaveforms)
{
    channel.vibratoDepth = 15;
    channel.vibratoPos = 16;
    ApplyVibrato(&channel);
    EXPECT_EQ(channel.periodDelta, -116);
    EXPECT_EQ(channel.updateFlags, UPDATE_FREQUENCY);
    channel.vibratoPos = -16;
    ApplyVibrato(&channel);
    EXPECT_EQ(channel.periodDelta, 116);
    channel.waveControl = 1;  // ramp
    channel.vibratoPos = 31;
    ApplyVibrato(&channel);
    EXPECT_EQ(channel.periodDelta, -116);  // (248 x 15) >> 5 = 116
    channel.waveControl = 3;               // square for vibrato
    channel.vibratoDepth = 8;
    channel.vibratoPos = 5;
    ApplyVibrato(&channel);
    EXPECT_EQ(channel.periodDelta, -60);  // (255 x 8) >> 5 = 63, low bits cleared
    channel.vibratoSpeed = 15;
    channel.vibratoPos = 20;
    ApplyVibratoAndAdvance(&channel);
    EXPECT_EQ(channel.vibratoPos, 20 + 15 - 64);
}

TEST_F(Modulation, TremoloStaysWithinTheVolumeRange)
{
    channel.tremoloDepth = 4;
    channel.tremoloPos = 7;  // sine 162: (162 x 4) >> 6 = 10
    channel.volume = 30;
    ApplyTremolo(&channel);
    EXPECT_EQ(channel.volumeDelta, 10);
    channel.tremoloPos = 7;
    channel.volume = 60;
    ApplyTremolo(&channel);
    EXPECT_EQ(channel.volumeDelta, 4);
    channel.tremoloPos = -7;
    channel.volume = 5;
    ApplyTremolo(&channel);
    EXPECT_EQ(channel.volumeDelta, -5);
    channel.tremoloPos = -7;
    channel.volume = 30;
    ApplyTremolo(&channel);
    EXPECT_EQ(channel.volumeDelta, -10);
    // Waveform 3 is a sine for tremolo.
    channel.waveControl = 0x30;
    channel.tremoloPos = 7;
    ApplyTremolo(&channel);
    EXPECT_EQ(channel.volumeDelta, 10);
    channel.waveControl = 0x20;
    channel.tremoloPos = 7;
    channel.tremoloSpeed = 9;
    ApplyTremolo(&channel);
    EXPECT_EQ(channel.volumeDelta, 15);
    EXPECT_EQ(channel.tremoloPos, 16);
    EXPECT_EQ(channel.updateFlags, UPDATE_VOLUME);
}

TEST_F(Modulation, TremorAlternatesAudibleAndSilentTicks)
{
    channel.volume = 40;
    channel.tremorOnTicks = 2;
    channel.tremorOffTicks = 3;
    std::vector<int32_t> deltas;
    for (int i = 0; i < 10; ++i) {
        channel.volumeDelta = 0;
        ApplyTremor(&channel);
        deltas.push_back(channel.volumeDelta);
    }
    EXPECT_EQ(deltas, (std::vector<int32_t>{0, 0, -40, -40, -40, 0, 0, -40, -40, -40}));
}

TEST_F(Modulation, TonePortamentoStopsAtItsTarget)
{
    channel.period = 1000;
    channel.portaTarget = 1010;
    channel.portaSpeed = 2;
    StepTonePortamento(&channel);
    EXPECT_EQ(channel.period, 1008);
    StepTonePortamento(&channel);
    EXPECT_EQ(channel.period, 1010);
    channel.portaTarget = 1001;
    StepTonePortamento(&channel);
    EXPECT_EQ(channel.period, 1002);
    StepTonePortamento(&channel);
    EXPECT_EQ(channel.period, 1001);
    StepTonePortamento(&channel);
    EXPECT_EQ(channel.period, 1001);
    EXPECT_EQ(channel.updateFlags, UPDATE_FREQUENCY);
}

TEST_F(Modulation, AutoVibratoWaveformsAndSweep)
{
    Instrument inst;
    std::memset(&inst, 0, sizeof(inst));
    inst.vibratoDepth = 8;
    channel.autoVibratoPos = 64;
    ApplyAutoVibrato(&channel, &inst);
    EXPECT_EQ(channel.periodDelta, 7);  // (63 x 8) >> 6
    EXPECT_EQ(channel.autoVibratoPos, 64);

    inst.vibratoDepth = 64;
    const int32_t expected[4][4] = {
        // positions 0, 64, 128, 192
        {0, 63, 0, -63},     // sine
        {64, 64, -64, -64},  // square
        {0, -32, 64, 32},    // ramp down
        {0, 32, 64, -32},    // ramp up
    };
    for (uint8_t type = 0; type < 4; ++type)
        for (int i = 0; i < 4; ++i) {
            channel.periodDelta = 0;
            channel.autoVibratoPos = 64 * i;
            inst.vibratoType = type;
            ApplyAutoVibrato(&channel, &inst);
            EXPECT_EQ(channel.periodDelta, expected[type][i]) << int(type) << " " << i;
        }
    inst.vibratoType = 9;  // no such waveform: no vibrato
    channel.periodDelta = 0;
    ApplyAutoVibrato(&channel, &inst);
    EXPECT_EQ(channel.periodDelta, 0);

    // With a sweep the depth grows from nothing over vibratoSweep ticks.
    inst.vibratoType = 1;
    inst.vibratoSweep = 4;
    inst.vibratoRate = 0;
    channel.autoVibratoPos = 0;
    channel.autoVibratoSweep = 0;
    std::vector<int32_t> deltas;
    for (int i = 0; i < 6; ++i) {
        channel.periodDelta = 0;
        ApplyAutoVibrato(&channel, &inst);
        deltas.push_back(channel.periodDelta);
    }
    EXPECT_EQ(deltas, (std::vector<int32_t>{0, 16, 32, 48, 64, 64}));
    inst.vibratoRate = 200;
    channel.autoVibratoPos = 100;
    ApplyAutoVibrato(&channel, &inst);
    EXPECT_EQ(channel.autoVibratoPos, 44);
}

TEST_F(Modulation, ResetForInstrumentKeepsPhasesOfContinuingWaveforms)
{
    Sample sample = {};
    sample.volume = 33;
    sample.panning = 77;
    channel.keyOff = 1;
    channel.fadeoutVolume = 5;
    channel.volEnvDone = 1;
    channel.vibratoPos = 9;
    channel.tremoloPos = -4;
    channel.tremorCounter = 3;
    channel.waveControl = 0x04;  // vibrato keeps its phase, tremolo does not
    ResetChannelForInstrument(&channel, &sample);
    EXPECT_EQ(channel.volume, 33);
    EXPECT_EQ(channel.panning, 77);
    EXPECT_EQ(channel.volEnvValue, 64);
    EXPECT_EQ(channel.panEnvValue, 32);
    EXPECT_EQ(channel.keyOff, 0);
    EXPECT_EQ(channel.fadeoutVolume, 65536);
    EXPECT_EQ(channel.volEnvDone, 0);
    EXPECT_EQ(channel.vibratoPos, 9);
    EXPECT_EQ(channel.tremoloPos, 0);
    EXPECT_EQ(channel.tremorCounter, 0);
    EXPECT_EQ(channel.updateFlags, UPDATE_VOLUME | UPDATE_PANNING);
}

TEST_F(Modulation, AmigaPeriodTable)
{
    EXPECT_EQ(AmigaPeriod(0, 0), 27392);
    EXPECT_EQ(AmigaPeriod(48, 0), 1712);
    EXPECT_EQ(AmigaPeriod(60, 0), 856);
    EXPECT_EQ(AmigaPeriod(48, 64), 1664);  // half way to the note above (1615)
    EXPECT_EQ(AmigaPeriod(48, 127), 1616);
    EXPECT_EQ(AmigaPeriod(48, -64), 1762);  // half way to the note below (1813)
    EXPECT_EQ(AmigaPeriod(0, -50), 27992);  // note 0 looks upward whatever the sign
    // Far beyond the table the periods only shrink; they stay defined.
    EXPECT_GE(AmigaPeriod(255, 0), 0);
}

TEST_F(Modulation, NotePeriodsInBothTables)
{
    EXPECT_EQ(NotePeriod(&song, 48, 0), 4608);
    EXPECT_EQ(NotePeriod(&song, 49, 0), 4544);
    EXPECT_EQ(NotePeriod(&song, 48, -20), 4618);
    EXPECT_EQ(NotePeriod(&song, 48, -3), 4609);  // -3 / 2 truncates toward zero
    EXPECT_EQ(NotePeriod(&song, 48, 15), 4601);
    song.songFlags = 0;
    EXPECT_EQ(NotePeriod(&song, 48, 0), 1712);
}

TEST_F(Modulation, TickLengthFollowsTheBpm)
{
    for (int bpm = 1; bpm <= 255; ++bpm)
        EXPECT_EQ(SamplesPerTickFor(bpm), int32_t(44100 * 25 / (bpm * 10))) << bpm;
    EXPECT_EQ(SamplesPerTickFor(125), 882);
    EXPECT_EQ(SamplesPerTickFor(176), 626);
    SetBpm(&song, 0);
    EXPECT_EQ(song.bpm, 1);
    EXPECT_EQ(song.samplesPerTick, 110250);
    SetBpm(&song, -300);
    EXPECT_GE(song.samplesPerTick, 1);
    SetBpm(&song, 2000000000);
    EXPECT_GE(song.samplesPerTick, 1);
    SetBpm(&song, 176);
    EXPECT_EQ(song.bpm, 176);
    EXPECT_EQ(song.samplesPerTick, 626);
}

TEST_F(Modulation, FrequencyFromThePeriod)
{
    Sample sample = {};
    channel.period = 4608;
    channel.updateFlags = UPDATE_FREQUENCY;
    UpdateVoice(&channel, &sample, &song);
    EXPECT_EQ(channel.voice->frequency, 8363);
    EXPECT_EQ(channel.voice->increment, (uint64_t(8363) << 32) / 44100);
    channel.periodDelta = 64;  // a semitone up with the linear table
    UpdateVoice(&channel, &sample, &song);
    EXPECT_EQ(channel.voice->frequency, 8860);
    song.songFlags = 0;
    channel.period = 1712;
    channel.periodDelta = 0;
    UpdateVoice(&channel, &sample, &song);
    EXPECT_EQ(channel.voice->frequency, 8362);
    // A zero period leaves the frequency as it was.
    channel.period = 10;
    channel.periodDelta = -10;
    UpdateVoice(&channel, &sample, &song);
    EXPECT_EQ(channel.voice->frequency, 8362);
    // Negative and tiny results play at 100 Hz; frequency keeps the real value.
    channel.period = -5;
    channel.periodDelta = 0;
    UpdateVoice(&channel, &sample, &song);
    EXPECT_EQ(channel.voice->frequency, -14317056 / 5);
    EXPECT_EQ(channel.voice->increment, (uint64_t(100) << 32) / 44100);
    // Far-out periods stay below 256 frames per output frame.
    song.songFlags = SONG_LINEAR_FREQUENCIES;
    channel.period = -PERIOD_LIMIT;
    UpdateVoice(&channel, &sample, &song);
    EXPECT_LT(channel.voice->increment, MAX_INCREMENT + 1);
    EXPECT_GE(channel.voice->increment, uint64_t(255) << 32);
    song.songFlags = 0;
    channel.period = 1;
    UpdateVoice(&channel, &sample, &song);
    EXPECT_LT(channel.voice->increment, MAX_INCREMENT + 1);
}

TEST_F(Modulation, VolumeAndPanningGiveTheTargetGains)
{
    Sample sample = {};
    channel.volume = 64;
    channel.volEnvValue = 64;
    channel.fadeoutVolume = 65536;
    channel.panning = 128;
    channel.panEnvValue = 32;
    channel.updateFlags = UPDATE_VOLUME | UPDATE_PANNING;
    UpdateVoice(&channel, &sample, &song);
    Voice& voice = *channel.voice;
    EXPECT_EQ(voice.volume, 127);
    EXPECT_EQ(voice.volumeSet, 127);
    EXPECT_EQ(voice.leftTarget, 63);
    EXPECT_EQ(voice.rightTarget, 63);
    // Panning 0 is the left output only, 255 the right only.
    channel.panning = 0;
    UpdateVoice(&channel, &sample, &song);
    EXPECT_EQ(voice.leftTarget, 127);
    EXPECT_EQ(voice.rightTarget, 0);
    channel.panning = 255;
    UpdateVoice(&channel, &sample, &song);
    EXPECT_EQ(voice.leftTarget, 0);
    EXPECT_EQ(voice.rightTarget, 127);
    EXPECT_EQ(voice.panningSet, 255);
    // The envelope swings the panning around the centre, less near the edges.
    channel.panning = 128;
    channel.panEnvValue = 0;
    UpdateVoice(&channel, &sample, &song);
    EXPECT_EQ(voice.panning, 0);
    channel.panEnvValue = 64;
    UpdateVoice(&channel, &sample, &song);
    EXPECT_EQ(voice.panning, 255);
    channel.panning = 0;
    UpdateVoice(&channel, &sample, &song);
    EXPECT_EQ(voice.panning, 0);
    channel.panning = 300;  // a slide beyond the range is clamped at the voice only
    UpdateVoice(&channel, &sample, &song);
    EXPECT_EQ(voice.panning, 255);
    EXPECT_EQ(channel.panning, 300);
    // Global volume and fade-out scale the volume.
    channel.updateFlags = UPDATE_VOLUME;
    song.globalVolume = 32;
    channel.fadeoutVolume = 32768;
    UpdateVoice(&channel, &sample, &song);
    EXPECT_EQ(voice.volume, 31);  // 127.5 / 4
    // Cxx above 64 plays louder.
    song.globalVolume = 64;
    channel.fadeoutVolume = 65536;
    channel.volume = 128;
    UpdateVoice(&channel, &sample, &song);
    EXPECT_EQ(voice.volume, 255);
}

TEST_F(Modulation, TriggerMovesASoundingNoteToThePartnerVoice)
{
    int16_t frames[16] = {1, 2, 3, 4, 5, 6, 7, 8};
    Sample first = {};
    first.data = frames;
    first.length = 8;
    first.loopLength = 8;
    first.loopKind = LOOP_NONE;
    Sample second = first;
    channel.voice = &VoiceTable[3];
    channel.updateFlags = UPDATE_TRIGGER;
    UpdateVoice(&channel, &first, &song);
    EXPECT_EQ(channel.voice, &VoiceTable[3]);
    EXPECT_EQ(VoiceTable[3].sample, &first);
    VoiceTable[3].volume = 100;
    VoiceTable[3].leftTarget = 50;
    VoiceTable[3].rightTarget = 40;
    VoiceTable[3].positionInt = 5;

    channel.updateFlags = UPDATE_TRIGGER;
    UpdateVoice(&channel, &second, &song);
    EXPECT_EQ(channel.voice, &VoiceTable[35]);
    EXPECT_EQ(VoiceTable[35].index, 35);
    EXPECT_EQ(VoiceTable[35].sample, &second);
    EXPECT_EQ(VoiceTable[35].positionInt, 0);
    EXPECT_EQ(VoiceTable[35].leftTarget, 50);  // until a volume update
    EXPECT_EQ(VoiceTable[35].orphaned, 0);
    // The old voice keeps its note and position and fades out.
    EXPECT_EQ(VoiceTable[3].sample, &first);
    EXPECT_EQ(VoiceTable[3].positionInt, 5);
    EXPECT_EQ(VoiceTable[3].volume, 0);
    EXPECT_EQ(VoiceTable[3].leftTarget, 0);
    EXPECT_EQ(VoiceTable[3].rightTarget, 0);
    EXPECT_EQ(VoiceTable[3].index, 3);
    EXPECT_EQ(VoiceTable[3].orphaned, 1);

    // A trigger on a voice that has ended reuses it.
    VoiceTable[35].sample = nullptr;
    channel.updateFlags = UPDATE_TRIGGER;
    UpdateVoice(&channel, &first, &song);
    EXPECT_EQ(channel.voice, &VoiceTable[35]);
    // From the upper voice the partner is the lower one.
    channel.updateFlags = UPDATE_TRIGGER;
    UpdateVoice(&channel, &first, &song);
    EXPECT_EQ(channel.voice, &VoiceTable[3]);
    EXPECT_EQ(VoiceTable[3].orphaned, 0);
}

TEST_F(Modulation, TriggerStartsAtTheSampleOffsetAndCutLeavesTheChannelSilent)
{
    int16_t frames[16] = {};
    Sample sample = {};
    sample.data = frames;
    sample.length = 8;
    sample.loopStart = 2;
    sample.loopLength = 4;
    sample.loopKind = LOOP_FORWARD;
    Voice& voice = *channel.voice;
    voice.startOffset = 5;
    channel.updateFlags = UPDATE_TRIGGER;
    UpdateVoice(&channel, &sample, &song);
    EXPECT_EQ(voice.positionInt, 5);
    EXPECT_EQ(voice.startOffset, 0u);
    EXPECT_EQ(voice.direction, 1);
    EXPECT_EQ(voice.rampFramesLeft, 0);
    voice.sample = nullptr;
    voice.startOffset = 6;  // the end of the loop: starts at 0
    UpdateVoice(&channel, &sample, &song);
    EXPECT_EQ(voice.positionInt, 0);
    // A cut fades the sounding note out on its voice; the channel goes on
    // with a free voice, which later updates leave silent.
    voice.volume = 100;
    channel.updateFlags = UPDATE_CUT;
    UpdateVoice(&channel, &sample, &song);
    EXPECT_EQ(channel.voice, &VoiceTable[32]);
    EXPECT_EQ(VoiceTable[32].sample, nullptr);
    EXPECT_EQ(voice.sample, &sample);
    EXPECT_EQ(voice.volume, 0);
    EXPECT_EQ(voice.orphaned, 1);
    channel.volume = 64;
    channel.volEnvValue = 64;
    channel.fadeoutVolume = 65536;
    channel.updateFlags = UPDATE_VOLUME | UPDATE_FREQUENCY;
    UpdateVoice(&channel, &sample, &song);
    EXPECT_EQ(VoiceTable[32].sample, nullptr);
}
