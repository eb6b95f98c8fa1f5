#include "AudioOutput.h"
#include "DrivenWaveOut.h"
#include "Player.h"
#include "TestSongs.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

// The audio output on the driven device: the test moves the device's play
// position and checks which blocks the mixing thread refills, and with what.
// Built twice: with the thread, and serviced by its host (the test) without one.
namespace {

const uint32_t BLOCK_BYTES = 884 * 4;
const uint32_t RING_BYTES = 88400 * 4;

class AudioOutputTest : public testing::Test {
protected:
    void SetUp() override
    {
        m_pDevice = &InstallDrivenWaveOut();
        m_module = MakeTestModule(0);
        m_pSong = LoadTestSong(m_module);
        ASSERT_NE(m_pSong, nullptr);
    }

    void TearDown() override
    {
        if (m_pSong)
            StopPlayback(m_pSong);
        FreeSong(m_pSong);
        FreeSong(m_pOther);
        RemoveDrivenWaveOut();
        RegisterTestCallbacks();
    }

    // The song rendered from its start, as xm2wav renders it.
    static std::vector<int16_t> Reference(Song* song, int64_t frames)
    {
        std::vector<int16_t> pcm(static_cast<size_t>(frames) * 2);
        EXPECT_TRUE(RenderSong(song, pcm.data(), frames));
        return pcm;
    }

    // Block b of the ring the device plays equals the reference frames from `frame`.
    static ::testing::AssertionResult BlockHolds(int32_t block,
                                                 const std::vector<int16_t>& reference,
                                                 int64_t frame)
    {
        const int16_t* ring = reinterpret_cast<const int16_t*>(Output.header.lpData);
        if (!ring)
            return ::testing::AssertionFailure() << "no ring";
        const int16_t* actual = ring + static_cast<size_t>(block) * BlockFrames * 2;
        const int16_t* expected = reference.data() + frame * 2;
        for (int i = 0; i < BlockFrames * 2; ++i)
            if (actual[i] != expected[i])
                return ::testing::AssertionFailure() << "block " << block << " sample " << i << ": "
                                                     << actual[i] << " != " << expected[i];
        return ::testing::AssertionSuccess();
    }

    DrivenWaveOut* m_pDevice = nullptr;
    std::vector<uint8_t> m_module;
    std::vector<uint8_t> m_otherModule;
    Song* m_pSong = nullptr;
    Song* m_pOther = nullptr;
};

}  // namespace

TEST(AudioOutputSizes, DerivedFromTheMixRate)
{
    EXPECT_EQ(BlockFrames, 884);
    EXPECT_EQ(RingFrames, 88400);
    EXPECT_EQ(BlockCount, 100);
}

TEST_F(AudioOutputTest, OpensTheDeviceAndLoopsTheWholeRing)
{
    ASSERT_TRUE(StartPlayback(m_pSong));
    EXPECT_EQ(m_pDevice->opens, 1);
    EXPECT_EQ(m_pDevice->deviceId, WAVE_MAPPER);
    EXPECT_EQ(m_pDevice->openFlags, CALLBACK_NULL);
    EXPECT_EQ(m_pDevice->format.wFormatTag, WAVE_FORMAT_PCM);
    EXPECT_EQ(m_pDevice->format.nChannels, 2);
    EXPECT_EQ(m_pDevice->format.nSamplesPerSec, 44100u);
    EXPECT_EQ(m_pDevice->format.nAvgBytesPerSec, 176400u);
    EXPECT_EQ(m_pDevice->format.nBlockAlign, 4);
    EXPECT_EQ(m_pDevice->format.wBitsPerSample, 16);
    EXPECT_EQ(m_pDevice->format.cbSize, 0);
    EXPECT_EQ(m_pDevice->preparedHeaderSize, sizeof(WAVEHDR));
    EXPECT_EQ(m_pDevice->writes, 1);
    LPWAVEHDR header = m_pDevice->writtenHeader;
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->dwBufferLength, RING_BYTES) << "353,600 bytes";
    EXPECT_EQ(header->dwFlags & (WHDR_BEGINLOOP | WHDR_ENDLOOP), WHDR_BEGINLOOP | WHDR_ENDLOOP);
    EXPECT_EQ(header->dwLoops, 0xFFFFFFFFu);
#ifdef SKV_OUTPUT_SERVICED_BY_HOST
    EXPECT_EQ(Output.thread, nullptr) << "no thread: the host runs the service step";
