#include "PlayerTestKit.h"
#include "Xm2Wav.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace {

struct RowStart {
    int64_t frame;
    int32_t order;
    int32_t pattern;
    int32_t row;
};

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

std::string ReadAll(FILE* file)
{
    std::string text;
    std::rewind(file);
    char buffer[4096];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof(buffer), file)) > 0)
        text.append(buffer, got);
    std::fclose(file);
    return text;
}

Outcome Xm2Wav(std::vector<std::string> args)
{
    args.insert(args.begin(), "xm2wav");
    std::vector<const char*> argv;
    for (const std::string& arg : args)
        argv.push_back(arg.c_str());
    FILE* out = std::tmpfile();
    FILE* err = std::tmpfile();
    Outcome outcome;
    outcome.status = RunXm2Wav(int(argv.size()), argv.data(), out, err);
    outcome.out = ReadAll(out);
    outcome.err = ReadAll(err);
    return outcome;
}

std::string Temp(const std::string& name)
{
    return testing::TempDir() + "xm2wav_test_" + name;
}

bool Exists(const std::string& path)
{
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file)
        std::fclose(file);
    return file != nullptr;
}

std::vector<RowStart> ReadRows(const std::string& path)
{
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    EXPECT_EQ(line, "frame,order,pattern,row");
    std::vector<RowStart> rows;
    while (std::getline(in, line)) {
        RowStart row = {};
        long long frame = 0;
        EXPECT_EQ(std::sscanf(line.c_str(), "%lld,%d,%d,%d", &frame, &row.order, &row.pattern, &row.row), 4) << line;
        row.frame = frame;
        rows.push_back(row);
    }
    return rows;
}

// Renders the module for `seconds` and returns its row log.
std::vector<RowStart> RowLog(const XmModule& module, double seconds, const std::string& name)
{
    const std::string xm = Temp(name + ".xm");
    const std::string wav = Temp(name + ".wav");
    const std::string csv = Temp(name + ".csv");
    EXPECT_TRUE(WriteXmFile(module, xm.c_str()));
    const Outcome outcome = Xm2Wav({xm, wav, "--seconds", std::to_string(seconds), "--rows", csv});
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    std::vector<RowStart> rows = ReadRows(csv);
    std::remove(xm.c_str());
    std::remove(wav.c_str());
    std::remove(csv.c_str());
    return rows;
}

uint32_t U32At(const std::vector<uint8_t>& bytes, size_t at)
{
    return uint32_t(bytes[at]) | uint32_t(bytes[at + 1]) << 8 | uint32_t(bytes[at + 2]) << 16 |
           uint32_t(bytes[at + 3]) << 24;
}

// The frames a WAV file holds, after checking its header says so.
int64_t WavFrames(const std::vector<uint8_t>& bytes)
{
    if (bytes.size() < 44)
        return -1;
    EXPECT_EQ(U32At(bytes, 40), bytes.size() - 44);
    EXPECT_EQ(U32At(bytes, 4), bytes.size() - 8);
    return int64_t(bytes.size() - 44) / 4;
}

std::string Describe(const std::vector<RowStart>& rows)
{
    std::ostringstream text;
    for (const RowStart& row : rows)
        text << row.frame << ":" << row.order << ":" << row.pattern << ":" << row.row << " ";
    return text.str();
}

}  // namespace

TEST(Xm2Wav, MissingFileGetsAMessageAndNoOutput)
{
    const std::string wav = Temp("missing.wav");
    std::remove(wav.c_str());
    const Outcome outcome = Xm2Wav({Temp("does-not-exist.xm"), wav});
    EXPECT_EQ(outcome.status, 1);
    EXPECT_NE(outcome.err.find("does-not-exist.xm"), std::string::npos) << outcome.err;
    EXPECT_NE(outcome.err.find("cannot open"), std::string::npos) << outcome.err;
    EXPECT_EQ(std::count(outcome.err.begin(), outcome.err.end(), '\n'), 1);
    EXPECT_FALSE(Exists(wav));
}

