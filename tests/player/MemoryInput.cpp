#include "MemoryInput.h"

#include "FileCallbacks.h"
#include "XmLoader.h"

#include <cstdio>
#include <cstring>

namespace {

struct Cursor {
    int64_t position;
};

std::vector<uint8_t> s_bytes;
int64_t s_bytesRead = 0;
int s_opens = 0;
int s_closes = 0;

void* Open(const char* name)
{
    ++s_opens;
    if (name && std::strcmp(name, "missing") == 0)
        return nullptr;
    return new Cursor{0};
}

void Close(void* handle)
{
    ++s_closes;
    delete static_cast<Cursor*>(handle);
}

// Like fread: delivers what is left, possibly fewer bytes than asked for.
int Read(void* destination, int byteCount, void* handle)
{
    Cursor* cursor = static_cast<Cursor*>(handle);
    if (byteCount <= 0 || cursor->position >= int64_t(s_bytes.size()))
        return 0;
    int64_t count = int64_t(s_bytes.size()) - cursor->position;
    if (count > byteCount)
        count = byteCount;
    std::memcpy(destination, s_bytes.data() + cursor->position, size_t(count));
    cursor->position += count;
    s_bytesRead += count;
    return int(count);
}

// Like fseek: positions beyond the end are allowed, reads there deliver nothing.
void Seek(void* handle, int offset, int origin)
{
    Cursor* cursor = static_cast<Cursor*>(handle);
    const int64_t target = (origin == 1 ? cursor->position : 0) + offset;
    if (target >= 0)
        cursor->position = target;
}

int Tell(void* handle)
{
    return int(static_cast<Cursor*>(handle)->position);
}

}  // namespace

void UseMemoryInput(const std::vector<uint8_t>& bytes)
{
    s_bytes = bytes;
    s_bytesRead = 0;
    s_opens = 0;
    s_closes = 0;
    SetFileCallbacks(Open, Close, Read, Seek, Tell);
}

void ClearInput()
{
    SetFileCallbacks(nullptr, nullptr, nullptr, nullptr, nullptr);
}

Song* LoadFromBytes(const std::vector<uint8_t>& bytes, SampleDataCallback callback)
{
    UseMemoryInput(bytes);
    return LoadSong("", callback);
}

int64_t BytesReadSoFar()
{
    return s_bytesRead;
}

int OpensSoFar()
{
    return s_opens;
}

int ClosesSoFar()
{
    return s_closes;
}

std::vector<uint8_t> ReadWholeFile(const std::string& path)
{
    std::vector<uint8_t> bytes;
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return bytes;
    uint8_t buffer[65536];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof(buffer), file)) > 0)
        bytes.insert(bytes.end(), buffer, buffer + got);
    std::fclose(file);
    return bytes;
}
