// The shipped module played by the intro's own player, rendered to memory
// through the same block fill the audio output uses: it loads with the
// intro's header values, does not clip, never falls silent after the intro's
// first bars, and loops back into its body.
#include "DataFiles.h"

#include "BlockFill.h"
#include "FileCallbacks.h"
#include "PlayState.h"
#include "Song.h"
#include "XmLoader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

namespace {

const int BODY_POSITION = 10;
const int SONG_LENGTH = 26;

// Memory input over the module's bytes, as the intro reads its resource.
std::vector<uint8_t> s_module;

struct Cursor {
    long position;
};

void* OpenModule(const char*)
{
    return new Cursor{0};
}
void CloseModule(void* handle)
{
    delete static_cast<Cursor*>(handle);
}
int ReadModule(void* destination, int count, void* handle)
{
    Cursor* c = static_cast<Cursor*>(handle);
    const long left = long(s_module.size()) - c->position;
    const long n = count < 0 ? 0 : (count < left ? count : left);
    if (n > 0)
        std::memcpy(destination, s_module.data() + c->position, size_t(n));
    c->position += n;
    return int(n);
}
void SeekModule(void* handle, int offset, int origin)
{
    Cursor* c = static_cast<Cursor*>(handle);
    long target = origin == 0 ? offset : origin == 1 ? c->position + offset : long(s_module.size()) + offset;
    if (target < 0)
        target = 0;
    if (target > long(s_module.size()))
        target = long(s_module.size());
    c->position = target;
}
int TellModule(void* handle)
{
    return int(static_cast<Cursor*>(handle)->position);
}

Song* LoadShippedModule()
{
    s_module = ReadDataFile("music.xm");
    if (s_module.empty())
        return nullptr;
    SetFileCallbacks(OpenModule, CloseModule, ReadModule, SeekModule, TellModule);
    return LoadSong("", nullptr);
}

// What a render of the song from play start shows.
struct Render {
    std::vector<int> blockOrder;    // order position after each block
    std::vector<double> windowRms;  // RMS of each 5-second window, 0..1 of full scale
    long clippedSamples = 0;
    long samples = 0;
    int peak = 0;
};

Render RenderSong(Song* song, double seconds)
{
    Render render;
    ResetPlayState(song);
    if (!OpenBlockRing(song))
        return render;
    const long windowFrames = 5L * 44100;
    double sum = 0.0;
    long inWindow = 0;
    const long blocks = long(seconds * 44100.0) / BlockFrames + 1;
    for (long b = 0; b < blocks; ++b) {
        const int32_t block = PlayRing.nextBlock;
        FillBlock();
        const int16_t* pcm = BlockPcm(block);
        for (int i = 0; i < BlockFrames * 2; ++i) {
            const int v = pcm[i];
            render.peak = std::max(render.peak, std::abs(v));
            render.clippedSamples += v >= 32767 || v <= -32768;
            sum += double(v) * v;
        }
        render.samples += BlockFrames * 2;
        inWindow += BlockFrames;
        if (inWindow >= windowFrames) {
            render.windowRms.push_back(std::sqrt(sum / (2.0 * inWindow)) / 32768.0);
            sum = 0.0;
            inWindow = 0;
        }
        render.blockOrder.push_back(PlayRing.positions[block].orderPos);
    }
    CloseBlockRing();
    return render;
}

class MusicPlayback : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_song = LoadShippedModule();
        if (s_song)
            s_render = RenderSong(s_song, 165.0);
    }
    static void TearDownTestSuite()
    {
        if (s_song)
            FreeSong(s_song);
        s_song = nullptr;
        SetFileCallbacks(nullptr, nullptr, nullptr, nullptr, nullptr);
    }
    static Song* s_song;
    static Render s_render;
};

Song* MusicPlayback::s_song = nullptr;
Render MusicPlayback::s_render;

}  // namespace

TEST_F(MusicPlayback, LoadsWithTheIntrosHeaderValues)
{
    ASSERT_NE(s_song, nullptr) << "the player refuses " << DataPath("music.xm");
    EXPECT_EQ(s_song->channelCount, 10);
    EXPECT_EQ(s_song->defaultTempo, 6);
    EXPECT_EQ(s_song->defaultBpm, 176);
    EXPECT_EQ(s_song->songFlags & 1, 1);
    EXPECT_EQ(s_song->songLength, SONG_LENGTH);
    EXPECT_EQ(s_song->restartPosition, BODY_POSITION);
    EXPECT_EQ(s_song->instrumentCount, 17);
}

TEST_F(MusicPlayback, ClipsAtMostAHandfulOfSamplesPerMinute)
{
    ASSERT_NE(s_song, nullptr);
    ASSERT_GT(s_render.samples, 0);
    const double minutes = double(s_render.samples) / 2.0 / 44100.0 / 60.0;
    EXPECT_LE(double(s_render.clippedSamples) / minutes, 5.0)
        << s_render.clippedSamples << " clipped samples, peak " << s_render.peak;
    // Loud enough to be music, with room to spare.
    EXPECT_GT(s_render.peak, 12000);
}

TEST_F(MusicPlayback, NeverFallsSilentOnceItHasStarted)
{
    ASSERT_NE(s_song, nullptr);
    ASSERT_GE(s_render.windowRms.size(), 30u);
    EXPECT_GT(s_render.windowRms[0], 0.01) << "the pads fade in within the first seconds";
    for (size_t w = 1; w < s_render.windowRms.size(); ++w)
        EXPECT_GT(s_render.windowRms[w], 0.05) << "window " << w << " (from " << 5 * w << " s)";
}

TEST_F(MusicPlayback, PlaysEveryPositionOnceThenLoopsBackIntoTheBody)
{
    ASSERT_NE(s_song, nullptr);
    std::vector<int> visited;
    for (int order : s_render.blockOrder) {
        if (visited.empty() || visited.back() != order)
            visited.push_back(order);
    }
    ASSERT_GT(visited.size(), size_t(SONG_LENGTH));
    for (int pos = 0; pos < SONG_LENGTH; ++pos)
        EXPECT_EQ(visited[size_t(pos)], pos);
    EXPECT_EQ(visited[size_t(SONG_LENGTH)], BODY_POSITION);
    for (size_t i = SONG_LENGTH; i < visited.size(); ++i)
        EXPECT_GE(visited[i], BODY_POSITION) << "the intro must not come back";
    // The first pass lasts about two minutes and a bit.
    size_t firstLoopBlock = 0;
    for (size_t b = 1; b < s_render.blockOrder.size(); ++b) {
        if (s_render.blockOrder[b] == BODY_POSITION && s_render.blockOrder[b - 1] == SONG_LENGTH - 1) {
            firstLoopBlock = b;
            break;
        }
    }
    const double loopSeconds = double(firstLoopBlock) * BlockFrames / 44100.0;
    EXPECT_NEAR(loopSeconds, 141.7, 1.0);
}
