#include "Parts.h"
#include "Instruments.h"

namespace {

const uint8_t DRUM_NOTE = 49; // C-4: drums play at their recorded pitch

void Hit(XmPattern& p, int row, int channel, int instrument, int volume)
{
    Put(p, row, channel, {DRUM_NOTE, uint8_t(instrument), SetVolume(volume), 0, 0});
}

} // namespace

void DrumAndBassBar(XmPattern& p, int bar, bool ghosts, bool openHat)
{
    const int r = bar * ROWS_PER_BAR;
    Hit(p, r + 0, CH_KICK, KICK, 64);
    Hit(p, r + 10, CH_KICK, KICK, 58);
    if (bar % 2 == 1)
        Hit(p, r + 14, CH_KICK, KICK, 40);
    Hit(p, r + 4, CH_SNARE, SNARE, 60);
    Hit(p, r + 12, CH_SNARE, SNARE, 64);
    if (ghosts) {
        Hit(p, r + 7, CH_SNARE, SNARE, 14);
        Hit(p, r + 15, CH_SNARE, SNARE, 18);
    }
    for (int k = 0; k < 16; k += 2)
        Hit(p, r + k, CH_HATS, HAT_CLOSED, k % 4 == 0 ? 52 : 40);
    if (ghosts) {
        Hit(p, r + 5, CH_HATS, HAT_CLOSED, 22);
        Hit(p, r + 13, CH_HATS, HAT_CLOSED, 22);
    }
    if (openHat)
        Hit(p, r + 14, CH_HATS, HAT_OPEN, 44);
}

void HalfTimeBar(XmPattern& p, int bar, bool clap)
{
    const int r = bar * ROWS_PER_BAR;
    Hit(p, r + 0, CH_KICK, KICK, 60);
    Hit(p, r + 11, CH_KICK, KICK, 44);
    Hit(p, r + 8, CH_SNARE, clap ? CLAP : SNARE, 56);
    for (int k = 0; k < 16; k += 2)
        Hit(p, r + k, CH_HATS, HAT_CLOSED, k % 4 == 2 ? 44 : 32);
}

void SnareFill(XmPattern& p)
{
    const int last = p.rows - 1;
    // The backbeat at last - 3 stays; three quick strokes follow it.
    Hit(p, last - 2, CH_SNARE, SNARE, 36);
    Hit(p, last - 1, CH_SNARE, SNARE, 46);
    Hit(p, last, CH_SNARE, SNARE, 58);
    PutEffect(p, last, CH_SNARE, 'E', 0x93);
}

void HatsBar(XmPattern& p, int bar, int volume)
{
    const int r = bar * ROWS_PER_BAR;
    for (int k = 0; k < 16; k += 2)
        Hit(p, r + k, CH_HATS, HAT_CLOSED, k % 4 == 2 ? volume : volume * 2 / 3);
    Hit(p, r + 14, CH_HATS, HAT_OPEN, volume);
}

void SnareRoll(XmPattern& p, int startRow)
{
    for (int row = startRow; row < p.rows; ++row) {
        const int left = p.rows - row;
        const int step = left > 32 ? 4 : left > 16 ? 2 : 1;
        if ((row - startRow) % step != 0)
            continue;
        const int volume = 16 + 44 * (row - startRow) / (p.rows - startRow);
        Hit(p, row, CH_SNARE, SNARE, volume);
        // The last beat is a buzz: each row struck again every two ticks.
        if (left <= 4)
            PutEffect(p, row, CH_SNARE, 'E', 0x92);
    }
}

void TomFill(XmPattern& p, int startRow)
{
    static const char* const TOMS[] = {"E3", "D3", "C3", "A2", "G2", "E2", "D2", "C2"};
    int k = 0;
    for (int row = startRow; row < p.rows && k < 8; row += 1, ++k) {
        if ((row - startRow) % 2 == 1 && row < p.rows - 4)
            continue;
        Put(p, row, CH_PERC, {Note(TOMS[k % 8]), TOM, SetVolume(44 + k * 2), 0, 0});
    }
}

void CrashAt(XmPattern& p, int row)
{
    Hit(p, row, CH_PERC, CRASH, 48);
}

void ImpactAt(XmPattern& p, int row)
{
    Put(p, row, CH_KICK, {DRUM_NOTE, IMPACT, SetVolume(64), 0, 0});
}

void RiserFrom(XmPattern& p, int channel, int startRow)
{
    Put(p, startRow, channel, {Note("C4"), RISER, SetVolume(8), 0, 0});
    for (int row = startRow + 1; row < p.rows; ++row) {
        // Alternate a slow volume rise with a pitch climb.
        if (row % 2 == 0)
            PutEffect(p, row, channel, 'A', 0x20);
        else
            PutEffect(p, row, channel, '1', 0x04);
    }
}

