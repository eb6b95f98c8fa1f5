#pragma once

// Per-tick arithmetic on a Channel: envelopes, vibrato, tremolo, tremor, tone
// portamento, auto-vibrato, the row-tick volume column, the note-start reset,
// the period tables, and UpdateVoice, which hands the result to the voice.

#include "Song.h"

#include <cstdint>

// Periods and pannings slide without limit in the format; beyond these bounds
// nothing audible changes any more, and the sums stay far from overflow.
const int32_t PERIOD_LIMIT = 1 << 20;
const int32_t PANNING_LIMIT = 1 << 20;

int32_t LimitPeriod(int64_t period);
int32_t LimitPanning(int64_t panning);
// The volume column's panning slides (Dx left, Ex right): on the row tick as
// on the later ones, the panning moves by `by` within the limit.
void SlidePanning(Channel* channel, int32_t by);

// Waveform value 0..255 of a vibrato or tremolo phase -32..31: waveform 0
// sine, 1 ramp, 2 square.
int32_t WaveformValue(int waveform, int8_t phase);

// One tick of one envelope; the references are the channel's six fields of
// that envelope. Sets updateFlag in the channel's updateFlags.
void StepEnvelope(Channel* channel, int32_t& tick, int32_t& point, int32_t& fixed, int32_t& value,
                  int32_t& step, uint8_t& done, uint8_t type, uint8_t pointCount,
                  const EnvelopePoint* points, uint8_t loopEnd, uint8_t loopStart, uint8_t sustain,
                  uint8_t updateFlag);
void StepVolumeEnvelope(Channel* channel, const Instrument* inst);
void StepPanningEnvelope(Channel* channel, const Instrument* inst);

void ApplyVibrato(Channel* channel);
// ApplyVibrato, then the phase moves on by vibratoSpeed.
void ApplyVibratoAndAdvance(Channel* channel);
void ApplyTremolo(Channel* channel);
void ApplyTremor(Channel* channel);
void StepTonePortamento(Channel* channel);
void ApplyAutoVibrato(Channel* channel, const Instrument* inst);
// Row-tick part of a non-zero volume-column byte.
void ApplyVolumeColumn(Channel* channel, uint8_t volumeColumn);
// Note-start state: ResetVolumeAndPanning, then RestartInstrument.
void ResetChannelForInstrument(Channel* channel, const Sample* sample);
// The sample's default volume and panning.
void ResetVolumeAndPanning(Channel* channel, const Sample* sample);
// Envelopes, fade-out, key-off, auto-vibrato, the vibrato and tremolo phases
// (unless their waveform continues), tremor and the multi-retrig count start
// over; volume and panning stay.
void RestartInstrument(Channel* channel);
// Releases the held note: envelopes move past their sustain and the fade-out
// runs. An instrument without volume envelope falls silent by its channel
// volume, so a later volume or instrument number brings it back.
void KeyOff(Channel* channel, const Instrument* inst);

// Amiga period of a note (0-based, relative note added) with a finetune.
int32_t AmigaPeriod(int32_t note, int32_t finetune);
// Period of a note in the song's frequency table.
int32_t NotePeriod(const Song* song, int32_t note, int32_t finetune);

// Applies the channel's updateFlags to its voice: cut or trigger (either
// moving a sounding note to the partner voice), volume, panning, frequency.
void UpdateVoice(Channel* channel, Sample* sample, Song* song);