TEST(Xm2Wav, InvalidModuleGetsAMessageAndNoOutput)
{
    const std::string xm = Temp("garbage.xm");
    const std::string wav = Temp("garbage.wav");
    std::remove(wav.c_str());
    FILE* file = std::fopen(xm.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fputs("Extended Module: but nothing after it", file);
    std::fclose(file);
    for (const std::string& output : {wav, std::string("-")}) {
        const Outcome outcome = Xm2Wav({xm, output});
        EXPECT_EQ(outcome.status, 1);
        EXPECT_NE(outcome.err.find("garbage.xm"), std::string::npos);
        EXPECT_NE(outcome.err.find("not a valid XM module"), std::string::npos);
        EXPECT_EQ(std::count(outcome.err.begin(), outcome.err.end(), '\n'), 1);
        EXPECT_EQ(outcome.out, "");
    }
    EXPECT_FALSE(Exists(wav));
    std::remove(xm.c_str());
}

TEST(Xm2Wav, RefusesABadCommandLine)
{
    EXPECT_EQ(Xm2Wav({}).status, 1);
    EXPECT_EQ(Xm2Wav({"only-one.xm"}).status, 1);
    EXPECT_EQ(Xm2Wav({"a.xm", "b.wav", "--seconds", "-3"}).status, 1);
    EXPECT_EQ(Xm2Wav({"a.xm", "b.wav", "--seconds", "21601"}).status, 1);
    EXPECT_EQ(Xm2Wav({"a.xm", "b.wav", "--loops", "-1"}).status, 1);
    EXPECT_EQ(Xm2Wav({"a.xm", "b.wav", "--loops", "2x"}).status, 1);
    EXPECT_EQ(Xm2Wav({"a.xm", "b.wav", "--loud"}).status, 1);
    const std::string help = Xm2Wav({}).err;
    EXPECT_EQ(help.find("Usage: xm2wav IN.xm OUT.wav [--seconds S] [--loops N]"), 0u) << help;
    EXPECT_NE(help.find("stops after 30:00"), std::string::npos) << help;
}

TEST(Xm2Wav, StreamsTheRenderedSamplesToAFileOrStandardOutput)
{
    Lab lab(2, 8, 3);
    lab.At(0, 0) = Cell("C-4", 1, 0, '8', 0x00);
    lab.At(2, 1) = Cell("G-4", 2, 0, '8', 0xFF);
    const std::string xm = Temp("wav.xm");
    const std::string wav = Temp("wav.wav");
    ASSERT_TRUE(WriteXmFile(lab.module, xm.c_str()));
    // 22,050 frames: more than one chunk of writing, not a whole number of blocks.
    const Outcome outcome = Xm2Wav({xm, wav, "--seconds", "0.5"});
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_NE(outcome.err.find("2 channels, 1 patterns, 2 instruments; the song lasts 0:00.48 "
                               "and loops to order 0, row 0; 0:00.50 rendered at "),
              std::string::npos)
        << outcome.err;
    EXPECT_EQ(std::count(outcome.err.begin(), outcome.err.end(), '\n'), 1);

    const std::vector<uint8_t> bytes = ReadWholeFile(wav);
    ASSERT_EQ(WavFrames(bytes), 22050);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "RIFF");
    EXPECT_EQ(std::string(bytes.begin() + 8, bytes.begin() + 16), "WAVEfmt ");
    EXPECT_EQ(U32At(bytes, 16), 16u);
    EXPECT_EQ(U32At(bytes, 20), 0x00020001u);  // PCM, stereo
    EXPECT_EQ(U32At(bytes, 24), 44100u);
    EXPECT_EQ(U32At(bytes, 28), 176400u);
    EXPECT_EQ(U32At(bytes, 32), 0x00100004u);  // block alignment 4, 16 bits
    EXPECT_EQ(std::string(bytes.begin() + 36, bytes.begin() + 40), "data");

    SongPtr song = lab.Load();
    std::vector<int16_t> expected(22050 * 2);
    ASSERT_TRUE(RenderSong(song.get(), expected.data(), 22050));
    bool left = false, right = false;
    for (size_t i = 0; i < expected.size(); ++i) {
        const int16_t sample = int16_t(bytes[44 + 2 * i] | bytes[45 + 2 * i] << 8);
        ASSERT_EQ(sample, expected[i]) << i;
        (i % 2 ? right : left) |= sample != 0;
    }
    EXPECT_TRUE(left);
    EXPECT_TRUE(right);

    const Outcome piped = Xm2Wav({xm, "-", "--seconds", "0.5"});
    EXPECT_EQ(piped.status, 0) << piped.err;
    EXPECT_TRUE(piped.out == std::string(bytes.begin(), bytes.end()));
    EXPECT_EQ(outcome.err.find("file ends early"), std::string::npos);

    // A file cut inside its last sample still renders, and the summary says so.
    std::vector<uint8_t> module = ReadWholeFile(xm);
    module.pop_back();
    FILE* cut = std::fopen(xm.c_str(), "wb");
    ASSERT_NE(cut, nullptr);
    std::fwrite(module.data(), 1, module.size(), cut);
    std::fclose(cut);
    const Outcome early = Xm2Wav({xm, wav, "--seconds", "0.1"});
    EXPECT_EQ(early.status, 0) << early.err;
    EXPECT_NE(early.err.find("real time (file ends early)\n"), std::string::npos) << early.err;
    std::remove(xm.c_str());
    std::remove(wav.c_str());
}

