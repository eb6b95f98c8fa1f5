#include "Arrangement.h"
#include "Instruments.h"
#include "Parts.h"

namespace {

// The harmony, one chord per bar.
const char* const VERSE = "Am F C G";
const char* const THEME = "Dm Am F E";
const char* const BREAK = "F G Em Am";

// clang-format off
// Melodies as note:rows, one a line as in a score; a row is a sixteenth note.
const char* const BELL_CALL = "E5:6 D5:2 C5:4 B4:4  A4:6 C5:2 F5:8  E5:6 D5:2 C5:4 D5:4  B4:8 G4:4 -:4";
const char* const BELL_ANSWER = "E5:6 D5:2 C5:4 B4:4  A4:6 C5:2 F5:8  E5:6 D5:2 C5:4 G5:4  B4:4 C5:4 D5:8";
const char* const DROP_HOOK = "A5:3 A5:3 G5:2 E5:4 C5:4  F5:3 F5:3 E5:2 C5:8  E5:3 E5:3 D5:2 C5:4 G5:4  D5:6 B4:2 G4:4 B4:2 D5:2";
const char* const DROP_HOOK_2 = "A5:3 A5:3 G5:2 E5:4 C6:4  A5:3 A5:3 G5:2 F5:8  E5:3 E5:3 D5:2 C5:4 E5:4  /G5:8 B5:4 D6:4";
const char* const THEME_CALL = "D5:4 F5:4 A5:6 G5:2  E5:8 C5:4 A4:4  F5:4 E5:2 D5:2 C5:4 A4:4  G#4:8 B4:4 E5:4";
const char* const THEME_ANSWER = "A5:4 G5:2 F5:2 E5:4 D5:4  C5:6 E5:2 A5:8  C6:4 A5:4 F5:4 A5:4  G#5:12 /B5:4";
const char* const CHORUS = "C6:8 B5:4 A5:4  A5:8 G5:4 F5:4  G5:8 E5:4 C5:4  D5:12 B4:4";
const char* const CHORUS_2 = "E5:4 A5:4 C6:6 B5:2  A5:8 C6:4 F6:4  E6:8 D6:4 C6:4  B5:8 /D6:8";
const char* const BREAK_BELLS = "A5:8 C6:8  B5:8 D6:8  G5:8 B5:8  A5:16";
const char* const BREAK_BELLS_2 = "C6:4 A5:4 F5:8  D6:4 B5:4 G5:8  B5:4 G5:4 E5:8  C6:8 E6:8";
const char* const HIGH_HOOK = "A5:3 A5:3 G5:2 E5:4 /A5:4  F5:3 F5:3 E5:2 /C6:8  E5:3 E5:3 D5:2 C5:4 /G5:4  D6:6 B5:2 G5:4 /D6:4";
const char* const BRIDGE_CALL = "-:8 D5:2 F5:2 A5:4  -:8 E5:2 A5:2 C6:4  -:8 F5:2 A5:2 C6:4  -:4 /B5:4 G#5:8";
// clang-format on

MelodyStyle Style(int instrument, int volume, uint8_t vibrato = 0)
{
    MelodyStyle style;
    style.instrument = instrument;
    style.volume = volume;
    style.vibrato = vibrato;
    return style;
}

void Lead(XmPattern& p, const char* melody, int volume, bool echo)
{
    const std::vector<NoteEvent> events = ParseMelody(melody);
    WriteMelody(p, CH_LEAD, events, Style(LEAD, volume, 0x42));
    if (echo) {
        MelodyStyle echoStyle = Style(LEAD, volume / 3);
        echoStyle.panning = 0x38;
        WriteEcho(p, CH_ECHO, events, 3, echoStyle);
    }
}

void Bells(XmPattern& p, int channel, const char* melody, int volume)
{
    WriteMelody(p, channel, ParseMelody(melody), Style(BELL, volume));
}

XmPattern& NewPattern(XmModule& m)
{
    return AddXmPattern(m, PATTERN_ROWS);
}

// --- The intro: positions 0 to 9 ------------------------------------------

void Dawn(XmModule& m)
{
    XmPattern& p = NewPattern(m);
    PadChords(p, Progression(VERSE), PAD_WARM, 44, true);
    // A vox swell on the root, then the riser into the next part.
    Put(p, 0, CH_ECHO, {Note("A3"), PAD_VOX, SetVolume(28), XmEffect('8'), 0x80});
    Put(p, 32, CH_ECHO, {Note("E4"), PAD_VOX, SetVolume(24), 0, 0});
    RiserFrom(p, CH_PERC, 40);
}

void Arpeggios(XmModule& m)
{
    XmPattern& p = NewPattern(m);
    const auto chords = Progression(VERSE);
    PadChords(p, chords, PAD_WARM, 44, false);
    ArpChords(p, chords, CHIP, 28, true);
    Bells(p, CH_LEAD, BELL_CALL, 40);
    CrashAt(p, 0);
}

void Pulse(XmModule& m)
{
    XmPattern& p = NewPattern(m);
    const auto chords = Progression(VERSE);
    PadChords(p, chords, PAD_WARM, 40, false);
    ArpChords(p, chords, CHIP, 30, true);
    BassLine(p, chords, BassStyle::Sub);
    for (int bar = 0; bar < 4; ++bar)
        HatsBar(p, bar, 26 + 4 * bar);
    Bells(p, CH_LEAD, BELL_ANSWER, 42);
    Bells(p, CH_ECHO, "-:3 E5:6 D5:2 C5:4 B4:4 A4:6 C5:2 F5:8", 14);
}

void Groove(XmModule& m, const char* melody, bool echo)
{
    XmPattern& p = NewPattern(m);
    const auto chords = Progression(VERSE);
    PadChords(p, chords, PAD_WARM, 38, false);
    ArpChords(p, chords, CHIP, 26, true);
    BassLine(p, chords, BassStyle::Rolling);
    for (int bar = 0; bar < 4; ++bar)
        HalfTimeBar(p, bar, bar == 3);
    Lead(p, melody, 46, echo);
    CrashAt(p, 0);
}

void Build(XmModule& m)
{
    XmPattern& p = NewPattern(m);
    const auto chords = Progression(VERSE);
    PadChords(p, chords, PAD_WARM, 40, false);
    ArpChords(p, chords, CHIP, 24, true);
    // The arpeggios swell towards the drop.
    for (int row = 32; row < 64; row += 2)
        PutEffect(p, row, CH_ARP, 'A', 0x10);
    BassLine(p, Progression("Am F"), BassStyle::Sub);
    HalfTimeBar(p, 0, false);
    HalfTimeBar(p, 1, false);
    SnareRoll(p, 32);
    for (int bar = 2; bar < 4; ++bar)
        for (int k = 0; k < 16; k += 4)
            Put(p, bar * 16 + k, CH_HATS, {49, HAT_OPEN, SetVolume(20 + 4 * bar + k), 0, 0});
    RiserFrom(p, CH_ECHO, 32);
    Put(p, 0, CH_LEAD, {Note("E5"), LEAD, SetVolume(36), XmEffect('4'), 0x23});
    for (int row = 2; row < 30; ++row)
        PutEffect(p, row, CH_LEAD, '4', 0x34);
    Put(p, 30, CH_LEAD, {XM_KEY_OFF, 0, 0, 0, 0});
}

void Drop(XmModule& m, const char* melody, bool echo, bool impact)
{
    XmPattern& p = NewPattern(m);
    const auto chords = Progression(VERSE);
    PadChords(p, chords, PAD_WARM, 36, false);
    ArpChords(p, chords, CHIP, 24, true);
    BassLine(p, chords, BassStyle::Reese);
    for (int bar = 0; bar < 4; ++bar)
        DrumAndBassBar(p, bar, bar >= 2, bar % 2 == 1);
    Lead(p, melody, 48, echo);
    CrashAt(p, 0);
    if (impact)
        ImpactAt(p, 0);
    if (echo)
        SnareFill(p);
}

void DropPluck(XmModule& m)
{
    XmPattern& p = NewPattern(m);
    const auto chords = Progression(VERSE);
    PadChords(p, chords, PAD_VOX, 40, false);
    ArpChords(p, chords, PLUCK, 40, false);
    BassLine(p, chords, BassStyle::Reese);
    for (int bar = 0; bar < 4; ++bar)
        DrumAndBassBar(p, bar, true, bar % 2 == 0);
    Lead(p, CHORUS, 46, true);
    CrashAt(p, 0);
}

void IntoTheBody(XmModule& m)
{
    XmPattern& p = NewPattern(m);
    const auto chords = Progression(VERSE);
    PadChords(p, chords, PAD_WARM, 40, false);
    ArpChords(p, chords, PLUCK, 36, false);
    BassLine(p, chords, BassStyle::Reese);
    for (int bar = 0; bar < 3; ++bar)
        DrumAndBassBar(p, bar, true, true);
    Put(p, 48, CH_KICK, {49, KICK, SetVolume(60), 0, 0});
    TomFill(p, 52);
    Lead(p, "E5:8 D5:4 C5:4  A4:8 C5:4 F5:4  E5:8 G5:8  /B5:16", 46, false);
    RiserFrom(p, CH_ECHO, 40);
}

// --- The body: positions 10 to 25, looping ---------------------------------

void Theme(XmModule& m, const char* melody, bool echo)
{
    XmPattern& p = NewPattern(m);
    const auto chords = Progression(THEME);
    PadChords(p, chords, PAD_WARM, 38, false);
    ArpChords(p, chords, PLUCK, 34, false);
    BassLine(p, chords, BassStyle::Reese);
    for (int bar = 0; bar < 4; ++bar)
        DrumAndBassBar(p, bar, bar % 2 == 1, bar == 3);
    Lead(p, melody, 48, echo);
    if (!echo)
        CrashAt(p, 0);
    else
        SnareFill(p);
}

void Chorus(XmModule& m, const char* melody, bool crash)
{
    XmPattern& p = NewPattern(m);
    const auto chords = Progression(VERSE);
    PadChords(p, chords, PAD_VOX, 42, false);
    ArpChords(p, chords, CHIP, 26, true);
    BassLine(p, chords, BassStyle::Reese);
    for (int bar = 0; bar < 4; ++bar)
        DrumAndBassBar(p, bar, true, bar % 2 == 1);
    Lead(p, melody, 50, true);
    if (crash)
        CrashAt(p, 0);
    else
        SnareFill(p);
}

void Breakdown(XmModule& m, bool returning)
{
    XmPattern& p = NewPattern(m);
    const auto chords = Progression(BREAK);
    PadChords(p, chords, PAD_WARM, 44, !returning);
    BassLine(p, chords, BassStyle::Sub);
    Bells(p, CH_LEAD, returning ? BREAK_BELLS_2 : BREAK_BELLS, 44);
    if (!returning) {
        Put(p, 0, CH_ECHO, {Note("C4"), PAD_VOX, SetVolume(26), XmEffect('8'), 0x90});
        Put(p, 32, CH_ECHO, {Note("E4"), PAD_VOX, SetVolume(26), 0, 0});
        for (int bar = 0; bar < 4; ++bar)
            HatsBar(p, bar, 20);
    } else {
        for (int bar = 0; bar < 2; ++bar)
            HalfTimeBar(p, bar, true);
        ArpChords(p, chords, CHIP, 22, true);
        SnareRoll(p, 32);
        RiserFrom(p, CH_ECHO, 32);
    }
}

void Bridge(XmModule& m, bool call)
{
    XmPattern& p = NewPattern(m);
    const auto chords = Progression(THEME);
    ArpChords(p, chords, CHIP, 30, true);
    BassLine(p, chords, BassStyle::Reese);
    for (int bar = 0; bar < 4; ++bar) {
        DrumAndBassBar(p, bar, true, false);
        // Break the beat up: a clap answers the snare.
        Put(p, bar * 16 + 6, CH_PERC, {49, CLAP, SetVolume(30), 0, 0});
    }
    if (call) {
        PadChords(p, chords, PAD_VOX, 34, false);
        Lead(p, BRIDGE_CALL, 46, true);
    } else {
        PadChords(p, chords, PAD_WARM, 34, true);
        TomFill(p, 56);
    }
}

void Settle(XmModule& m)
{
    XmPattern& p = NewPattern(m);
    const auto chords = Progression(VERSE);
    PadChords(p, chords, PAD_WARM, 42, false);
    ArpChords(p, chords, PLUCK, 30, false);
    BassLine(p, chords, BassStyle::Rolling);
    for (int bar = 0; bar < 4; ++bar)
        HalfTimeBar(p, bar, bar % 2 == 1);
    Lead(p, BELL_ANSWER, 42, true);
    CrashAt(p, 0);
}

void LoopBack(XmModule& m)
{
    XmPattern& p = NewPattern(m);
    const auto chords = Progression(VERSE);
    PadChords(p, chords, PAD_VOX, 40, false);
    ArpChords(p, chords, CHIP, 24, true);
    BassLine(p, Progression("Am F"), BassStyle::Sub);
    HalfTimeBar(p, 0, true);
    HalfTimeBar(p, 1, true);
    SnareRoll(p, 32);
    RiserFrom(p, CH_ECHO, 32);
    Bells(p, CH_LEAD, "E5:6 D5:2 C5:4 B4:4  A4:6 C5:2 F5:8  E5:8 G5:8  B5:8 D6:8", 44);
    // Back to the start of the body.
    PutEffect(p, 63, CH_PERC, 'B', uint8_t(BODY_POSITION));
}

} // namespace

