#pragma once

// The five input functions through which the XM loader reads a module. The
// host registers them once; they stay in force for the life of the process.
// Note the argument orders: read takes the handle last, seek and tell first.
// read returns the number of bytes it delivered; the loader takes fewer than
// asked for as the end of the input.
typedef void* (*FileOpenFunc)(const char* name);
typedef void (*FileCloseFunc)(void* handle);
typedef int (*FileReadFunc)(void* destination, int byteCount, void* handle);
typedef void (*FileSeekFunc)(void* handle, int offset, int origin);
typedef int (*FileTellFunc)(void* handle);

struct FileCallbacks {
    FileOpenFunc open;
    FileCloseFunc close;
    FileReadFunc read;
    FileSeekFunc seek;
    FileTellFunc tell;
};

// All five non-null: they become the registered set. Any null: all are cleared.
void SetFileCallbacks(FileOpenFunc open, FileCloseFunc close, FileReadFunc read, FileSeekFunc seek,
                      FileTellFunc tell);

// True when all five are registered.
bool FileCallbacksRegistered();
const FileCallbacks& RegisteredFileCallbacks();
