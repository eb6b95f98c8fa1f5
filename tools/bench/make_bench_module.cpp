// Writes the 10-channel module that xm2wav --bench is measured with: tempo 6
// at 176 BPM like the intro's music, 16 patterns of 64 rows with a note on
// most rows of every channel, looped 8- and 16-bit samples, volume envelopes
// with sustain and fade-out, and a spread of effects.
//
//     make_bench_module OUTPUT.xm

#include "XmWriter.h"

#include <cmath>
#include <cstdio>

namespace {

const int CHANNELS = 10;
const int PATTERNS = 16;
const int ROWS = 64;
const double PI = 3.14159265358979323846;

XmSample Tone(int index)
{
    const size_t length = 2000 + size_t(index) * 1800;
    const double cycle = 40.0 + index * 7.0;
    if (index % 2) {
        std::vector<int16_t> frames(length);
        for (size_t i = 0; i < length; ++i)
            frames[i] = int16_t(14000 * std::sin(2 * PI * double(i) / cycle) +
                                5000 * std::sin(6 * PI * double(i) / cycle));
        XmSample sample = MakeXmSample16(frames);
        return SetXmLoop(sample, index % 4 == 1 ? XM_PINGPONG_LOOP : XM_FORWARD_LOOP, uint32_t(length / 3),
                         uint32_t(length - length / 3));
    }
    std::vector<int8_t> frames(length);
    for (size_t i = 0; i < length; ++i)
        frames[i] = int8_t(90 * std::sin(2 * PI * double(i) / cycle) + 30 * ((i / size_t(cycle)) % 2 ? 1 : -1));
    XmSample sample = MakeXmSample8(frames);
    return SetXmLoop(sample, XM_FORWARD_LOOP, uint32_t(length / 4), uint32_t(length - length / 4));
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_bench_module OUTPUT.xm\n");
        return 1;
    }
    XmModule song = MakeXmModule(CHANNELS);
    song.name = "bench10";
    song.tempo = 6;
    song.bpm = 176;
    for (int i = 0; i < CHANNELS; ++i) {
        XmInstrument instrument = MakeXmInstrument(Tone(i));
        instrument.volumeEnvelope.points = {{0, 64}, {6, 48}, {20, 40}, {60, 0}};
        instrument.volumeEnvelope.type = XM_ENVELOPE_ON | XM_ENVELOPE_SUSTAIN;
        instrument.volumeEnvelope.sustain = 2;
        instrument.fadeout = 600;
        instrument.vibratoDepth = uint8_t(i % 3 == 0 ? 4 : 0);
        instrument.vibratoRate = 12;
        AddXmInstrument(song, instrument);
    }
    const char* scale[] = {"C-3", "D-3", "E-3", "G-3", "A-3", "C-4", "D-4", "E-4", "G-4", "A-4"};
    const char effects[] = {'4', '0', 'A', '3', '7', '1', '2', '6'};
    for (int p = 0; p < PATTERNS; ++p) {
        XmPattern& pattern = AddXmPattern(song, ROWS);
        for (int row = 0; row < ROWS; ++row)
            for (int c = 0; c < CHANNELS; ++c) {
                const int step = (row * 7 + c * 3 + p * 5) % 16;
                XmCell& cell = pattern.At(row, c);
                if (step < 11) {
                    cell.note = XmNote(scale[(row + c + p) % 10]);
                    cell.instrument = uint8_t(1 + (c + p) % CHANNELS);
                    cell.volume = uint8_t(0x20 + (row % 8) * 4);
                } else if (step == 11) {
                    cell.note = XM_KEY_OFF;
                }
                if ((row + c) % 5 == 0) {
                    cell.effect = XmEffect(effects[(row + c + p) % 8]);
                    cell.param = uint8_t(0x11 + (row % 4) * 0x11);
                }
            }
        song.orders.push_back(uint8_t(p));
    }
    if (!WriteXmFile(song, argv[1])) {
        std::fprintf(stderr, "make_bench_module: %s: cannot write\n", argv[1]);
        return 1;
    }
    return 0;
}
