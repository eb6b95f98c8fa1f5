#pragma once

// Reads an XM module through the registered FileCallbacks into a Song.

#include "FileCallbacks.h"
#include "Song.h"

// The loader's open input for the duration of one load.
struct SongInput {
    void* handle;
    // The input has ended: a read came up short or a position left it. What
    // follows is missing from the file.
    bool failed;
};

// A new Song from the input the open callback gives for name, or null: no
// callbacks registered, the input cannot be opened, it is not an XM module
// this player can play, or memory ran out. Nothing is left allocated on failure.
// A file that ends after its main header loads what it holds whole: patterns
// and rows, instruments, sample frames; the rest is empty.
Song* LoadSong(const char* name, SampleDataCallback sampleDataCallback);

// Fills the Song from the input; false when the module is refused. What it
// built stays in the Song for the caller to free.
bool ParseXm(Song* song, SongInput* input);
