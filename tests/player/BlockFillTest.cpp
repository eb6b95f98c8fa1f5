#include "PlayerMemory.h"
#include "PlayerTestKit.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

std::vector<uint64_t> s_tickFrames;

void RecordingTick(Song* song)
{
    s_tickFrames.push_back(song->mixedFrames);
    SongTick(song);
}

// Retriggers its notes on every row in four channels with looped samples:
// busy enough that retriggers leave voices behind all the time.
Lab BusyLab()
{
    Lab lab(4, 16, 2);
    const char* notes[] = {"C-4", "E-4", "G-4", "C-5"};
    for (int row = 0; row < 16; ++row)
        for (int c = 0; c < 4; ++c)
            lab.At(row, c) = Cell(notes[(row + c) % 4], 1 + (row + c) % 2, 0x30 + row);
    lab.At(3, 1).effect = XmEffect('E');
    lab.At(3, 1).param = 0x93;
    lab.At(7, 2).effect = XmEffect('8');
    lab.At(7, 2).param = 0x20;
    return lab;
}

std::vector<int16_t> Render(Song* song, int64_t frames)
{
    std::vector<int16_t> pcm(size_t(frames) * 2);
    EXPECT_TRUE(RenderSong(song, pcm.data(), frames));
    return pcm;
}

bool AllZero(const std::vector<int16_t>& pcm, int side)
{
    for (size_t i = size_t(side); i < pcm.size(); i += 2)
        if (pcm[i] != 0)
            return false;
    return true;
}

}  // namespace

TEST(BlockFill, RingSizes)
{
    EXPECT_EQ(BlockFrames, 884);
    EXPECT_EQ(RingFrames, 88400);
    EXPECT_EQ(BlockCount, 100);
    EXPECT_EQ(sizeof(int16_t) * 2 * RingFrames, 353600u);
    EXPECT_EQ(sizeof(BlockPosition), 6u);
}

TEST(BlockFill, TicksFallOnFrameBoundariesWhereverBlocksBegin)
{
    Lab lab(1, 64, 6, 125);
    lab.At(0, 0) = Cell("C-4", 1);
    SongPtr song = lab.Load();
    song->tickCallback = RecordingTick;
    s_tickFrames.clear();
    ResetPlayState(song.get());
    ASSERT_TRUE(OpenBlockRing(song.get()));
    for (int b = 0; b < BlockCount; ++b)
        FillBlock();
    EXPECT_EQ(PlayRing.nextBlock, 0);
    // A tick before the first frame and then every 882 frames: 101 ticks in 88,400 frames.
    ASSERT_EQ(s_tickFrames.size(), 101u);
    for (size_t i = 0; i < s_tickFrames.size(); ++i)
        EXPECT_EQ(s_tickFrames[i], 882 * i);
    EXPECT_EQ(song->samplesLeftInTick, int32_t(101 * 882 - 88400));
    EXPECT_EQ(song->mixedFrames, uint64_t(RingFrames));
    CloseBlockRing();
}

TEST(BlockFill, BlockPositionsAndExactPlayTime)
{
    Lab lab(1, 4, 3, 176);
    lab.AddPattern(64);
    lab.module.orders = {0, 1};
    SongPtr song = lab.Load();
    ResetPlayState(song.get());
    ASSERT_TRUE(OpenBlockRing(song.get()));
    for (int b = 0; b < 30; ++b) {
        FillBlock();
        const BlockPosition& position = PlayRing.positions[b];
        const int64_t frames = int64_t(b + 1) * BlockFrames;
        const int32_t playTimeMs = position.playTimeMs;  // a packed field: copy, not bind
        EXPECT_EQ(playTimeMs, int32_t(frames * 1000 / 44100)) << b;
        EXPECT_EQ(position.orderPos, uint8_t(song->orderPos));
        EXPECT_EQ(position.row, uint8_t(song->row));
    }
    // 626 frames a tick, 3 ticks a row: 26,520 frames reach row 14 of order 1.
    EXPECT_EQ(PlayRing.positions[29].orderPos, 1);
    EXPECT_EQ(PlayRing.positions[29].row, (26520 / 626) / 3 - 4);
    // The time comes from the frame count, so stretches are never rounded
    // down one by one.
    ResetPlayState(song.get());
    for (int b = 0; b < 50; ++b)
        FillBlock();
    EXPECT_EQ(song->playTimeMs, 1002);  // 44,200 frames
    CloseBlockRing();
}

TEST(BlockFill, RenderingTheSameSongTwiceGivesIdenticalSamples)
{
    Lab lab = BusyLab();
    lab.At(0, 0).effect = XmEffect('E');
    lab.At(0, 0).param = 0x57;  // set finetune: must not outlive the play
    SongPtr song = lab.Load();
    const std::vector<int16_t> first = Render(song.get(), 3 * 44100);
    const std::vector<int16_t> second = Render(song.get(), 3 * 44100);
    EXPECT_FALSE(AllZero(first, 0));
    EXPECT_EQ(first, second);
    EXPECT_EQ(song->instruments[0].samples[0]->finetune, 0);
}