void ComposeTune(XmModule& m)
{
    m = MakeXmModule(CHANNEL_COUNT);
    m.name = "Skelvane";
    m.linearFrequencies = true;
    m.tempo = 6;
    m.bpm = 176;
    AddInstruments(m);

    // Intro patterns 0..9.
    Dawn(m);                           // 0
    Arpeggios(m);                      // 1
    Pulse(m);                          // 2
    Groove(m, BELL_CALL, false);       // 3
    Groove(m, BELL_ANSWER, true);      // 4
    Build(m);                          // 5
    Drop(m, DROP_HOOK, false, true);   // 6
    Drop(m, DROP_HOOK_2, true, false); // 7
    DropPluck(m);                      // 8
    IntoTheBody(m);                    // 9
    // Body patterns 10..21.
    Theme(m, THEME_CALL, false);       // 10
    Theme(m, THEME_ANSWER, true);      // 11
    Chorus(m, CHORUS, true);           // 12
    Chorus(m, CHORUS_2, false);        // 13
    Breakdown(m, false);               // 14
    Breakdown(m, true);                // 15
    Drop(m, HIGH_HOOK, false, true);   // 16
    Drop(m, DROP_HOOK_2, true, false); // 17
    Bridge(m, false);                  // 18
    Bridge(m, true);                   // 19
    Settle(m);                         // 20
    LoopBack(m);                       // 21

    m.orders = {0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  // intro, heard once
                10, 11, 12, 13, 14, 15, 16, 17, 18, 19, // body
                10, 11, 12, 13, 20, 21};                // ... and back (B0A)
    m.restart = BODY_POSITION;

    // Every part starts clean: a channel that does not strike a note on the
    // first row lets go of whatever the previous part left sounding there
    // (a riser, a vox swell, a ringing tom).
    for (XmPattern& p : m.patterns) {
        for (int channel = 0; channel < CHANNEL_COUNT; ++channel) {
            XmCell& cell = p.At(0, channel);
            if (cell.note == 0)
                cell.note = XM_KEY_OFF;
        }
    }
}
