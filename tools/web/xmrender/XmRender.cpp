// The player in WebAssembly: renders a module handed over in memory to 16-bit
// stereo PCM with the offline render xm2wav uses, for JavaScript in node or a
// page. The module is read through the intro's own memory-backed callbacks.

#include "MemoryFile.h"
#include "Player.h"

#include <emscripten/emscripten.h>

#include <cstdint>

// Renders the first `frames` frames of the module's song from play start into
// pcm (2 x frames values, left first). 1 on success; 0, with pcm untouched, when
// the player refuses the module or memory runs out.
extern "C" EMSCRIPTEN_KEEPALIVE int skv_render_module(const uint8_t* module, int32_t size, int16_t* pcm, int32_t frames)
{
    if (!module || size <= 0 || frames < 0 || (!pcm && frames > 0))
        return 0;
    SetMusicData(module, size);
    SetFileCallbacks(&MemoryFileOpen, &MemoryFileClose, &MemoryFileRead, &MemoryFileSeek, &MemoryFileTell);
    Song* song = LoadSong("", nullptr);
    const bool rendered = song && RenderSong(song, pcm, frames);
    FreeSong(song);
    SetMusicData(nullptr, 0);
    return rendered ? 1 : 0;
}
