#pragma once

// A wave-out device for rendering the intro frame by frame: it plays nothing,
// and its play position moves only when the capture says that more demo time
// has passed. The audio output's mixing thread keeps the ring filled behind that
// position exactly as it does behind a sound card, so the music advances with
// the captured frames; what the device "plays" can be kept as the capture's
// soundtrack.

#include <cstdint>
#include <vector>

// Puts the device in place of the system's wave-out, before the music starts.
// With keepPcm, every frame the device plays is kept (CapturedPcm).
void InstallCaptureWaveOut(bool keepPcm);
// Puts the system's wave-out back; call only while nothing plays.
void RemoveCaptureWaveOut();

// True once the audio output has opened the device (the music is playing).
bool CaptureWaveOutOpen();

// Moves the play position to `frame` stereo frames after play start (never
// back). When keeping, it first waits until the mixing thread has filled what
// the device is about to play, and keeps those frames. False when the mixing
// thread did not catch up within 10 s; true, doing nothing, while the device is
// not open.
bool PlayCaptureWaveOutTo(int64_t frame);

// The frames played so far when keeping: 16-bit stereo, left first.
const std::vector<int16_t>& CapturedPcm();
