#include "Xm2Wav.h"

#include "FileCallbacks.h"
#include "Mixer.h"
#include "OfflineRender.h"
#include "ProgramInfo.h"
#include "Sequencer.h"
#include "SongLength.h"
#include "Terminal.h"
#include "XmLoader.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>

#include <sys/stat.h>
#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#endif

namespace {

const int BENCH_RUNS = 5;
// A song that never comes back to a row it has played stops here.
const int64_t SONG_LIMIT_SECONDS = 30 * 60;
const double MAX_SECONDS = 6 * 3600.0;
const int32_t MAX_LOOPS = 10000;
// Frames rendered and written at a time: 16 blocks, 56 KB of PCM.
const int32_t CHUNK_FRAMES = 16 * BlockFrames;
const double PROGRESS_AFTER_SECONDS = 1.0;
const double PROGRESS_INTERVAL_SECONDS = 0.1;

const char* const USAGE =
    "Usage: xm2wav IN.xm OUT.wav [--seconds S] [--loops N] [--rows ROWS.csv] [--bench]\n"
    "Renders the song once: up to where it comes back to a row it has played\n"
    "(a song that never does stops after 30:00). OUT.wav may be - for standard output.\n"
    "\n"
    "  --seconds S  exactly S seconds (at most 21600), whatever the song does\n"
    "  --loops N    the song and then N more passes from the row it loops back to\n"
    "  --rows F     a CSV file with the frame, order, pattern and row of every row start\n"
    "  --bench      renders 5 more times without writing and prints the mixing speed\n";

// The row log's file while a render with --rows runs, and the frames rendered.
FILE* s_rows = nullptr;
int64_t s_rowsBefore = 0;
bool s_rowsWritten = true;

void RowLoggingTick(Song* song)
{
    const bool rowTick = song->tick == 0;
    const int64_t frame = int64_t(song->mixedFrames);
    SongTick(song);
    if (rowTick && s_rows && frame < s_rowsBefore)
        s_rowsWritten = s_rowsWritten && std::fprintf(s_rows, "%lld,%d,%d,%d\n", (long long)frame, song->orderPos,
                                                      song->orderTable[song->orderPos], song->row) > 0;
}

void* OpenFile(const char* name)
{
    return std::fopen(name, "rb");
}

void CloseFile(void* handle)
{
    std::fclose(static_cast<FILE*>(handle));
}

int ReadFile(void* destination, int byteCount, void* handle)
{
    if (byteCount <= 0)
        return 0;
    return int(std::fread(destination, 1, size_t(byteCount), static_cast<FILE*>(handle)));
}

void SeekFile(void* handle, int offset, int origin)
{
    std::fseek(static_cast<FILE*>(handle), offset, origin == 1 ? SEEK_CUR : SEEK_SET);
}

int TellFile(void* handle)
{
    return int(std::ftell(static_cast<FILE*>(handle)));
}

// Removes a file this run started to write; never a device such as /dev/full.
void RemovePartialFile(const char* path)
{
    struct stat status;
    if (stat(path, &status) == 0 && S_ISREG(status.st_mode))
        std::remove(path);
}

void PutU16(uint8_t* bytes, uint32_t value)
{
    bytes[0] = uint8_t(value);
    bytes[1] = uint8_t(value >> 8);
}

void PutU32(uint8_t* bytes, uint32_t value)
{
    PutU16(bytes, value);
    PutU16(bytes + 2, value >> 16);
}

// Samples go out little-endian whatever the machine; on a little-endian one
// this does nothing.
void ToLittleEndian(int16_t* samples, size_t count)
{
    const uint16_t one = 1;
    uint8_t first;
    std::memcpy(&first, &one, 1);
    if (first == 1)
        return;
    for (size_t i = 0; i < count; ++i) {
        uint8_t bytes[2];
        PutU16(bytes, uint16_t(samples[i]));
        std::memcpy(&samples[i], bytes, 2);
    }
}

// Writes `frames` frames of the stream to the file, a chunk at a time.
template <typename Step>
bool WriteFrames(FILE* file, int64_t frames, int16_t* chunk, Step nextChunk)
{
    for (int64_t done = 0; done < frames;) {
        const int32_t count = int32_t(std::min<int64_t>(CHUNK_FRAMES, frames - done));
        nextChunk(chunk, count, done);
        ToLittleEndian(chunk, size_t(count) * 2);
        if (std::fwrite(chunk, 4, size_t(count), file) != size_t(count))
            return false;
        done += count;
    }
    return true;
}

// "1:27.21", or "1:02:03.50" from an hour on.
std::string FormatDuration(int64_t frames)
{
    const int64_t hundredths = frames * 100 / MixRate;
    const int64_t seconds = hundredths / 100;
    char text[48];
    if (seconds >= 3600)
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld.%02lld", (long long)(seconds / 3600),
                      (long long)(seconds / 60 % 60), (long long)(seconds % 60), (long long)(hundredths % 100));
    else
        std::snprintf(text, sizeof text, "%lld:%02lld.%02lld", (long long)(seconds / 60), (long long)(seconds % 60),
                      (long long)(hundredths % 100));
    return text;
}