TEST(BlockFill, AStreamReadInPiecesOfAnySizeGivesTheRingsSamples)
{
    Lab lab = BusyLab();
    SongPtr song = lab.Load();
    const int blocks = 60;
    std::vector<int16_t> ring;
    ResetPlayState(song.get());
    ASSERT_TRUE(OpenBlockRing(song.get()));
    for (int b = 0; b < blocks; ++b) {
        FillBlock();
        ring.insert(ring.end(), BlockPcm(b), BlockPcm(b) + BlockFrames * 2);
    }
    CloseBlockRing();

    static SongStream stream;
    ASSERT_TRUE(StartSongStream(stream, song.get()));
    std::vector<int16_t> streamed(ring.size());
    const int64_t pieces[] = {1, BlockFrames - 1, BlockFrames, BlockFrames + 1, 4000, 7};
    for (int64_t done = 0, i = 0; done < blocks * BlockFrames; done += pieces[i++ % 6])
        ReadSongStream(stream, streamed.data() + done * 2,
                       std::min<int64_t>(pieces[i % 6], blocks * BlockFrames - done));
    EXPECT_FALSE(AllZero(ring, 0));
    EXPECT_EQ(streamed, ring);
    EXPECT_FALSE(StartSongStream(stream, nullptr));
}

TEST(BlockFill, PanningZeroIsLeftAndFullIsRight)
{
    Lab left(1);
    left.At(0, 0) = Cell("C-4", 1, 0, '8', 0x00);
    SongPtr song = left.Load();
    std::vector<int16_t> pcm = Render(song.get(), 8000);
    EXPECT_FALSE(AllZero(pcm, 0));
    EXPECT_TRUE(AllZero(pcm, 1));

    Lab right(1);
    right.At(0, 0) = Cell("C-4", 1, 0, '8', 0xFF);
    song = right.Load();
    pcm = Render(song.get(), 8000);
    EXPECT_TRUE(AllZero(pcm, 0));
    EXPECT_FALSE(AllZero(pcm, 1));
}

TEST(BlockFill, InstrumentBeyondTheSongRendersSilence)
{
    Lab lab(2, 8, 2);
    lab.At(0, 0) = Cell("C-4", 7);
    lab.At(2, 0) = Cell("E-4", 0, 0, '9', 0x02);
    lab.At(4, 0) = Cell("G-4", 3, 0x40, 'E', 0x52);
    SongPtr song = lab.Load();
    const std::vector<int16_t> pcm = Render(song.get(), 44100);
    EXPECT_TRUE(AllZero(pcm, 0));
    EXPECT_TRUE(AllZero(pcm, 1));
}

TEST(BlockFill, FreeingOrphanedVoicesLeavesEveryOutputSampleUnchanged)
{
    struct KeepOrphans {
        // Clears the orphan marks after every tick, so no voice is ever freed early.
        static void Tick(Song* song)
        {
            SongTick(song);
            for (int i = 0; i < MIXED_VOICES; ++i)
                VoiceTable[i].orphaned = 0;
        }
    };
    auto sounding = [] {
        int count = 0;
        for (int i = 0; i < MIXED_VOICES; ++i)
            count += VoiceTable[i].sample != nullptr;
        return count;
    };
    Lab lab = BusyLab();
    SongPtr song = lab.Load();
    const std::vector<int16_t> freed = Render(song.get(), 5 * 44100);
    // Render leaves the voice table as the last block left it.
    const int soundingWhenFreed = sounding();
    song->tickCallback = KeepOrphans::Tick;
    const std::vector<int16_t> kept = Render(song.get(), 5 * 44100);
    const int soundingWhenKept = sounding();
    ASSERT_EQ(freed.size(), kept.size());
    for (size_t i = 0; i < freed.size(); ++i)
        ASSERT_EQ(freed[i], kept[i]) << "frame " << i / 2;
    EXPECT_EQ(soundingWhenKept, 8);
    EXPECT_EQ(soundingWhenFreed, 4);
}

TEST(BlockFill, FreeSongClosesTheRingThatPlaysIt)
{
    Lab lab(1);
    SongPtr other = lab.Load();
    Song* song = lab.Load().release();
    ResetPlayState(song);
    ASSERT_TRUE(OpenBlockRing(song));
    FillBlock();
    EXPECT_TRUE(FreeSong(other.release()));
    EXPECT_EQ(PlayRing.currentSong, song);
    EXPECT_TRUE(FreeSong(song));
    EXPECT_EQ(PlayRing.currentSong, nullptr);
    EXPECT_EQ(PlayRing.pcmRing, nullptr);
    FillBlock();  // a closed ring does nothing
}

TEST(BlockFill, RingAllocationFailureLeavesNothingOpen)
{
    Lab lab(1);
    SongPtr song = lab.Load();
    ResetPlayState(song.get());
    for (long successes = 0; successes < 3; ++successes) {
        SetPlayerAllocationFailure(successes);
        EXPECT_FALSE(OpenBlockRing(song.get()));
        SetPlayerAllocationFailure(-1);
        EXPECT_EQ(PlayRing.currentSong, nullptr);
        EXPECT_EQ(PlayRing.mixRing, nullptr);
    }
    EXPECT_TRUE(OpenBlockRing(song.get()));
    EXPECT_EQ(reinterpret_cast<uintptr_t>(PlayRing.mixRing) % 16, 0u);
    CloseBlockRing();
    EXPECT_FALSE(OpenBlockRing(nullptr));
}

TEST(BlockFill, ABpmOfZeroNeverGivesATickShorterThanAFrame)
{
    struct ZeroBpm {
        static void Tick(Song* song)
        {
            SongTick(song);
            SetBpm(song, 0);
        }
    };
    Lab lab(1);
    lab.At(0, 0) = Cell("C-4", 1);
    SongPtr song = lab.Load();
    song->tickCallback = ZeroBpm::Tick;
    s_tickFrames.clear();
    ResetPlayState(song.get());
    ASSERT_TRUE(OpenBlockRing(song.get()));
    for (int b = 0; b < 200; ++b)
        FillBlock();
    EXPECT_EQ(song->samplesPerTick, 110250);
    EXPECT_EQ(song->mixedFrames, 200u * BlockFrames);
    CloseBlockRing();
}
