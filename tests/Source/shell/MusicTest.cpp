#include "AudioOutput.h"
#include "DrivenWaveOut.h"
#include "MemoryFile.h"
#include "Music.h"
#include "Player.h"
#include "ResourceData.h"

#include <gtest/gtest.h>

// The intro's music glue, in the binary that embeds Data/Skelvane.rc.
TEST(Music, LoadsTheEmbeddedModuleThroughMemory)
{
    int size = 0;
    const unsigned char* module = static_cast<const unsigned char*>(LoadResourceData(103, "MUSIC", &size));
    ASSERT_NE(module, nullptr) << "the script lists MUSIC 103";
    ASSERT_GT(size, 80);

    MusicHandle* music = LoadMusic(103);
    ASSERT_NE(music, nullptr);
    ASSERT_NE(music->song, nullptr) << "the player accepts the embedded module";
    EXPECT_EQ(GetMusicData(), module) << "read in place, never copied";
    EXPECT_EQ(GetMusicSize(), size);
    EXPECT_TRUE(FileCallbacksRegistered()) << "the memory callbacks stay registered";
    // Song length: the 16-bit field at offset 64 of the XM header.
    EXPECT_EQ(music->song->songLength, module[64] | module[65] << 8);

    InstallDrivenWaveOut();
    EXPECT_TRUE(StartMusic(music));
    EXPECT_EQ(PlayRing.currentSong, music->song);
    EXPECT_TRUE(StopPlayback(music->song));
    EXPECT_TRUE(FreeSong(music->song));
    delete music;
    RemoveDrivenWaveOut();
}

TEST(Music, StartFailsWithoutSongOrDevice)
{
    EXPECT_FALSE(StartMusic(nullptr));
    MusicHandle empty = {nullptr};
    EXPECT_FALSE(StartMusic(&empty));

    MusicHandle* music = LoadMusic(103);
    ASSERT_NE(music, nullptr);
    ASSERT_NE(music->song, nullptr);
    DrivenWaveOut& device = InstallDrivenWaveOut();
    device.failOpen = true;
    EXPECT_FALSE(StartMusic(music)) << "no audio device: the intro runs silent";
    EXPECT_EQ(PlayRing.pcmRing, nullptr);
    RemoveDrivenWaveOut();
    FreeSong(music->song);
    delete music;
}

TEST(Music, UnknownResourceGivesAHandleWithoutSong)
{
    MusicHandle* music = LoadMusic(104);
    ASSERT_NE(music, nullptr);
    EXPECT_EQ(music->song, nullptr);
    EXPECT_EQ(GetMusicData(), nullptr);
    EXPECT_EQ(GetMusicSize(), 0);
    EXPECT_FALSE(StartMusic(music));
    delete music;
}