TEST(Xm2Wav, PlaysTheSongOnceOrWithMorePassesFromWhereItLoops)
{
    const std::string xm = Temp("once.xm");
    const std::string wav = Temp("once.wav");
    const std::string csv = Temp("once.csv");
    // Speed 2 at 125 BPM: 8 rows of order 0, 4 of order 1, then back to order 1.
    Lab lab(1, 8, 2);
    lab.AddPattern(4);
    lab.module.orders = {0, 1};
    lab.module.restart = 1;
    lab.At(0, 0) = lab.At(0, 0, 1) = Cell("C-4", 1);
    ASSERT_TRUE(WriteXmFile(lab.module, xm.c_str()));
    const int64_t row = 2 * 882;
    Outcome outcome = Xm2Wav({xm, wav});
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(WavFrames(ReadWholeFile(wav)), 12 * row);
    EXPECT_NE(outcome.err.find("the song lasts 0:00.48 and loops to order 1, row 0; 0:00.48 rendered"),
              std::string::npos)
        << outcome.err;

    // Two more passes of order 1; the block fill starts that row exactly
    // where the length pass put the song's end and each pass's end.
    outcome = Xm2Wav({xm, wav, "--loops", "2", "--rows", csv});
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(WavFrames(ReadWholeFile(wav)), (12 + 2 * 4) * row);
    std::vector<int64_t> loopStarts;
    const std::vector<RowStart> rows = ReadRows(csv);
    for (const RowStart& start : rows)
        if (start.order == 1 && start.row == 0)
            loopStarts.push_back(start.frame);
    EXPECT_EQ(loopStarts, (std::vector<int64_t>{8 * row, 12 * row, 16 * row})) << Describe(rows);
    EXPECT_EQ(rows.size(), 20u);
    for (const std::string& path : {xm, wav, csv})
        std::remove(path.c_str());
}

TEST(Xm2Wav, ASongThatNeverComesBackStopsAtTheLimit)
{
    // Speed 31 and EEF on every row: 64 rows last over 40 minutes.
    Lab slow(1, 64, 31, 32);
    for (int row = 0; row < 64; ++row)
        slow.At(row, 0) = Fx('E', 0xEF);
    const std::string xm = Temp("slow.xm");
    const std::string wav = Temp("slow.wav");
    ASSERT_TRUE(WriteXmFile(slow.module, xm.c_str()));
    const Outcome outcome = Xm2Wav({xm, wav, "--seconds", "0.1", "--loops", "3"});
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_NE(outcome.err.find("the song does not come back to a row it has played within 30:00.00; "
                               "0:00.10 rendered"),
              std::string::npos)
        << outcome.err;
    EXPECT_EQ(WavFrames(ReadWholeFile(wav)), 4410);
    std::remove(xm.c_str());
    std::remove(wav.c_str());
}

TEST(Xm2Wav, RefusedOrFailedRendersLeaveNothingBehind)
{
    const std::string xm = Temp("refused.xm");
    const std::string wav = Temp("refused.wav");
    std::remove(wav.c_str());
    // Speed 31 at 32 BPM: 2.5 minutes a pass; ten thousand more do not fit
    // in a WAV file.
    ASSERT_TRUE(WriteXmFile(Lab(1, 64, 31, 32).module, xm.c_str()));
    const Outcome outcome = Xm2Wav({xm, wav, "--loops", "10000"});
    EXPECT_NE(outcome.err.find("refused.xm: 10000 more passes of the song last longer than a "
                               "WAV file can hold"),
              std::string::npos)
        << outcome.err;
    const std::string csv = Temp("no-such-folder/rows.csv");
    const Outcome failed = Xm2Wav({xm, wav, "--rows", csv});
    EXPECT_NE(failed.err.find(csv + ": cannot write"), std::string::npos) << failed.err;
    for (const Outcome& refused : {outcome, failed}) {
        EXPECT_EQ(refused.status, 1);
        EXPECT_EQ(std::count(refused.err.begin(), refused.err.end(), '\n'), 1);
    }
    EXPECT_FALSE(Exists(wav));
    std::remove(xm.c_str());
}