#else
    EXPECT_NE(Output.thread, nullptr);
#endif
    EXPECT_TRUE(WaitForPolls(3)) << "the service step polls the device";
}

TEST_F(AudioOutputTest, StartMixesTheWholeRingFirst)
{
    const std::vector<int16_t> reference = Reference(m_pSong, RingFrames);
    ASSERT_TRUE(StartPlayback(m_pSong));
    // The device still stands at 0, so the thread has nothing to refill.
    ASSERT_TRUE(WaitForPolls(2));
    EXPECT_EQ(PlayRing.nextBlock, 0);
    EXPECT_EQ(m_pSong->mixedFrames, static_cast<uint64_t>(RingFrames)) << "88,400 frames of ticks";
    for (int32_t block = 0; block < BlockCount; ++block)
        ASSERT_TRUE(BlockHolds(block, reference, int64_t(block) * BlockFrames));
}

TEST_F(AudioOutputTest, OneBlockPlayedRefillsBlockZeroOnly)
{
    const std::vector<int16_t> reference = Reference(m_pSong, 2 * RingFrames);
    ASSERT_TRUE(StartPlayback(m_pSong));
    ASSERT_TRUE(DriveTo(3536));
    EXPECT_EQ(PlayRing.nextBlock, 1);
    EXPECT_TRUE(BlockHolds(0, reference, RingFrames))
        << "block 0 now holds the ring's next 884 frames";
    EXPECT_TRUE(BlockHolds(1, reference, BlockFrames)) << "block 1 is still the pre-fill";
    EXPECT_EQ(m_pSong->mixedFrames, static_cast<uint64_t>(RingFrames + BlockFrames));
}

TEST_F(AudioOutputTest, RingIsRefilledBlockByBlockAsTheDevicePlays)
{
    const std::vector<int16_t> reference = Reference(m_pSong, 3 * RingFrames);
    ASSERT_TRUE(StartPlayback(m_pSong));
    int64_t mixedUpTo = RingFrames;  // frames of the song in the ring so far
    for (int32_t played = 1; played <= 130; played += (played < 10 ? 1 : 7)) {
        const uint32_t bytes = static_cast<uint32_t>(played) * BLOCK_BYTES;
        ASSERT_TRUE(DriveTo(bytes));
        const int32_t playing = played % BlockCount;
        ASSERT_EQ(PlayRing.nextBlock, playing);
        mixedUpTo = RingFrames + int64_t(played) * BlockFrames;
        // Every block but the one playing holds the next ring length of the song.
        for (int32_t back = 1; back < BlockCount; ++back) {
            const int64_t frame = mixedUpTo - int64_t(back) * BlockFrames;
            const int32_t block = static_cast<int32_t>(frame / BlockFrames % BlockCount);
            ASSERT_TRUE(BlockHolds(block, reference, frame)) << "after " << played << " blocks";
        }
    }
    EXPECT_EQ(m_pSong->mixedFrames, static_cast<uint64_t>(mixedUpTo));
}

TEST_F(AudioOutputTest, PositionsBeyondOneRingMapBackIntoIt)
{
    ASSERT_TRUE(StartPlayback(m_pSong));
    ASSERT_TRUE(DriveTo(RING_BYTES / 2));
    EXPECT_EQ(PlayRing.nextBlock, 50);
    ASSERT_TRUE(DriveTo(RING_BYTES + 5 * BLOCK_BYTES + 100));
    EXPECT_EQ(PlayRing.nextBlock, 5);
    ASSERT_TRUE(DriveTo(3 * RING_BYTES + 99 * BLOCK_BYTES));
    EXPECT_EQ(PlayRing.nextBlock, 99);
}

TEST_F(AudioOutputTest, ByteCountWrapDoesNotLoseTheRing)
{
    ASSERT_TRUE(StartPlayback(m_pSong));
    // Hours of play, a quarter of the counter at a time, then across the wrap.
    uint64_t total = 0;
    for (int step = 0; step < 4; ++step) {
        total += 0x3FFFF000u;
        ASSERT_TRUE(DriveTo(static_cast<uint32_t>(total)));
    }
    total += 0x2000 + 3 * BLOCK_BYTES;
    ASSERT_TRUE(total > 0xFFFFFFFFull);
    ASSERT_TRUE(DriveTo(static_cast<uint32_t>(total)));
    const int32_t expected = static_cast<int32_t>(total / 4 % RingFrames / BlockFrames);
    const int32_t wrapped = static_cast<int32_t>(static_cast<uint32_t>(total) / 4 % RingFrames /
                                                 BlockFrames);
    ASSERT_NE(expected, wrapped) << "the test must tell the two apart";
    EXPECT_EQ(PlayRing.nextBlock, expected);
    // And it keeps following the device.
    total += 10 * BLOCK_BYTES;
    ASSERT_TRUE(DriveTo(static_cast<uint32_t>(total)));
    EXPECT_EQ(PlayRing.nextBlock, static_cast<int32_t>(total / 4 % RingFrames / BlockFrames));
}

