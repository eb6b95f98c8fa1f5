// Writes the intro's placeholder music: a short four-channel loop (bass, chord
// arpeggios, hi-hats, a lead line) composed in code with the XM writer, so the
// intro has a module to play until its own song exists.
//
//     placeholder_music OUTPUT.xm
#include "XmWriter.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

const double PI = 3.14159265358979323846;

// One cycle of 32 frames sounds C-4 at the note C-4 (8363 Hz / 32 = 261 Hz).
XmSample SoftSquare()
{
    std::vector<int8_t> frames(32);
    for (int i = 0; i < 32; ++i)
        frames[i] = static_cast<int8_t>(i < 16 ? 48 : -48);
    XmSample sample = MakeXmSample8(frames);
    SetXmLoop(sample, XM_FORWARD_LOOP, 0, 32);
    sample.volume = 40;
    return sample;
}

// 64 frames per cycle: an octave below the note played.
XmSample Triangle()
{
    std::vector<int8_t> frames(64);
    for (int i = 0; i < 64; ++i)
        frames[i] = static_cast<int8_t>(i < 32 ? -100 + i * 200 / 32 : 100 - (i - 32) * 200 / 32);
    XmSample sample = MakeXmSample8(frames);
    SetXmLoop(sample, XM_FORWARD_LOOP, 0, 64);
    return sample;
}

XmSample Noise()
{
    std::vector<int8_t> frames(1200);
    unsigned state = 12345;
    for (size_t i = 0; i < frames.size(); ++i) {
        state = state * 1103515245u + 12345u;
        const double decay = std::exp(-static_cast<double>(i) / 250.0);
        frames[i] = static_cast<int8_t>(static_cast<int>((state >> 16) % 200 - 100) * decay);
    }
    XmSample sample = MakeXmSample8(frames);
    sample.volume = 36;
    return sample;
}

XmSample SineLead()
{
    std::vector<int8_t> frames(32);
    for (int i = 0; i < 32; ++i)
        frames[i] = static_cast<int8_t>(std::lround(90.0 * std::sin(2.0 * PI * i / 32.0)));
    XmSample sample = MakeXmSample8(frames);
    SetXmLoop(sample, XM_FORWARD_LOOP, 0, 32);
    return sample;
}

XmInstrument WithFade(const XmSample& sample, const char* name, uint16_t decayTicks)
{
    XmInstrument instrument = MakeXmInstrument(sample, name);
    instrument.volumeEnvelope.points = {{0, 64}, {4, 48}, {decayTicks, 0}};
    instrument.volumeEnvelope.type = XM_ENVELOPE_ON;
    return instrument;
}

// A 32-row pattern over one chord progression; the variation adds a lead line.
void WritePattern(XmPattern& pattern, int bass, int chord, int hat, int lead, bool withLead)
{
    const char* roots[4] = {"C-4", "A-3", "F-3", "G-3"};
    const uint8_t arpeggios[4] = {0x47, 0x37, 0x47, 0x47};  // major, minor, major, major
    for (int bar = 0; bar < 4; ++bar) {
        const int row = bar * 8;
        pattern.At(row, 0) = XmCell{XmNote(roots[bar]), static_cast<uint8_t>(bass), 0x30, 0, 0};
        pattern.At(row + 4, 0) = XmCell{XmNote(roots[bar]), static_cast<uint8_t>(bass), 0x28, 0, 0};
        for (int step = 0; step < 8; ++step)
            pattern.At(row + step, 1) = XmCell{static_cast<uint8_t>(step == 0 ? XmNote(roots[bar]) + 12 : 0),
                                               static_cast<uint8_t>(step == 0 ? chord : 0), 0,
                                               XmEffect('0'), arpeggios[bar]};
        for (int step = 0; step < 8; step += 2)
            pattern.At(row + step, 2) =
                XmCell{XmNote("C-5"), static_cast<uint8_t>(hat), static_cast<uint8_t>(step % 4 ? 0x20 : 0x38), 0, 0};
    }
    if (withLead) {
        const char* melody[8] = {"E-5", "G-5", "C-6", "A-5", "F-5", "A-5", "G-5", "D-5"};
        for (int i = 0; i < 8; ++i)
            pattern.At(i * 4, 3) = XmCell{XmNote(melody[i]), static_cast<uint8_t>(lead), 0x30, XmEffect('4'), 0x24};
    }
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.xm\n", argv[0]);
        return 2;
    }
    XmModule song = MakeXmModule(4);
    song.name = "Skelvane placeholder";
    song.tempo = 6;
    song.bpm = 125;
    const int bass = AddXmInstrument(song, WithFade(Triangle(), "bass", 40));
    const int chord = AddXmInstrument(song, WithFade(SoftSquare(), "chord", 48));
    const int hat = AddXmInstrument(song, MakeXmInstrument(Noise(), "hat"));
    const int lead = AddXmInstrument(song, WithFade(SineLead(), "lead", 30));
    WritePattern(AddXmPattern(song, 32), bass, chord, hat, lead, false);
    WritePattern(AddXmPattern(song, 32), bass, chord, hat, lead, true);
    song.orders = {0, 1, 0, 1};
    if (!WriteXmFile(song, argv[1])) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[1]);
        return 1;
    }
    return 0;
}
