#include "win/EmbeddedResources.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace {

const unsigned char MUSIC_BYTES[] = {1, 2, 3, 4, 5};
const unsigned char TEXT_BYTES[] = "technique T {}";

const EmbeddedResource TABLE[] = {
    {"MUSIC", 0, 103, MUSIC_BYTES, MUSIC_BYTES + sizeof MUSIC_BYTES},
    {nullptr, 10, 106, TEXT_BYTES, TEXT_BYTES + 14},
};

class ResourceLookup : public testing::Test {
protected:
    void SetUp() override { RegisterEmbeddedResources(TABLE, 2); }
    void TearDown() override { RegisterEmbeddedResources(nullptr, 0); }
};

}  // namespace

TEST_F(ResourceLookup, NumericIdInEveryForm)
{
    HRSRC music = FindResourceA(NULL, "#103", "MUSIC");
    ASSERT_NE(music, nullptr);
    EXPECT_EQ(FindResourceA(NULL, MAKEINTRESOURCEA(103), "MUSIC"), music);
    EXPECT_EQ(FindResourceA(GetModuleHandleA(NULL), "#103", "Music"), music);
    EXPECT_EQ(SizeofResource(NULL, music), 5u);
    EXPECT_EQ(LockResource(LoadResource(NULL, music)), MUSIC_BYTES);

    HRSRC text = FindResourceA(NULL, MAKEINTRESOURCEA(106), RT_RCDATA);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(FindResourceA(NULL, "#106", "#10"), text);
    EXPECT_EQ(SizeofResource(NULL, text), 14u);
}

TEST_F(ResourceLookup, TypesMustMatch)
{
    EXPECT_EQ(FindResourceA(NULL, "#103", RT_RCDATA), nullptr);
    EXPECT_EQ(FindResourceA(NULL, "#106", "MUSIC"), nullptr);
    EXPECT_EQ(FindResourceA(NULL, "#106", "RCDATA"), nullptr) << "a name, not the numeric type";
    EXPECT_EQ(FindResourceA(NULL, "#106", "#11"), nullptr);
}

TEST_F(ResourceLookup, MalformedNamesAndOtherModulesFindNothing)
{
    EXPECT_EQ(FindResourceA(NULL, "#", "MUSIC"), nullptr);
    EXPECT_EQ(FindResourceA(NULL, "#10x3", "MUSIC"), nullptr);
    EXPECT_EQ(FindResourceA(NULL, "#-103", "MUSIC"), nullptr);
    EXPECT_EQ(FindResourceA(NULL, "#65639", "MUSIC"), nullptr) << "103 + 65536 must not wrap onto 103";
    EXPECT_EQ(FindResourceA(NULL, "#99999999999999999999103", "MUSIC"), nullptr);
    EXPECT_EQ(FindResourceA(NULL, "MUSIC103", "MUSIC"), nullptr);
    EXPECT_EQ(FindResourceA(NULL, NULL, "MUSIC"), nullptr);
    EXPECT_EQ(FindResourceA(NULL, "#103", NULL), nullptr);
    int other = 0;
    EXPECT_EQ(FindResourceA(reinterpret_cast<HMODULE>(&other), "#103", "MUSIC"), nullptr);
}

TEST_F(ResourceLookup, ForeignHandlesAreRefused)
{
    int notAResource = 0;
    HRSRC fake = reinterpret_cast<HRSRC>(&notAResource);
    EXPECT_EQ(LoadResource(NULL, fake), nullptr);
    EXPECT_EQ(SizeofResource(NULL, fake), 0u);
    EXPECT_EQ(LoadResource(NULL, NULL), nullptr);
    EXPECT_EQ(SizeofResource(NULL, NULL), 0u);
}

TEST(ResourceLookupEmpty, NothingRegisteredFindsNothing)
{
    RegisterEmbeddedResources(nullptr, 5);
    EXPECT_EQ(FindResourceA(NULL, "#103", "MUSIC"), nullptr);
}
