// libFuzzer entry point for the XM loader: every input must load or be
// refused without a fault, and every input that loads must play a few ticks
// without one. Built by the fuzz_load target with clang:
//
//     cmake --build build/linux --target fuzz_load
//     mkdir -p build/fuzz-corpus
//     build/linux/tools/bin/fuzz_load build/fuzz-corpus SEED_FOLDER -max_total_time=600

#include "BlockFill.h"
#include "FileCallbacks.h"
#include "PlayState.h"
#include "XmLoader.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {

const uint8_t* s_data = nullptr;
size_t s_size = 0;

struct Cursor {
    size_t position;
};

void* Open(const char*)
{
    return new Cursor{0};
}

void Close(void* handle)
{
    delete static_cast<Cursor*>(handle);
}

int Read(void* destination, int byteCount, void* handle)
{
    Cursor* cursor = static_cast<Cursor*>(handle);
    if (byteCount <= 0 || cursor->position >= s_size)
        return 0;
    size_t count = s_size - cursor->position;
    if (count > size_t(byteCount))
        count = size_t(byteCount);
    std::memcpy(destination, s_data + cursor->position, count);
    cursor->position += count;
    return int(count);
}

void Seek(void* handle, int offset, int origin)
{
    Cursor* cursor = static_cast<Cursor*>(handle);
    const long long target = (origin == 1 ? (long long)cursor->position : 0) + offset;
    if (target >= 0)
        cursor->position = size_t(target);
}

int Tell(void* handle)
{
    return int(static_cast<Cursor*>(handle)->position);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    s_data = data;
    s_size = size;
    SetFileCallbacks(Open, Close, Read, Seek, Tell);
    Song* song = LoadSong("", nullptr);
    if (song) {
        ResetPlayState(song);
        if (OpenBlockRing(song))
            for (int block = 0; block < 6; ++block)
                FillBlock();
        FreeSong(song);
    }
    return 0;
}
