// allocator_probe [tuned]: runs a few frames of the rasteriser's allocation pattern
// in a fresh process, with or without KeepFreedMemoryForReuse, and exits 0 when the
// heap kept its freed memory every frame, 1 when some frame gave it back.
#include "heap/AllocatorTuning.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const int BLOCKS = 120;

// Many blocks of up to a hundred kilobytes alive together, filled, then all freed,
// leaving megabytes free at the top of the heap. True when the program break is
// where it was with the blocks alive.
bool FrameKeepsItsMemory()
{
    void* blocks[BLOCKS] = {};
    for (int i = 0; i < BLOCKS; ++i) {
        const size_t size = (40u + static_cast<size_t>(i % 7) * 10u) << 10;
        blocks[i] = std::malloc(size);
        if (!blocks[i])
            return false;
        std::memset(blocks[i], 0x5A, size);
    }
    void* const withBlocks = sbrk(0);
    for (void* block : blocks)
        std::free(block);
    return sbrk(0) == withBlocks;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && std::strcmp(argv[1], "tuned") == 0)
        KeepFreedMemoryForReuse();
    bool kept = true;
    for (int frame = 0; frame < 4; ++frame)
        kept = FrameKeepsItsMemory() && kept;
    std::printf("%s\n", kept ? "kept" : "given back");
    return kept ? 0 : 1;
}