void BassLine(XmPattern& p, const std::vector<Chord>& chords, BassStyle style)
{
    for (size_t bar = 0; bar < chords.size(); ++bar) {
        const int r = int(bar) * ROWS_PER_BAR;
        const int pitchClass = (chords[bar].root - 1) % 12;
        switch (style) {
        case BassStyle::Sub: {
            const uint8_t note = NoteAtOrAbove(Note("A1"), pitchClass);
            Put(p, r, CH_BASS, {note, SUB_BASS, SetVolume(50), 0, 0});
            Put(p, r + 14, CH_BASS, {XM_KEY_OFF, 0, 0, 0, 0});
            break;
        }
        case BassStyle::Rolling: {
            const uint8_t note = NoteAtOrAbove(Note("A1"), pitchClass);
            Put(p, r, CH_BASS, {note, SUB_BASS, SetVolume(52), 0, 0});
            Put(p, r + 6, CH_BASS, {XM_KEY_OFF, 0, 0, 0, 0});
            Put(p, r + 10, CH_BASS, {note, SUB_BASS, SetVolume(46), 0, 0});
            Put(p, r + 14, CH_BASS, {uint8_t(note + 12), SUB_BASS, SetVolume(34), 0, 0});
            break;
        }
        case BassStyle::Reese: {
            const uint8_t note = NoteAtOrAbove(Note("E2"), pitchClass);
            // Glide into each new root from the previous bar's note.
            if (bar == 0)
                Put(p, r, CH_BASS, {note, REESE_BASS, SetVolume(60), 0, 0});
            else
                Put(p, r, CH_BASS, {note, 0, 0, XmEffect('3'), 0x20});
            Put(p, r + 1, CH_BASS, {0, 0, 0, XmEffect('3'), 0});
            Put(p, r + 10, CH_BASS, {note, REESE_BASS, SetVolume(52), 0, 0});
            Put(p, r + 13, CH_BASS, {uint8_t(note + 12), REESE_BASS, SetVolume(44), 0, 0});
            Put(p, r + 15, CH_BASS, {note, 0, 0, XmEffect('3'), 0x40});
            break;
        }
        }
    }
}

void PadChords(XmPattern& p, const std::vector<Chord>& chords, int instrument, int volume,
               bool fadeIn)
{
    for (size_t bar = 0; bar < chords.size(); ++bar) {
        const int r = int(bar) * ROWS_PER_BAR;
        const int root = (chords[bar].root - 1) % 12;
        const uint8_t third = NoteAtOrAbove(Note("G3"), root + chords[bar].third());
        const uint8_t fifth = NoteAtOrAbove(uint8_t(third + 1), root + 7);
        const uint8_t notes[2] = {third, fifth};
        const int channels[2] = {CH_PAD1, CH_PAD2};
        for (int v = 0; v < 2; ++v) {
            if (bar == 0) {
                Put(p, r, channels[v],
                    {notes[v], uint8_t(instrument), SetVolume(fadeIn ? 0 : volume), 0, 0});
                // Voices apart in the stereo field.
                PutEffect(p, r, channels[v], '8', v == 0 ? 0x58 : 0xA8);
                if (fadeIn) {
                    for (int k = 1; k <= volume / 5 + 1 && k < ROWS_PER_BAR; ++k)
                        PutEffect(p, r + k, channels[v], 'A', 0x10);
                }
            } else {
                Put(p, r, channels[v], {notes[v], 0, 0, XmEffect('3'), 0x30});
                Put(p, r + 1, channels[v], {0, 0, 0, XmEffect('3'), 0});
            }
        }
    }
}

void ArpChords(XmPattern& p, const std::vector<Chord>& chords, int instrument, int volume,
               bool octaveUp)
{
    static const int STRIKES[] = {0, 3, 6, 8, 11, 14};
    for (size_t bar = 0; bar < chords.size(); ++bar) {
        const int r = int(bar) * ROWS_PER_BAR;
        const int root = (chords[bar].root - 1) % 12;
        const uint8_t note = uint8_t(NoteAtOrAbove(Note("A3"), root) + (octaveUp ? 12 : 0));
        const uint8_t arpeggio = uint8_t((chords[bar].third() << 4) | 7);
        for (int k = 0; k < ROWS_PER_BAR; ++k)
            PutEffect(p, r + k, CH_ARP, '0', arpeggio);
        for (int s : STRIKES)
            Put(p, r + s, CH_ARP,
                {note, uint8_t(instrument), SetVolume(s == 0 ? volume : volume * 3 / 4), 0, 0});
    }
}
