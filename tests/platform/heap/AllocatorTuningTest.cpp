#include <gtest/gtest.h>

#include <cstdio>
#include <string>

// The allocator tuning in a process of its own: what a heap does with freed memory
// depends on everything the process allocated before.
namespace {

std::string RunProbe(const char* argument)
{
    const std::string command = std::string(SKV_ALLOCATOR_PROBE) + " " + argument;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return "not run";
    char line[64] = {};
    const bool read = std::fgets(line, sizeof line, pipe) != nullptr;
    pclose(pipe);
    std::string text = read ? line : "";
    while (!text.empty() && text.back() == '\n')
        text.pop_back();
    return text;
}

}  // namespace

TEST(AllocatorTuning, FreedBlocksStayForTheNextFrame)
{
    // Without the tuning the C library gives the megabytes back after every frame,
    // and the next frame faults them in, zeroed, again.
    EXPECT_EQ(RunProbe("plain"), "given back") << "the probe must see the problem it guards against";
    EXPECT_EQ(RunProbe("tuned"), "kept");
}
