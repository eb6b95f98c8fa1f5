#include "EmbeddedResource.h"
#include "ResourceData.h"
#include "ResourceScript.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

// Every resource Data/Skelvane.rc lists is found by LoadResourceData with the size
// and bytes of its file; ids the script does not list are not found.
TEST(IntroResources, EveryListedResourceIsEmbedded)
{
    std::vector<ScriptedResource> resources;
    ASSERT_TRUE(ReadResourceScript(SKV_INTRO_RESOURCE_SCRIPT, resources));
    if (resources.empty())
        GTEST_SKIP() << "the script lists no resources yet";
    for (const ScriptedResource& resource : resources)
        ExpectEmbedded(resource);
}

TEST(IntroResources, UnlistedIdsAreNotFound)
{
    std::vector<ScriptedResource> resources;
    ASSERT_TRUE(ReadResourceScript(SKV_INTRO_RESOURCE_SCRIPT, resources));
    for (int id = 0; id < 1000; ++id) {
        bool listed = false;
        for (const ScriptedResource& resource : resources)
            listed = listed || (resource.id == id && resource.type == "RCDATA");
        if (!listed) {
            EXPECT_EQ(LoadResourceData(id, RT_RCDATA, nullptr), nullptr) << id;
        }
    }
    int size = 77;
    EXPECT_EQ(LoadResourceData(9999, "MUSIC", &size), nullptr);
    EXPECT_EQ(size, 77);
}
