#pragma once

// The device's play position as the mixing thread follows it. The device counts
// bytes in 32 bits, which wrap after 2^32 bytes (6.8 hours at 176,400 bytes a
// second); 2^32 is no multiple of the ring's size, so the raw count would name the
// wrong block from then on. Successive readings are therefore accumulated, by
// their unsigned difference, into a 64-bit count that never wraps in practice.

#include <cstdint>

struct DevicePosition {
    uint32_t lastReading;  // the device's count at the previous reading
    uint64_t bytes;        // bytes played since the device was opened
};

// A device just opened: its count starts at 0.
void ResetDevicePosition(DevicePosition& position);
// Takes a new reading of the device's 32-bit byte count; returns the bytes played
// since opening. Readings must come at least once per 2^32 bytes.
uint64_t AdvanceDevicePosition(DevicePosition& position, uint32_t reading);

// The ring block the device plays after `bytes` bytes of 16-bit stereo: the
// frame count modulo the ring, divided by the block length.
int32_t PlayingBlock(uint64_t bytes, int32_t ringFrames, int32_t blockFrames);
