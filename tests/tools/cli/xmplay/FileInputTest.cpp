#include "FileInput.h"
#include "Player.h"
#include "XmWriter.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

std::string WriteTempFile(const std::string& name, const std::string& bytes)
{
    const std::string path = testing::TempDir() + name;
    FILE* file = std::fopen(path.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
    return path;
}

}  // namespace

TEST(FileInput, ReadsSeeksAndTells)
{
    const std::string path = WriteTempFile("fileinput.bin", "0123456789");
    void* file = FileInputOpen(path.c_str());
    ASSERT_NE(file, nullptr);
    char buffer[16] = {};
    EXPECT_EQ(FileInputRead(buffer, 4, file), 4);
    EXPECT_EQ(std::string(buffer, 4), "0123");
    EXPECT_EQ(FileInputTell(file), 4);
    FileInputSeek(file, 2, 1);
    EXPECT_EQ(FileInputTell(file), 6);
    FileInputSeek(file, -3, 2);
    EXPECT_EQ(FileInputRead(buffer, 16, file), 3) << "a read across the end returns what is left";
    EXPECT_EQ(std::string(buffer, 3), "789");
    FileInputSeek(file, 1, 256);  // only the low byte of the origin counts
    EXPECT_EQ(FileInputTell(file), 1);
    FileInputSeek(file, 5, 3);
    EXPECT_EQ(FileInputTell(file), 1);
    EXPECT_EQ(FileInputRead(buffer, -1, file), 0);
    FileInputClose(file);
    std::remove(path.c_str());

    EXPECT_EQ(FileInputOpen((testing::TempDir() + "no-such-file.xm").c_str()), nullptr);
    EXPECT_EQ(FileInputOpen(nullptr), nullptr);
}

TEST(FileInput, ModuleNameFromTheHeader)
{
    std::string header = "Extended Module: ";
    header += std::string("Tune\x01 name") + std::string(10, ' ');
    header += "\x1A";
    const std::string path = WriteTempFile("name.xm", header);
    EXPECT_EQ(ReadXmModuleName(path.c_str()), "Tune? name");
    std::remove(path.c_str());

    const std::string shortFile = WriteTempFile("short.xm", "Extended Module: ab");
    EXPECT_EQ(ReadXmModuleName(shortFile.c_str()), "");
    std::remove(shortFile.c_str());
}

TEST(FileInput, LoadsAModuleForThePlayer)
{
    XmModule module = MakeXmModule(2);
    module.name = "file input";
    AddXmPattern(module, 8);
    module.orders = {0, 0, 0};
    const std::string path = testing::TempDir() + "fileinput.xm";
    ASSERT_TRUE(WriteXmFile(module, path.c_str()));

    UseFileInput();
    Song* song = LoadSong(path.c_str(), nullptr);
    ASSERT_NE(song, nullptr);
    EXPECT_EQ(song->songLength, 3);
    EXPECT_TRUE(FreeSong(song));
    EXPECT_EQ(ReadXmModuleName(path.c_str()), "file input");
    std::remove(path.c_str());

    EXPECT_EQ(LoadSong((testing::TempDir() + "missing.xm").c_str(), nullptr), nullptr);
    const std::string notXm = WriteTempFile("not.xm", "This is no module at all, just some text.");
    EXPECT_EQ(LoadSong(notXm.c_str(), nullptr), nullptr);
    std::remove(notXm.c_str());
}
