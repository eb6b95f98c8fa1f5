#include "DevicePosition.h"

#include <gtest/gtest.h>

namespace {

const int32_t RING_FRAMES = 88400;
const int32_t BLOCK_FRAMES = 884;
const uint64_t RING_BYTES = 353600;

}  // namespace

TEST(DevicePosition, FollowsTheCountFromZero)
{
    DevicePosition position;
    ResetDevicePosition(position);
    EXPECT_EQ(AdvanceDevicePosition(position, 0), 0u);
    EXPECT_EQ(AdvanceDevicePosition(position, 3536), 3536u);
    EXPECT_EQ(AdvanceDevicePosition(position, 3536), 3536u) << "no movement, no change";
    EXPECT_EQ(AdvanceDevicePosition(position, 1000000), 1000000u);
}

TEST(DevicePosition, CarriesOnAcrossThe32BitWrap)
{
    DevicePosition position;
    ResetDevicePosition(position);
    AdvanceDevicePosition(position, 0x80000000u);
    AdvanceDevicePosition(position, 0xFFFFF000u);
    EXPECT_EQ(AdvanceDevicePosition(position, 0x00001000u), 0x100001000ull);
    EXPECT_EQ(AdvanceDevicePosition(position, 0x70000000u), 0x170000000ull);
    // A second wrap, and a third: the count keeps growing.
    AdvanceDevicePosition(position, 0xF0000000u);
    AdvanceDevicePosition(position, 0x10000000u);
    AdvanceDevicePosition(position, 0x90000000u);
    EXPECT_EQ(AdvanceDevicePosition(position, 0x00000010u), 0x300000010ull);
}

TEST(DevicePosition, PlayingBlockOfAPosition)
{
    EXPECT_EQ(PlayingBlock(0, RING_FRAMES, BLOCK_FRAMES), 0);
    EXPECT_EQ(PlayingBlock(3535, RING_FRAMES, BLOCK_FRAMES), 0);
    EXPECT_EQ(PlayingBlock(3536, RING_FRAMES, BLOCK_FRAMES), 1) << "frame 884 begins block 1";
    EXPECT_EQ(PlayingBlock(RING_BYTES - 4, RING_FRAMES, BLOCK_FRAMES), 99);
    EXPECT_EQ(PlayingBlock(RING_BYTES, RING_FRAMES, BLOCK_FRAMES), 0)
        << "beyond one ring maps back";
    EXPECT_EQ(PlayingBlock(RING_BYTES * 7 + 3536 * 42 + 100, RING_FRAMES, BLOCK_FRAMES), 42);
}

TEST(DevicePosition, BlockAfterTheWrapFollowsTheTrueCount)
{
    // After 2^32 bytes the device's count reads small again; 2^32 is no multiple of
    // the ring, so only the 64-bit count names the block the device really plays.
    DevicePosition position;
    ResetDevicePosition(position);
    uint32_t reading = 0;
    for (int step = 0; step < 5; ++step) {
        reading += 0x40000000u;  // a quarter of the range at a time
        AdvanceDevicePosition(position, reading);
    }
    const uint64_t bytes = AdvanceDevicePosition(position, reading + 3536 * 2);
    EXPECT_EQ(bytes, 0x140000000ull + 3536 * 2);
    const uint64_t frames = bytes / 4;
    EXPECT_EQ(PlayingBlock(bytes, RING_FRAMES, BLOCK_FRAMES),
              static_cast<int32_t>(frames % 88400 / 884));
    const int32_t fromRawCount = PlayingBlock(static_cast<uint32_t>(bytes), RING_FRAMES,
                                              BLOCK_FRAMES);
    EXPECT_NE(PlayingBlock(bytes, RING_FRAMES, BLOCK_FRAMES), fromRawCount)
        << "the raw 32-bit count would name another block";
}
