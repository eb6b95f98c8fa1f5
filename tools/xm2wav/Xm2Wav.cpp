#include "Xm2Wav.h"

#include "FileCallbacks.h"
#include "Mixer.h"
#include "OfflineRender.h"
#include "Sequencer.h"
#include "XmLoader.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

namespace {

const int BENCH_RUNS = 5;
const double DEFAULT_SECONDS = 60.0;

std::vector<RowStart>* s_rows = nullptr;

void RowLoggingTick(Song* song)
{
    const bool rowTick = song->tick == 0;
    const int64_t frame = int64_t(song->mixedFrames);
    SongTick(song);
    if (rowTick && s_rows)
        s_rows->push_back(RowStart{frame, song->orderPos, song->orderTable[song->orderPos],
                                   song->row});
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

void PutU16(std::vector<uint8_t>& bytes, uint32_t value)
{
    bytes.push_back(uint8_t(value));
    bytes.push_back(uint8_t(value >> 8));
}

void PutU32(std::vector<uint8_t>& bytes, uint32_t value)
{
    PutU16(bytes, value);
    PutU16(bytes, value >> 16);
}

struct Options {
    const char* input = nullptr;
    const char* output = nullptr;
    const char* rows = nullptr;
    double seconds = DEFAULT_SECONDS;
    bool bench = false;
};

bool ParseOptions(int argc, const char* const* argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--seconds" && i + 1 < argc) {
            char* end = nullptr;
            options.seconds = std::strtod(argv[++i], &end);
            if (!end || *end != '\0' || !(options.seconds > 0.0) || options.seconds > 86400.0)
                return false;
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

double SecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

bool RenderWithRows(Song* song, int64_t frames, std::vector<int16_t>& pcm,
                    std::vector<RowStart>* rows)
{
    // Resized, not cleared: every frame is written, and a buffer reused
    // across bench runs costs no page faults the second time.
    pcm.resize(size_t(frames) * 2);
    const TickCallback original = song->tickCallback;
    if (rows) {
        rows->clear();
        s_rows = rows;
        song->tickCallback = RowLoggingTick;
    }
    const bool rendered = RenderSong(song, pcm.data(), frames);
    song->tickCallback = original;
    s_rows = nullptr;
    if (rows)
        rows->erase(std::remove_if(rows->begin(), rows->end(),
                                   [frames](const RowStart& r) { return r.frame >= frames; }),
                    rows->end());
    return rendered;
}

bool WriteWavFile(const char* path, const std::vector<int16_t>& pcm)
{
    const uint32_t dataBytes = uint32_t(pcm.size() * sizeof(int16_t));
    std::vector<uint8_t> header;
    header.insert(header.end(), {'R', 'I', 'F', 'F'});
    PutU32(header, 36 + dataBytes);
    header.insert(header.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    PutU32(header, 16);
    PutU16(header, 1);                       // PCM
    PutU16(header, 2);                       // stereo
    PutU32(header, uint32_t(MixRate));
    PutU32(header, uint32_t(MixRate) * 4);   // bytes per second
    PutU16(header, 4);                       // block alignment
    PutU16(header, 16);                      // bits per sample
    header.insert(header.end(), {'d', 'a', 't', 'a'});
    PutU32(header, dataBytes);

    FILE* file = std::fopen(path, "wb");
    if (!file)
        return false;
    bool written = std::fwrite(header.data(), 1, header.size(), file) == header.size();
    // Little-endian samples, whatever the machine.
    std::vector<uint8_t> data;
    data.reserve(dataBytes);
    for (int16_t sample : pcm)
        PutU16(data, uint16_t(sample));
    written = written && std::fwrite(data.data(), 1, data.size(), file) == data.size();
    written = std::fclose(file) == 0 && written;
    if (!written)
        std::remove(path);
    return written;
}

bool WriteRowsCsv(const char* path, const std::vector<RowStart>& rows)
{
    FILE* file = std::fopen(path, "w");
    if (!file)
        return false;
    bool written = std::fprintf(file, "frame,order,pattern,row\n") > 0;
    for (const RowStart& row : rows)
        written = written && std::fprintf(file, "%lld,%d,%d,%d\n", (long long)row.frame,
                                          row.order, row.pattern, row.row) > 0;
    written = std::fclose(file) == 0 && written;
    if (!written)
        std::remove(path);
    return written;
}

int RunXm2Wav(int argc, const char* const* argv, FILE* out, FILE* err)
{
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fprintf(err,
                     "usage: xm2wav INPUT.xm OUTPUT.wav [--seconds S] [--rows ROWS.csv] [--bench]\n");
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
        std::fprintf(err, "xm2wav: %s: not a valid XM module (or one this player refuses)\n",
                     options.input);
        return 1;
    }

    const int64_t frames = int64_t(std::llround(options.seconds * MixRate));
    // The output buffer is touched before any timing starts.
    std::vector<int16_t> pcm(size_t(frames) * 2, 0);
    std::vector<RowStart> rows;
    const int runs = options.bench ? BENCH_RUNS : 1;
    std::vector<double> factors;      // by processor time: the work on one core
    std::vector<double> wallFactors;  // by the clock on the wall: slower on a busy machine
    for (int run = 0; run < runs; ++run) {
        const auto start = std::chrono::steady_clock::now();
        const std::clock_t processorStart = std::clock();
        if (!RenderWithRows(song, frames, pcm, run == 0 && options.rows ? &rows : nullptr)) {
            std::fprintf(err, "xm2wav: %s: out of memory\n", options.input);
            FreeSong(song);
            return 1;
        }
        const double processor = double(std::clock() - processorStart) / CLOCKS_PER_SEC;
        const double elapsed = SecondsSince(start);
        factors.push_back(processor > 0.0 ? options.seconds / processor : 0.0);
        wallFactors.push_back(elapsed > 0.0 ? options.seconds / elapsed : 0.0);
    }

    int status = 0;
    if (!WriteWavFile(options.output, pcm)) {
        std::fprintf(err, "xm2wav: %s: cannot write: %s\n", options.output, std::strerror(errno));
        status = 1;
    } else if (options.rows && !WriteRowsCsv(options.rows, rows)) {
        std::fprintf(err, "xm2wav: %s: cannot write: %s\n", options.rows, std::strerror(errno));
        std::remove(options.output);
        status = 1;
    }
    if (status == 0) {
        std::fprintf(err, "%s: %d channels, %d patterns, %d instruments, %.1f s rendered, %.0fx real time\n",
                     options.input, song->channelCount, song->patternSlots,
                     song->instrumentCount, options.seconds, factors.front());
        if (options.bench) {
            for (int run = 0; run < runs; ++run)
                std::fprintf(out, "run %d: %.0fx real time (processor time), %.0fx (wall clock)\n",
                             run + 1, factors[size_t(run)], wallFactors[size_t(run)]);
            std::sort(factors.begin(), factors.end());
            std::fprintf(out, "median real-time factor: %.0fx\n", factors[factors.size() / 2]);
        }
    }
    FreeSong(song);
    return status;
}
