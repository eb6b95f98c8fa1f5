#include "EmbeddedResource.h"

#include "ResourceData.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

void ExpectEmbedded(const ScriptedResource& resource)
{
    SCOPED_TRACE(resource.path);
    std::vector<unsigned char> expected;
    ASSERT_TRUE(ReadWholeFile(resource.path, expected));
    const char* type = resource.type == "RCDATA" ? RT_RCDATA : resource.type.c_str();
    int size = -1;
    const void* data = LoadResourceData(resource.id, type, &size);
    ASSERT_NE(data, nullptr);
    ASSERT_EQ(size, static_cast<int>(expected.size()));
    EXPECT_EQ(std::memcmp(data, expected.data(), expected.size()), 0);
}
