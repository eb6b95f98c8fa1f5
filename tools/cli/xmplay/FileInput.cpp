#include "FileInput.h"

#include "FileCallbacks.h"

#include <cstdio>

void* FileInputOpen(const char* name)
{
    return name ? std::fopen(name, "rb") : nullptr;
}

void FileInputClose(void* handle)
{
    if (handle)
        std::fclose(static_cast<FILE*>(handle));
}

int FileInputRead(void* destination, int byteCount, void* handle)
{
    if (!handle || !destination || byteCount <= 0)
        return 0;
    return static_cast<int>(std::fread(destination, 1, static_cast<size_t>(byteCount), static_cast<FILE*>(handle)));
}

void FileInputSeek(void* handle, int offset, int origin)
{
    if (!handle)
        return;
    switch (origin & 0xFF) {
    case 0: std::fseek(static_cast<FILE*>(handle), offset, SEEK_SET); break;
    case 1: std::fseek(static_cast<FILE*>(handle), offset, SEEK_CUR); break;
    case 2: std::fseek(static_cast<FILE*>(handle), offset, SEEK_END); break;
    default: break;
    }
}

int FileInputTell(void* handle)
{
    return handle ? static_cast<int>(std::ftell(static_cast<FILE*>(handle))) : 0;
}

void UseFileInput()
{
    SetFileCallbacks(&FileInputOpen, &FileInputClose, &FileInputRead, &FileInputSeek, &FileInputTell);
}

std::string ReadXmModuleName(const char* path)
{
    const long NAME_OFFSET = 17;
    const size_t NAME_LENGTH = 20;
    std::string name;
    FILE* file = path ? std::fopen(path, "rb") : nullptr;
    if (!file)
        return name;
    char bytes[NAME_LENGTH];
    if (std::fseek(file, NAME_OFFSET, SEEK_SET) == 0 && std::fread(bytes, 1, NAME_LENGTH, file) == NAME_LENGTH) {
        name.assign(bytes, NAME_LENGTH);
        const size_t end = name.find('\0');
        if (end != std::string::npos)
            name.erase(end);
        while (!name.empty() && name.back() == ' ')
            name.pop_back();
        // Control characters would wreck the status line.
        for (char& c : name)
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
                c = '?';
    }
    std::fclose(file);
    return name;
}
