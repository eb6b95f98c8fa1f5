#include "MemoryFile.h"

#include <cstdlib>
#include <cstring>

namespace {

const unsigned char* s_pMusicData = nullptr;
int32_t s_musicSize = 0;
MemoryFileAllocator s_allocate = &std::calloc;

}  // namespace

void SetMusicData(const void* data, int32_t size)
{
    s_pMusicData = static_cast<const unsigned char*>(data);
    s_musicSize = data && size > 0 ? size : 0;
}

const void* GetMusicData()
{
    return s_pMusicData;
}

int32_t GetMusicSize()
{
    return s_musicSize;
}

void SetMemoryFileAllocator(MemoryFileAllocator allocate)
{
    s_allocate = allocate ? allocate : &std::calloc;
}

void* MemoryFileOpen(const char*)
{
    MemoryFile* file = static_cast<MemoryFile*>(s_allocate(1, sizeof(MemoryFile)));
    if (!file)
        return nullptr;
    file->size = s_musicSize;
    file->position = 0;
    file->data = s_pMusicData;
    return file;
}

void MemoryFileClose(void* handle)
{
    std::free(handle);
}

int MemoryFileRead(void* destination, int byteCount, void* handle)
{
    MemoryFile* file = static_cast<MemoryFile*>(handle);
    if (!file || !destination || byteCount <= 0)
        return 0;
    // 64-bit, so a huge count cannot overflow the end test.
    int64_t count = byteCount;
    if (static_cast<int64_t>(file->position) + count >= file->size)
        count = file->size - file->position;
    if (count <= 0)
        return 0;
    std::memcpy(destination, file->data + file->position, static_cast<size_t>(count));
    file->position += static_cast<int32_t>(count);
    return static_cast<int>(count);
}

void MemoryFileSeek(void* handle, int offset, int origin)
{
    MemoryFile* file = static_cast<MemoryFile*>(handle);
    if (!file)
        return;
    int64_t position = file->position;
    switch (origin & 0xFF) {
    case 0: position = offset; break;
    case 1: position = static_cast<int64_t>(file->position) + offset; break;
    case 2: position = static_cast<int64_t>(file->size) + offset; break;
    default: break;
    }
    // Kept inside the data: past the end stops at the end, before the start at 0.
    if (position > file->size)
        position = file->size;
    if (position < 0)
        position = 0;
    file->position = static_cast<int32_t>(position);
}

int MemoryFileTell(void* handle)
{
    const MemoryFile* file = static_cast<const MemoryFile*>(handle);
    return file ? file->position : 0;
}