// A progress line on a terminal, once a render has run for a second.
struct Progress {
    FILE* terminal = nullptr;  // null: none is shown
    int64_t total = 0;
    std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
    double shownAt = -1.0;  // seconds into the render; below 0 while nothing is shown

    void Update(int64_t done)
    {
        if (!terminal)
            return;
        const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (elapsed < PROGRESS_AFTER_SECONDS || elapsed - shownAt < PROGRESS_INTERVAL_SECONDS)
            return;
        shownAt = elapsed;
        std::fprintf(terminal, "\rrendering %s of %s (%d%%) ", FormatDuration(done).c_str(),
                     FormatDuration(total).c_str(), int(done * 100 / total));
        std::fflush(terminal);
    }

    void Clear()
    {
        if (terminal && shownAt >= 0.0)
            std::fprintf(terminal, "\r%60s\r", "");
    }
};

// The first output that could not be written, with the reason.
struct Failure {
    const char* path = nullptr;
    int error = 0;

    void Note(const char* what)
    {
        if (!path) {
            path = what;
            error = errno;
        }
    }
};

struct Options {
    const char* input = nullptr;
    const char* output = nullptr;
    const char* rows = nullptr;
    double seconds = 0.0;  // 0: the song's own length
    int32_t loops = 0;
    bool bench = false;
};

bool ParseOptions(int argc, const char* const* argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        char* end = nullptr;
        if (arg == "--seconds" && i + 1 < argc) {
            options.seconds = std::strtod(argv[++i], &end);
            if (!end || *end != '\0' || !(options.seconds > 0.0) || options.seconds > MAX_SECONDS)
                return false;
        } else if (arg == "--loops" && i + 1 < argc) {
            const long loops = std::strtol(argv[++i], &end, 10);
            if (!end || *end != '\0' || loops < 0 || loops > MAX_LOOPS)
                return false;
            options.loops = int32_t(loops);
        } else if (arg == "--rows" && i + 1 < argc) {
            options.rows = argv[++i];
        } else if (arg == "--bench") {
            options.bench = true;
        } else if (arg.size() > 1 && arg[0] == '-') {
            return false;
        } else if (!options.input) {
            options.input = argv[i];
        } else if (!options.output) {
            options.output = argv[i];
        } else {
            return false;
        }
    }
    return options.input && options.output;
}

double ProcessorSecondsSince(std::clock_t start)
{
    return double(std::clock() - start) / CLOCKS_PER_SEC;
}

// What the summary line adds for a file that ends before all it announced.
std::string EarlyEndNote(const Song& song)
{
    if (!song.fileEndsEarly)
        return "";
    if (song.instrumentsMissing > 0)
        return " (file ends early: " + std::to_string(song.instrumentsMissing) + " instruments missing)";
    return " (file ends early)";
}

// What the summary line says about the song's own length.
std::string DescribeLength(const SongLength& length)
{
    if (!length.found)
        return "the song does not come back to a row it has played within " +
               FormatDuration(SONG_LIMIT_SECONDS * MixRate);
    return "the song lasts " + FormatDuration(length.songFrames) + " and loops to order " +
           std::to_string(length.loopOrder) + ", row " + std::to_string(length.loopRow);
}

