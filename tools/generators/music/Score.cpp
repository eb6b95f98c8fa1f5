#include "Score.h"

#include <cctype>
#include <sstream>

uint8_t Note(const std::string& name)
{
    if (name.size() < 2)
        return 0;
    static const int BASE[7] = {9, 11, 0, 2, 4, 5, 7}; // A B C D E F G
    const char letter = char(std::toupper(static_cast<unsigned char>(name[0])));
    if (letter < 'A' || letter > 'G')
        return 0;
    int semitone = BASE[letter - 'A'];
    size_t at = 1;
    if (name[at] == '#') {
        ++semitone;
        ++at;
    } else if (name[at] == 'b') {
        --semitone;
        ++at;
    }
    if (at + 1 != name.size() || name[at] < '0' || name[at] > '7')
        return 0;
    const int note = (name[at] - '0') * 12 + semitone + 1; // C-0 is note 1
    return note >= 1 && note <= 96 ? uint8_t(note) : 0;
}

Chord MakeChord(const std::string& name)
{
    Chord chord;
    std::string root = name;
    chord.minor = !root.empty() && root.back() == 'm';
    if (chord.minor)
        root.pop_back();
    chord.root = Note(root + "2");
    return chord;
}

std::vector<Chord> Progression(const std::string& names)
{
    std::vector<Chord> chords;
    std::istringstream in(names);
    std::string name;
    while (in >> name)
        chords.push_back(MakeChord(name));
    return chords;
}

uint8_t NoteAtOrAbove(uint8_t low, int pitchClass)
{
    int note = low;
    while ((note - 1) % 12 != pitchClass % 12)
        ++note;
    return uint8_t(note);
}

void Put(XmPattern& pattern, int row, int channel, const XmCell& cell)
{
    if (row < 0 || row >= pattern.rows || channel < 0 || channel >= pattern.channels)
        return;
    XmCell& target = pattern.At(row, channel);
    if (cell.note)
        target.note = cell.note;
    if (cell.instrument)
        target.instrument = cell.instrument;
    if (cell.volume)
        target.volume = cell.volume;
    if (cell.effect || cell.param) {
        target.effect = cell.effect;
        target.param = cell.param;
    }
}

void PutEffect(XmPattern& pattern, int row, int channel, char effect, uint8_t param)
{
    if (row < 0 || row >= pattern.rows || channel < 0 || channel >= pattern.channels)
        return;
    XmCell& target = pattern.At(row, channel);
    target.effect = XmEffect(effect);
    target.param = param;
}

std::vector<NoteEvent> ParseMelody(const std::string& text, int startRow)
{
    std::vector<NoteEvent> events;
    std::istringstream in(text);
    std::string token;
    int row = startRow;
    while (in >> token) {
        const size_t colon = token.find(':');
        if (colon == std::string::npos)
            continue;
        const int length = std::stoi(token.substr(colon + 1));
        std::string name = token.substr(0, colon);
        const bool slide = !name.empty() && name[0] == '/';
        if (slide)
            name.erase(0, 1);
        if (name != "-")
            events.push_back({row, length, Note(name), slide});
        row += length;
    }
    return events;
}

void WriteMelody(XmPattern& pattern, int channel, const std::vector<NoteEvent>& events,
                 const MelodyStyle& style)
{
    for (size_t i = 0; i < events.size(); ++i) {
        const NoteEvent& e = events[i];
        if (e.slide) {
            Put(pattern, e.row, channel, {e.note, 0, 0, XmEffect('3'), style.slideSpeed});
            // Keep sliding with the remembered speed while the slide lasts.
            for (int r = 1; r < e.length && r < 4; ++r)
                PutEffect(pattern, e.row + r, channel, '3', 0);
        } else {
            Put(pattern, e.row, channel,
                {e.note, uint8_t(style.instrument), SetVolume(style.volume), 0, 0});
            if (style.panning >= 0)
                PutEffect(pattern, e.row, channel, '8', uint8_t(style.panning));
        }
        if (style.vibrato) {
            for (int r = e.slide ? 4 : 2; r < e.length; ++r)
                PutEffect(pattern, e.row + r, channel, '4', style.vibrato);
        }
        const int end = e.row + e.length;
        const bool restFollows = i + 1 == events.size() || events[i + 1].row > end;
        if (style.keyOffOnRests && restFollows && end < pattern.rows)
            Put(pattern, end, channel, {XM_KEY_OFF, 0, 0, 0, 0});
    }
}

void WriteEcho(XmPattern& pattern, int channel, const std::vector<NoteEvent>& events, int delayRows,
               const MelodyStyle& style)
{
    std::vector<NoteEvent> delayed;
    for (const NoteEvent& e : events) {
        if (e.row + delayRows >= pattern.rows)
            continue;
        NoteEvent d = e;
        d.row += delayRows;
        d.slide = false; // an echo restarts each note
        delayed.push_back(d);
    }
    MelodyStyle echo = style;
    echo.vibrato = 0;
    // A note of the echo ends where the next begins, or at its own length.
    for (size_t i = 0; i + 1 < delayed.size(); ++i) {
        if (delayed[i].row + delayed[i].length > delayed[i + 1].row)
            delayed[i].length = delayed[i + 1].row - delayed[i].row;
    }
    WriteMelody(pattern, channel, delayed, echo);
}
