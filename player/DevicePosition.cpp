#include "DevicePosition.h"

namespace {

const uint64_t BYTES_PER_FRAME = 4;  // 16-bit stereo

}  // namespace

void ResetDevicePosition(DevicePosition& position)
{
    position.lastReading = 0;
    position.bytes = 0;
}

uint64_t AdvanceDevicePosition(DevicePosition& position, uint32_t reading)
{
    // Unsigned subtraction is the distance travelled even across the wrap.
    position.bytes += static_cast<uint32_t>(reading - position.lastReading);
    position.lastReading = reading;
    return position.bytes;
}

int32_t PlayingBlock(uint64_t bytes, int32_t ringFrames, int32_t blockFrames)
{
    const uint64_t frames = bytes / BYTES_PER_FRAME;
    return static_cast<int32_t>(frames % static_cast<uint64_t>(ringFrames)) / blockFrames;
}
