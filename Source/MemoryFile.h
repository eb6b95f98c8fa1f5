#pragma once

#include <cstddef>
#include <cstdint>

// FileCallbacks that read the embedded music from memory instead of from a file.
// Every open gets its own position over the same bytes, which are never copied.

struct MemoryFile {
    int32_t size;
    int32_t position;
    const unsigned char* data;
};

// The module the callbacks read: set by LoadMusic from the MUSIC resource. Null data
// (or size 0) is an empty file.
void SetMusicData(const void* data, int32_t size);
const void* GetMusicData();
int32_t GetMusicSize();

// The five callbacks, in the argument orders the loader expects.
void* MemoryFileOpen(const char* name);  // name is ignored; null when out of memory
void MemoryFileClose(void* handle);
int MemoryFileRead(void* destination, int byteCount, void* handle);  // bytes copied
void MemoryFileSeek(void* handle, int offset,
                    int origin);  // origin (low byte) 0 start, 1 current, 2 end
int MemoryFileTell(void* handle);

// Where open gets its MemoryFile from (zero-filled, like calloc). Tests put a
// failing allocator here; null restores calloc.
typedef void* (*MemoryFileAllocator)(size_t count, size_t size);
void SetMemoryFileAllocator(MemoryFileAllocator allocate);
