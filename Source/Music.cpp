#include "Music.h"

#include "AudioOutput.h"
#include "MemoryFile.h"
#include "Player.h"
#include "ResourceData.h"

#include <new>

MusicHandle* LoadMusic(int resourceId)
{
    MusicHandle* handle = new (std::nothrow) MusicHandle;
    if (!handle)
        return nullptr;
    handle->song = nullptr;

    int size = 0;
    const void* data = LoadResourceData(resourceId, "MUSIC", &size);
    SetMusicData(data, data ? size : 0);
    SetFileCallbacks(&MemoryFileOpen, &MemoryFileClose, &MemoryFileRead, &MemoryFileSeek,
                     &MemoryFileTell);
    handle->song = LoadSong("", nullptr);
    return handle;
}

bool StartMusic(MusicHandle* handle)
{
    if (!handle || !handle->song)
        return false;
    return StartPlayback(handle->song);
}