TEST_F(AudioOutputTest, AudiblePositionComesFromThePlayingBlock)
{
    BlockPosition position;
    EXPECT_FALSE(GetAudiblePosition(&position)) << "nothing plays yet";
    ASSERT_TRUE(StartPlayback(m_pSong));
    ASSERT_TRUE(DriveTo(40 * BLOCK_BYTES));
    ASSERT_TRUE(GetAudiblePosition(&position));
    // Packed records: fields are copied out, never bound to references.
    const BlockPosition record = PlayRing.positions[40];
    const int orderPos = record.orderPos, row = record.row, recordTime = record.playTimeMs;
    const int audibleTime = position.playTimeMs;
    EXPECT_EQ(position.orderPos, orderPos);
    EXPECT_EQ(position.row, row);
    EXPECT_EQ(audibleTime, recordTime);
    EXPECT_EQ(audibleTime, static_cast<int32_t>(41LL * BlockFrames * 1000 / 44100));
    StopPlayback(m_pSong);
    EXPECT_FALSE(GetAudiblePosition(&position));
}

TEST_F(AudioOutputTest, StopWithNullSongDoesNothing)
{
    ASSERT_TRUE(StartPlayback(m_pSong));
    EXPECT_FALSE(StopPlayback(nullptr));
    EXPECT_TRUE(WaitForPolls(3)) << "the thread still runs";
    EXPECT_TRUE(m_pDevice->open);
    EXPECT_EQ(m_pDevice->resets, 0);
    ASSERT_TRUE(DriveTo(BLOCK_BYTES * 2));
    EXPECT_EQ(PlayRing.nextBlock, 2);
}

TEST_F(AudioOutputTest, StopEndsTheThreadAndClosesEverything)
{
    ASSERT_TRUE(StartPlayback(m_pSong));
    ASSERT_TRUE(WaitForPolls(2));
    EXPECT_TRUE(StopPlayback(m_pSong));
    EXPECT_TRUE(Output.threadDone);
    EXPECT_EQ(Output.thread, nullptr);
    EXPECT_EQ(m_pDevice->resets, 1);
    EXPECT_EQ(m_pDevice->unprepares, 1);
    EXPECT_EQ(m_pDevice->closes, 1);
    EXPECT_FALSE(m_pDevice->open);
    EXPECT_EQ(PlayRing.pcmRing, nullptr);
    EXPECT_EQ(PlayRing.currentSong, nullptr);
    EXPECT_EQ(PlayRing.nextBlock, 0);
    const int polls = m_pDevice->positionReads;
    Sleep(30);
    EXPECT_EQ(m_pDevice->positionReads, polls) << "no thread polls any more";
    EXPECT_FALSE(WaitForPolls(1)) << "a service step after the stop does nothing";

    EXPECT_TRUE(StopPlayback(m_pSong)) << "a second stop is harmless";
    EXPECT_EQ(m_pDevice->closes, 1);
    EXPECT_TRUE(StopPlayback(m_pOther ? m_pOther : m_pSong));
}

TEST_F(AudioOutputTest, StopBeforeTheThreadHasRunStillEndsIt)
{
    for (int i = 0; i < 20; ++i) {
        ASSERT_TRUE(StartPlayback(m_pSong));
        EXPECT_TRUE(StopPlayback(m_pSong));
        EXPECT_EQ(Output.thread, nullptr);
        EXPECT_FALSE(m_pDevice->open);
    }
    EXPECT_EQ(m_pDevice->opens, 20);
    EXPECT_EQ(m_pDevice->closes, 20);
}