TEST(Xm2Wav, BenchPrintsTheMedianLast)
{
    Lab lab(1, 8);
    lab.At(0, 0) = Cell("C-4", 1);
    const std::string xm = Temp("bench.xm");
    const std::string wav = Temp("bench.wav");
    ASSERT_TRUE(WriteXmFile(lab.module, xm.c_str()));
    const Outcome outcome = Xm2Wav({xm, wav, "--seconds", "1", "--bench"});
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    const size_t last = outcome.out.rfind("median real-time factor: ");
    ASSERT_NE(last, std::string::npos) << outcome.out;
    EXPECT_EQ(outcome.out.find('\n', last), outcome.out.size() - 1);
    EXPECT_EQ(std::count(outcome.out.begin(), outcome.out.end(), '\n'), 6);
    std::remove(xm.c_str());
    std::remove(wav.c_str());
}

TEST(Xm2Wav, TickLengthAt125And176Bpm)
{
    Lab lab(1, 4, 6, 125);
    std::vector<RowStart> rows = RowLog(lab.module, 0.5, "bpm125");
    ASSERT_GE(rows.size(), 4u);
    for (size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].frame, int64_t(i) * 6 * 882);
        EXPECT_EQ(rows[i].row, int32_t(i % 4));
    }
    lab.module.bpm = 176;
    rows = RowLog(lab.module, 0.5, "bpm176");
    ASSERT_GE(rows.size(), 5u);
    for (size_t i = 0; i < rows.size(); ++i)
        EXPECT_EQ(rows[i].frame, int64_t(i) * 6 * 626);
}

TEST(Xm2Wav, RowTimingUnderSpeedZeroAndPatternDelay)
{
    Lab lab(1, 8, 6, 125);
    lab.At(1, 0) = Fx('F', 0x00);
    lab.At(3, 0) = Fx('F', 0x02);
    lab.At(4, 0) = Fx('E', 0xE3);
    const std::vector<RowStart> rows = RowLog(lab.module, 1.0, "speeds");
    ASSERT_GE(rows.size(), 7u);
    // Row 0: 6 ticks; rows 1 and 2: one tick each (F00); row 3: 2 ticks;
    // row 4: 2 x (3 + 1) ticks; row 5 follows.
    const int64_t tick = 882;
    EXPECT_EQ(rows[1].frame, 6 * tick);
    EXPECT_EQ(rows[2].frame, 7 * tick);
    EXPECT_EQ(rows[3].frame, 8 * tick);
    EXPECT_EQ(rows[4].frame, 10 * tick);
    EXPECT_EQ(rows[5].frame, 18 * tick);
    EXPECT_EQ(rows[5].row, 5);
}

TEST(Xm2Wav, RowTimingUnderLoopsJumpsAndBreaks)
{
    Lab lab(2, 4, 1, 125);
    lab.AddPattern(16);
    lab.AddPattern(8);
    lab.module.orders = {0, 1, 2};
    lab.module.restart = 2;
    lab.At(1, 0) = Fx('E', 0x60);
    lab.At(2, 0) = Fx('E', 0x61);     // rows 1 and 2 twice
    lab.At(3, 0) = Fx('D', 0x12);     // next order, row 12 ...
    lab.At(3, 1) = Fx('B', 0x02);     // ... but a B after a D replaces both: order 2, row 0
    lab.At(5, 0, 2) = Fx('B', 0x09);  // beyond the song: order 0
    lab.At(5, 1, 2) = Fx('D', 0x01);  // a D after a B keeps its order: order 0, row 1
    const std::vector<RowStart> rows = RowLog(lab.module, 0.3, "jumps");
    ASSERT_GE(rows.size(), 12u);
    std::vector<std::string> seen;
    for (size_t i = 0; i < 12; ++i) {
        seen.push_back(std::to_string(rows[i].order) + ":" + std::to_string(rows[i].pattern) + ":" +
                       std::to_string(rows[i].row));
        EXPECT_EQ(rows[i].frame, int64_t(i) * 882) << Describe(rows);
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"0:0:0", "0:0:1", "0:0:2", "0:0:1", "0:0:2", "0:0:3", "2:2:0", "2:2:1",
                                              "2:2:2", "2:2:3", "2:2:4", "2:2:5"}));
    EXPECT_EQ(rows[12].order, 0);
    EXPECT_EQ(rows[12].row, 1);
}
