#pragma once

struct Song;

// The intro's music: the embedded MUSIC module, loaded through memory-backed
// FileCallbacks and played by the player's audio output.
struct MusicHandle {
    Song* song;  // null when the module could not be loaded
};

// Loads the MUSIC resource with this id. Registers the memory callbacks (they stay
// registered for the life of the process). The handle lives for the whole run; its
// song is null when the resource is missing or not a module the player accepts.
// Null only when the handle itself cannot be allocated.
MusicHandle* LoadMusic(int resourceId);

// Starts playback of the handle's song; false for a null handle or song, or when
// the output cannot start (no audio device): the intro then runs silent.
bool StartMusic(MusicHandle* handle);