// Renders the song `runs` times into a chunk that is thrown away and prints
// the real-time factors, the median last.
void Bench(Song* song, int64_t frames, int runs, FILE* out)
{
    std::unique_ptr<SongStream> stream(new SongStream());
    std::vector<int16_t> chunk(size_t(CHUNK_FRAMES) * 2);
    std::vector<double> factors;  // by processor time: the work on one core
    const double seconds = double(frames) / MixRate;
    for (int run = 0; run < runs; ++run) {
        const auto start = std::chrono::steady_clock::now();
        const std::clock_t processorStart = std::clock();
        StartSongStream(*stream, song);
        for (int64_t done = 0; done < frames; done += CHUNK_FRAMES)
            ReadSongStream(*stream, chunk.data(), std::min<int64_t>(CHUNK_FRAMES, frames - done));
        const double processor = ProcessorSecondsSince(processorStart);
        const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        factors.push_back(processor > 0.0 ? seconds / processor : 0.0);
        std::fprintf(out, "run %d: %.0fx real time (processor time), %.0fx (wall clock)\n", run + 1, factors.back(),
                     wall > 0.0 ? seconds / wall : 0.0);
    }
    std::sort(factors.begin(), factors.end());
    std::fprintf(out, "median real-time factor: %.0fx\n", factors[factors.size() / 2]);
}

// Frames to render: --seconds, or the song with its extra passes, or (for a
// song that never comes back to a row) the song limit. -1 when the passes
// do not fit in a WAV file.
int64_t FramesToRender(Song* song, const Options& options, const SongLength& length)
{
    if (options.seconds > 0.0)
        return int64_t(std::llround(options.seconds * MixRate));
    if (!length.found || options.loops == 0)
        return length.frames;
    const SongLength passes = FindSongLength(song, options.loops, MAX_WAV_FRAMES);
    return passes.found ? passes.frames : -1;
}

// The header and `frames` frames of the song from play start, rendered and
// written a chunk at a time, with the row log when rows is open.
void StreamWav(Song* song, int64_t frames, FILE* wav, FILE* rows, Progress& progress, const Options& options,
               Failure& failure)
{
    uint8_t header[44];
    MakeWavHeader(header, frames);
    std::unique_ptr<SongStream> stream(new SongStream());
    std::vector<int16_t> chunk(size_t(CHUNK_FRAMES) * 2);
    s_rows = rows;
    s_rowsBefore = frames;
    s_rowsWritten = !rows || std::fprintf(rows, "frame,order,pattern,row\n") > 0;
    const TickCallback original = song->tickCallback;
    if (rows)
        song->tickCallback = RowLoggingTick;
    StartSongStream(*stream, song);
    if (std::fwrite(header, 1, sizeof header, wav) != sizeof header ||
        !WriteFrames(wav, frames, chunk.data(), [&](int16_t* to, int32_t count, int64_t done) {
            ReadSongStream(*stream, to, count);
            progress.Update(done + count);
        }))
        failure.Note(options.output);
    song->tickCallback = original;
    s_rows = nullptr;
    if (!s_rowsWritten)
        failure.Note(options.rows);
}

}  // namespace

void MakeWavHeader(uint8_t header[44], int64_t frames)
{
    const uint32_t dataBytes = uint32_t(std::min(frames, MAX_WAV_FRAMES) * 4);
    std::memcpy(header, "RIFF", 4);
    PutU32(header + 4, 36 + dataBytes);
    std::memcpy(header + 8, "WAVEfmt ", 8);
    PutU32(header + 16, 16);
    PutU16(header + 20, 1);  // PCM
    PutU16(header + 22, 2);  // stereo
    PutU32(header + 24, uint32_t(MixRate));
    PutU32(header + 28, uint32_t(MixRate) * 4);  // bytes per second
    PutU16(header + 32, 4);                      // block alignment
    PutU16(header + 34, 16);                     // bits per sample
    std::memcpy(header + 36, "data", 4);
    PutU32(header + 40, dataBytes);
}

