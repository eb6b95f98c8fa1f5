#include "AudioOutput.h"
#include "DrivenWaveOut.h"
#include "Player.h"
#include "TestSongs.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

// Start, stop and free in quick succession, with the device moving under the
// mixing thread and short random waits between the steps. Run in the thread and
// address sanitizer flavours, this finds races, deadlocks and leaks in the
// stopping protocol.
TEST(AudioOutputStress, StartStopAndFreeCycles)
{
    DrivenWaveOut& device = InstallDrivenWaveOut();
    const std::vector<uint8_t> modules[2] = {MakeTestModule(0), MakeTestModule(1)};
    std::mt19937 random(20240607);
    Song* song = LoadTestSong(modules[0]);
    ASSERT_NE(song, nullptr);

    const int CYCLES = 300;
    int starts = 0;
    for (int cycle = 0; cycle < CYCLES; ++cycle) {
        ASSERT_TRUE(StartPlayback(song)) << "cycle " << cycle;
        ++starts;
        const int steps = static_cast<int>(random() % 4);
        for (int step = 0; step < steps; ++step) {
            device.positionBytes = device.positionBytes +
                                   static_cast<uint32_t>(random() % 40000) * 4;
            Sleep(static_cast<DWORD>(random() % 4));
        }
        switch (random() % 4) {
        case 0:
            // Replace the song while it plays.
            FreeSong(song);
            song = LoadTestSong(modules[cycle % 2]);
            ASSERT_NE(song, nullptr);
            break;
        case 1:
            EXPECT_TRUE(StopPlayback(song));
            EXPECT_TRUE(StopPlayback(song));
            break;
        case 2:
            EXPECT_FALSE(StopPlayback(nullptr));
            EXPECT_TRUE(StopPlayback(song));
            break;
        default:
            // Left playing: the next StartPlayback stops it first.
            break;
        }
        EXPECT_LE(device.opens - device.closes, 1) << "at most one device open";
    }
    EXPECT_TRUE(StopPlayback(song));
    EXPECT_TRUE(FreeSong(song));
    EXPECT_EQ(device.opens, starts);
    EXPECT_EQ(device.closes, starts);
    EXPECT_FALSE(device.open);
    EXPECT_EQ(Output.thread, nullptr);
    RemoveDrivenWaveOut();
}
