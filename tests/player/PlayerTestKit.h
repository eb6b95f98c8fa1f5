#pragma once

// Small modules for sequencer, effect and block-fill tests: a module of a few
// channels and one pattern, two ready instruments, cells set by name.

#include "MemoryInput.h"
#include "Player.h"
#include "TestModules.h"
#include "TickTrace.h"
#include "XmWriter.h"

#include <memory>

struct SongDeleter {
    void operator()(Song* song) const { FreeSong(song); }
};
using SongPtr = std::unique_ptr<Song, SongDeleter>;

inline SongPtr LoadModule(const XmModule& module)
{
    return SongPtr(LoadFromBytes(SerializeXm(module)));
}

// Instrument 1: a 2000-frame forward-looped 16-bit saw at volume 48, panning
// 128, no envelopes. Instrument 2: the same sample at volume 64 with a volume
// envelope (0,64) (4,32) (8,0), sustain at point 1, fade-out 256 (file), and
// panning 200.
struct Lab {
    XmModule module;

    explicit Lab(int channels = 1, int rows = 64, int tempo = 6, int bpm = 125)
    {
        module = MakeXmModule(channels);
        module.tempo = tempo;
        module.bpm = bpm;
        XmSample saw = MakeXmSample16(Saw16(2000, 100));
        SetXmLoop(saw, XM_FORWARD_LOOP, 0, 2000);
        saw.volume = 48;
        AddXmInstrument(module, MakeXmInstrument(saw, "plain"));
        XmSample loud = saw;
        loud.volume = 64;
        loud.panning = 200;
        XmInstrument enveloped = MakeXmInstrument(loud, "enveloped");
        enveloped.volumeEnvelope.points = {{0, 64}, {4, 32}, {8, 0}};
        enveloped.volumeEnvelope.type = XM_ENVELOPE_ON | XM_ENVELOPE_SUSTAIN;
        enveloped.volumeEnvelope.sustain = 1;
        enveloped.fadeout = 256;
        AddXmInstrument(module, enveloped);
        AddXmPattern(module, rows);
        module.orders = {0};
    }

    XmCell& At(int row, int channel, int pattern = 0)
    {
        return module.patterns[size_t(pattern)].At(row, channel);
    }

    XmPattern& AddPattern(int rows) { return AddXmPattern(module, rows); }

    SongPtr Load() const { return LoadModule(module); }
};

// A cell from a note name ("C-4", "===" for key-off, "" for none), an
// instrument, a volume-column byte and an effect letter with its parameter.
inline XmCell Cell(const char* note, int instrument = 0, int volume = 0, char effect = 0,
                   int param = 0)
{
    XmCell cell;
    cell.note = note[0] == '=' ? XM_KEY_OFF : XmNote(note);
    cell.instrument = uint8_t(instrument);
    cell.volume = uint8_t(volume);
    cell.effect = effect ? XmEffect(effect) : 0;
    cell.param = uint8_t(param);
    return cell;
}

inline XmCell Fx(char effect, int param)
{
    return Cell("", 0, 0, effect, param);
}
