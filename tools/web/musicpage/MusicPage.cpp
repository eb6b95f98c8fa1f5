// The intro's music in a page, played as the browser intro plays it: loaded from
// memory through the intro's memory file callbacks, started with StartPlayback on
// the system's wave-out (Web Audio in the browser) and kept going by the page, which
// runs the service step every animation frame and on a timer.

#include "AudioOutput.h"
#include "MemoryFile.h"
#include "Player.h"

#include <emscripten/emscripten.h>

#include <cstdio>
#include <vector>

namespace {

std::vector<unsigned char> s_module;
Song* s_song = nullptr;

bool ReadModule(const char* path)
{
    FILE* file = std::fopen(path, "rb");
    if (!file)
        return false;
    unsigned char buffer[4096];
    size_t count;
    while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        s_module.insert(s_module.end(), buffer, buffer + count);
    std::fclose(file);
    return !s_module.empty();
}

}  // namespace

// Loads the embedded module once and starts it from the beginning. Call it from a
// click (or with autoplay allowed): the sound may only start there. 1 when it plays.
extern "C" EMSCRIPTEN_KEEPALIVE int skv_music_start()
{
    if (!s_song) {
        if (s_module.empty() && !ReadModule("/music.xm"))
            return 0;
        SetMusicData(s_module.data(), static_cast<int32_t>(s_module.size()));
        SetFileCallbacks(&MemoryFileOpen, &MemoryFileClose, &MemoryFileRead, &MemoryFileSeek, &MemoryFileTell);
        s_song = LoadSong("", nullptr);
    }
    return s_song && StartPlayback(s_song) ? 1 : 0;
}

extern "C" EMSCRIPTEN_KEEPALIVE void skv_music_service()
{
    ServiceAudioOutput();
}

// The song time of what is audible now, in milliseconds; -1 while nothing plays.
extern "C" EMSCRIPTEN_KEEPALIVE int skv_music_time_ms()
{
    BlockPosition position;
    return GetAudiblePosition(&position) ? position.playTimeMs : -1;
}

extern "C" EMSCRIPTEN_KEEPALIVE void skv_music_stop()
{
    StopPlayback(s_song);
}
