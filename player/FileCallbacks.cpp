#include "FileCallbacks.h"

namespace {

FileCallbacks s_callbacks = {nullptr, nullptr, nullptr, nullptr, nullptr};

}  // namespace

void SetFileCallbacks(FileOpenFunc open, FileCloseFunc close, FileReadFunc read, FileSeekFunc seek,
                      FileTellFunc tell)
{
    if (open && close && read && seek && tell)
        s_callbacks = {open, close, read, seek, tell};
    else
        s_callbacks = {nullptr, nullptr, nullptr, nullptr, nullptr};
}

bool FileCallbacksRegistered()
{
    return s_callbacks.open && s_callbacks.close && s_callbacks.read && s_callbacks.seek &&
           s_callbacks.tell;
}

const FileCallbacks& RegisteredFileCallbacks()
{
    return s_callbacks;
}