bool WriteWavFile(const char* path, const std::vector<int16_t>& pcm)
{
    const int64_t frames = int64_t(pcm.size() / 2);
    if (frames > MAX_WAV_FRAMES)
        return false;
    FILE* file = std::fopen(path, "wb");
    if (!file)
        return false;
    uint8_t header[44];
    MakeWavHeader(header, frames);
    std::vector<int16_t> chunk(size_t(std::min<int64_t>(CHUNK_FRAMES, frames)) * 2 + 2);
    bool written = std::fwrite(header, 1, sizeof header, file) == sizeof header &&
                   WriteFrames(file, frames, chunk.data(), [&pcm](int16_t* to, int32_t count, int64_t done) {
                       std::memcpy(to, pcm.data() + done * 2, size_t(count) * 2 * sizeof(int16_t));
                   });
    written = std::fclose(file) == 0 && written;
    if (!written)
        RemovePartialFile(path);
    return written;
}

int RunXm2Wav(int argc, const char* const* argv, FILE* out, FILE* err)
{
    if (AnswerVersionOrHelp(argc, argv, "xm2wav", USAGE, out))
        return 0;
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        PrintUsage(USAGE, err);
        return 1;
    }
    FILE* probe = std::fopen(options.input, "rb");
    if (!probe) {
        std::fprintf(err, "xm2wav: %s: cannot open: %s\n", options.input, std::strerror(errno));
        return 1;
    }
    std::fclose(probe);
    SetFileCallbacks(OpenFile, CloseFile, ReadFile, SeekFile, TellFile);
    Song* song = LoadSong(options.input, nullptr);
    if (!song) {
        std::fprintf(err, "xm2wav: %s: not a valid XM module (or one this player refuses)\n", options.input);
        return 1;
    }

    const SongLength length = FindSongLength(song, 0, SONG_LIMIT_SECONDS * MixRate);
    const int64_t frames = FramesToRender(song, options, length);
    if (frames < 0) {
        std::fprintf(err,
                     "xm2wav: %s: %d more passes of the song last longer than a WAV "
                     "file can hold (%s)\n",
                     options.input, options.loops, FormatDuration(MAX_WAV_FRAMES).c_str());
        FreeSong(song);
        return 1;
    }
    const bool toStandardOutput = std::strcmp(options.output, "-") == 0;
    if (options.bench)
        Bench(song, frames, BENCH_RUNS, toStandardOutput ? err : out);

    // The outputs are opened only now: nothing is left behind by a refusal.
    Failure failure;
    FILE* wav = out;
    if (toStandardOutput) {
#if defined(_WIN32)
        _setmode(_fileno(out), _O_BINARY);
#endif
    } else if (!(wav = std::fopen(options.output, "wb"))) {
        failure.Note(options.output);
    }
    FILE* rows = nullptr;
    if (wav && options.rows && !(rows = std::fopen(options.rows, "w")))
        failure.Note(options.rows);

    Progress progress;
    progress.terminal = IsTerminal(err) ? err : nullptr;
    progress.total = frames;
    const std::clock_t processorStart = std::clock();
    if (!failure.path)
        StreamWav(song, frames, wav, rows, progress, options, failure);
    const double processor = ProcessorSecondsSince(processorStart);
    progress.Clear();
    if (toStandardOutput ? std::fflush(wav) != 0 : wav && std::fclose(wav) != 0)
        failure.Note(options.output);
    if (rows && std::fclose(rows) != 0)
        failure.Note(options.rows);

    if (failure.path) {
        std::fprintf(err, "xm2wav: %s: cannot write: %s\n", failure.path, std::strerror(failure.error));
        // Only what this run created goes.
        if (wav && !toStandardOutput)
            RemovePartialFile(options.output);
        if (rows)
            RemovePartialFile(options.rows);
    } else {
        std::fprintf(err, "%s: %d channels, %d patterns, %d instruments; %s; %s rendered at %.0fx real time%s\n",
                     options.input, song->channelCount, song->patternSlots, song->instrumentCount,
                     DescribeLength(length).c_str(), FormatDuration(frames).c_str(),
                     processor > 0.0 ? double(frames) / MixRate / processor : 0.0, EarlyEndNote(*song).c_str());
    }
    FreeSong(song);
    return failure.path ? 1 : 0;
}