TEST_F(AudioOutputTest, SecondStartReplacesTheFirstSongFromItsBeginning)
{
    m_otherModule = MakeTestModule(1);
    m_pOther = LoadTestSong(m_otherModule);
    ASSERT_NE(m_pOther, nullptr);
    const std::vector<int16_t> reference = Reference(m_pOther, RingFrames);

    ASSERT_TRUE(StartPlayback(m_pSong));
    ASSERT_TRUE(DriveTo(30 * BLOCK_BYTES));
    ASSERT_TRUE(StartPlayback(m_pOther));
    EXPECT_EQ(m_pDevice->opens, 2);
    EXPECT_EQ(m_pDevice->closes, 1) << "the first output was closed first";
    EXPECT_EQ(PlayRing.currentSong, m_pOther);
    ASSERT_TRUE(WaitForPolls(2));
    EXPECT_EQ(PlayRing.nextBlock, 0);
    EXPECT_EQ(m_pOther->mixedFrames, static_cast<uint64_t>(RingFrames));
    for (int32_t block = 0; block < BlockCount; ++block)
        ASSERT_TRUE(BlockHolds(block, reference, int64_t(block) * BlockFrames));
    const int firstOrderPos = PlayRing.positions[0].orderPos;
    EXPECT_EQ(firstOrderPos, 0) << "from order position 0";
}

TEST_F(AudioOutputTest, RestartingTheSameSongStartsItAgain)
{
    const std::vector<int16_t> reference = Reference(m_pSong, RingFrames);
    ASSERT_TRUE(StartPlayback(m_pSong));
    ASSERT_TRUE(DriveTo(60 * BLOCK_BYTES));
    ASSERT_TRUE(StartPlayback(m_pSong));
    ASSERT_TRUE(WaitForPolls(2));
    for (int32_t block = 0; block < BlockCount; ++block)
        ASSERT_TRUE(BlockHolds(block, reference, int64_t(block) * BlockFrames));
}

TEST_F(AudioOutputTest, StartBeforeFileCallbacksOpensNoDevice)
{
    ClearTestCallbacks();
    EXPECT_FALSE(StartPlayback(m_pSong));
    EXPECT_EQ(m_pDevice->opens, 0);
    EXPECT_EQ(PlayRing.pcmRing, nullptr) << "nothing allocated";
    EXPECT_EQ(Output.thread, nullptr);
}

TEST_F(AudioOutputTest, NoDeviceFailsWithNothingLeftBehind)
{
    m_pDevice->failOpen = true;
    EXPECT_FALSE(StartPlayback(m_pSong));
    EXPECT_EQ(PlayRing.pcmRing, nullptr);
    EXPECT_EQ(PlayRing.positions, nullptr);
    EXPECT_EQ(PlayRing.currentSong, nullptr);
    EXPECT_EQ(Output.thread, nullptr);
    EXPECT_EQ(Output.device, nullptr);
    EXPECT_TRUE(StopPlayback(m_pSong));
    m_pDevice->failOpen = false;
    EXPECT_TRUE(StartPlayback(m_pSong)) << "and it can start later";
}

TEST(AudioOutputStart, NullSongIsRefused)
{
    DrivenWaveOut& device = InstallDrivenWaveOut();
    EXPECT_FALSE(StartPlayback(nullptr));
    EXPECT_EQ(device.opens, 0);
    RemoveDrivenWaveOut();
}

namespace {

Song* s_pFreedSong = nullptr;
bool s_songAliveAtReset = false;
bool s_threadGoneAtReset = false;

void CheckAtReset()
{
    // Reading the song's patterns here is a use after free (and an AddressSanitizer
    // report) if the memory went before the sound stopped.
    s_songAliveAtReset = s_pFreedSong->patterns != nullptr &&
                         s_pFreedSong->patterns[0].rowCount == 16;
    s_threadGoneAtReset = Output.threadDone && !Output.mixBusy;
}

}  // namespace

TEST_F(AudioOutputTest, FreeSongOnAPlayingSongStopsTheSoundFirst)
{
    ASSERT_TRUE(StartPlayback(m_pSong));
    ASSERT_TRUE(DriveTo(20 * BLOCK_BYTES));
    s_pFreedSong = m_pSong;
    m_pDevice->onReset = &CheckAtReset;
    EXPECT_TRUE(FreeSong(m_pSong));
    m_pSong = nullptr;
    EXPECT_TRUE(s_songAliveAtReset);
    EXPECT_TRUE(s_threadGoneAtReset);
    EXPECT_EQ(m_pDevice->resets, 1);
    EXPECT_EQ(m_pDevice->closes, 1);
    EXPECT_EQ(Output.thread, nullptr);
    EXPECT_EQ(PlayRing.currentSong, nullptr);
}
