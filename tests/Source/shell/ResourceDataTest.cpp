#include "EmbeddedResource.h"
#include "ResourceData.h"
#include "ResourceScript.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

// This binary embeds data/ShellTest.rc, the same way the intro embeds Data/Skelvane.rc.
TEST(ResourceData, FindsEveryResourceOfTheScriptWithItsBytes)
{
    std::vector<ScriptedResource> resources;
    ASSERT_TRUE(ReadResourceScript(SKV_TEST_RESOURCE_SCRIPT, resources));
    ASSERT_EQ(resources.size(), 3u);
    for (const ScriptedResource& resource : resources)
        ExpectEmbedded(resource);
}

TEST(ResourceData, KnownResources)
{
    int size = 0;
    const char* greeting = static_cast<const char*>(LoadResourceData(101, RT_RCDATA, &size));
    ASSERT_NE(greeting, nullptr);
    EXPECT_EQ(std::string(greeting, static_cast<size_t>(size)), "Hello from the resource table.\n");

    const unsigned char* tune = static_cast<const unsigned char*>(LoadResourceData(7, "MUSIC", &size));
    ASSERT_NE(tune, nullptr);
    ASSERT_EQ(size, 768);
    for (int i = 0; i < size; ++i)
        ASSERT_EQ(tune[i], i % 256) << i;

    // Type names are not case-sensitive; the script may write them in any case.
    EXPECT_EQ(LoadResourceData(7, "music", nullptr), tune);
    size = -1;
    EXPECT_NE(LoadResourceData(200, "SHADER", &size), nullptr);
    EXPECT_EQ(size, 36);
}

TEST(ResourceData, NullSizePointerStillGivesTheData)
{
    int size = 0;
    const void* withSize = LoadResourceData(101, RT_RCDATA, &size);
    EXPECT_NE(withSize, nullptr);
    EXPECT_EQ(LoadResourceData(101, RT_RCDATA, nullptr), withSize);
}

TEST(ResourceData, UnknownIdOrTypeGivesNullAndLeavesTheSize)
{
    int size = 1234;
    EXPECT_EQ(LoadResourceData(102, RT_RCDATA, &size), nullptr);
    EXPECT_EQ(LoadResourceData(-1, RT_RCDATA, &size), nullptr);
    EXPECT_EQ(LoadResourceData(101, "MUSIC", &size), nullptr) << "right id, wrong type";
    EXPECT_EQ(LoadResourceData(7, RT_RCDATA, &size), nullptr);
    EXPECT_EQ(LoadResourceData(7 + 65536, "MUSIC", &size), nullptr);
    EXPECT_EQ(size, 1234);
}

TEST(ResourceData, WindowsLookupForms)
{
    // What the graphics loaders pass: module null, MAKEINTRESOURCE(id), RT_RCDATA.
    HRSRC byNumber = FindResourceA(NULL, MAKEINTRESOURCEA(101), RT_RCDATA);
    ASSERT_NE(byNumber, nullptr);
    EXPECT_EQ(SizeofResource(NULL, byNumber), 31u);
    EXPECT_EQ(FindResourceA(GetModuleHandleA(NULL), "#101", MAKEINTRESOURCEA(10)) != nullptr, true);
    EXPECT_EQ(FindResourceA(NULL, "#101", "#10") != nullptr, true);
    HGLOBAL loaded = LoadResource(NULL, byNumber);
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(std::memcmp(LockResource(loaded), "Hello", 5), 0);
}
