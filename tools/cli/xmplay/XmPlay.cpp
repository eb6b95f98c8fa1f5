// xmplay INPUT.xm [--loop] [--seconds S]
//
// Plays an XM module on the default audio device with the player's audio output
// and shows one status line, about ten times a second, with what is audible now
// and the song's length. Plays the song once, up to where it comes back to a row
// it has played (a song that never does stops after 30:00); --loop plays on
// until Enter or Ctrl-C. Enter, Ctrl-C or S seconds end it early. Exit status:
// 0 after playing, 1 for bad arguments or a file that cannot be played, 2 when
// there is no audio device.
#include "AudioOutput.h"
#include "FileInput.h"
#include "Player.h"
#include "ProgramInfo.h"
#include "StatusLine.h"

#include <atomic>
#include <chrono>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

namespace {

const int STATUS_INTERVAL_MS = 100;
const int END_POLL_MS = 5;
const int BAR_WIDTH = 24;
const int64_t SONG_LIMIT_SECONDS = 30 * 60;

volatile std::sig_atomic_t s_interrupted = 0;
std::atomic<bool> s_enterPressed{false};

void OnInterrupt(int)
{
    s_interrupted = 1;
}

// Blocks on standard input; Enter ends the play. At the end of the input (not a
// terminal, or closed) it simply stops listening.
void WatchForEnter()
{
    int c;
    while ((c = std::fgetc(stdin)) != EOF) {
        if (c == '\n') {
            s_enterPressed = true;
            return;
        }
    }
}

const char* const USAGE =
    "Usage: xmplay INPUT.xm [--loop] [--seconds S]\n"
    "Plays the song once on the default audio device, up to where it comes back to\n"
    "a row it has played, showing the time against the song's length. Enter or\n"
    "Ctrl-C ends it early.\n"
    "\n"
    "  --loop       plays on until Enter or Ctrl-C\n"
    "  --seconds S  stops after S seconds\n";

int Usage()
{
    PrintUsage(USAGE, stderr);
    return 1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (AnswerVersionOrHelp(argc, argv, "xmplay", USAGE, stdout))
        return 0;
    const char* path = nullptr;
    double seconds = -1.0;
    bool loop = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--loop") == 0) {
            loop = true;
        } else if (std::strcmp(argv[i], "--seconds") == 0 && i + 1 < argc) {
            char* end = nullptr;
            seconds = std::strtod(argv[++i], &end);
            if (!end || *end || !(seconds >= 0.0))
                return Usage();
        } else if (!path && argv[i][0] != '-') {
            path = argv[i];
        } else {
            return Usage();
        }
    }
    if (!path)
        return Usage();

    FILE* probe = std::fopen(path, "rb");
    if (!probe) {
        std::fprintf(stderr, "%s: cannot open: %s\n", path, std::strerror(errno));
        return 1;
    }
    std::fclose(probe);

    UseFileInput();
    Song* song = LoadSong(path, nullptr);
    if (!song) {
        std::fprintf(stderr, "%s: not an XM module this player can play\n", path);
        return 1;
    }
    std::string name = ReadXmModuleName(path);
    if (song->fileEndsEarly)  // it plays what the file holds; the status line says so
        name += song->instrumentsMissing > 0
                    ? " (file ends early: " + std::to_string(song->instrumentsMissing) + " instruments missing)"
                    : std::string(" (file ends early)");
    // Measured before playback starts: the pass uses the player's tables.
    const SongLength length = FindSongLength(song, 0, SONG_LIMIT_SECONDS * MixRate);
    const int songMs = static_cast<int>(length.frames * 1000 / MixRate);

    if (!StartPlayback(song)) {
        std::fprintf(stderr, "no audio device\n");
        FreeSong(song);
        return 2;
    }

    std::signal(SIGINT, &OnInterrupt);
    std::thread(&WatchForEnter).detach();

    const auto start = std::chrono::steady_clock::now();
    size_t lastLength = 0;
    while (!s_interrupted && !s_enterPressed) {
        const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (seconds >= 0.0 && elapsed >= seconds)
            break;
        BlockPosition position;
        int sleepMs = STATUS_INTERVAL_MS;
        if (GetAudiblePosition(&position)) {
            const int playTimeMs = position.playTimeMs;  // the block's end
            if (!loop && playTimeMs >= songMs)
                break;
            std::string line = FormatStatusLine(name, position.orderPos, song->songLength, position.row, playTimeMs,
                                                songMs, BAR_WIDTH);
            const size_t lineLength = line.size();
            if (lineLength < lastLength)
                line.append(lastLength - lineLength, ' ');
            lastLength = lineLength;
            std::printf("\r%s", line.c_str());
            std::fflush(stdout);
            // Close to the end, look more often, so that the next pass is not heard.
            if (!loop && songMs - playTimeMs < sleepMs)
                sleepMs = END_POLL_MS;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(sleepMs));
    }

    StopPlayback(song);
    FreeSong(song);
    std::printf("\n");
    return 0;
}
