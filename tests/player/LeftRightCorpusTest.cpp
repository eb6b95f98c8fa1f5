// OpenMPT's XM test modules built as left = right: the left channel plays the
// construct under test, the right one plays with plainer commands what
// FastTracker 2 does. A player that behaves like FastTracker 2 renders both
// sides alike: their 10 ms RMS envelopes correlate at 0.95 or more.

#include "MemoryInput.h"
#include "Player.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace {

const double MIN_CORRELATION = 0.95;
const int32_t ENVELOPE_FRAMES = MixRate / 100;
const int64_t MAX_SONG_FRAMES = int64_t(MixRate) * 120;
const char SILENT_FILE[] = "ompt_NoteOffFade.xm";

// Files whose constructs this player deliberately plays its own way, or that
// depend on something besides the player's rules; every other listed file
// must sound alike on both sides.
const std::map<std::string, std::string> PLAYED_OUR_WAY = {
    {"ompt_Tremor.xm", "a T00 before any tremor parameter keeps every tick of the row silent"},
    {"ompt_TremorInstr.xm", "a T00 before any tremor parameter keeps every tick of the row silent"},
    {"ompt_PatternDelay-NoteDelay.xm",
     "the repeats of a pattern delay do not repeat its note delay"},
    {"ompt_TremoloVibrato.xm", "the ramp tremolo's phase runs as it always has here"},
    {"ompt_NoteLimit.xm", "notes above the top of the range after the relative note still play"},
    {"ompt_PatLoop-Nested.xm",
     "FT2 ramps each envelope step over a tick, the mixer over 128 frames"},
    {"ompt_KeyOff2.xm", "the recorded right side plays 0.018% slow (44092 Hz) and drifts 5 ms"},
    {"ompt_OffDelay.xm", "the recorded right side plays 0.018% slow (44092 Hz) and drifts 5 ms"},
    {"ompt_keyoff+instr.xm",
     "the recorded right side drifts, and FT2 ramps envelope jumps over a tick"},
    {"ompt_PatternDelays.xm", "the second pattern's right side records X6x, an effect FT2 lacks"},
};

std::string CorpusFolder()
{
    return SKV_XM_CORPUS_DIR;
}

std::vector<std::string> ListedFiles(const std::string& folder)
{
    std::vector<std::string> files;
    std::ifstream list(folder + "/lr-tests.txt");
    std::string line;
    while (std::getline(list, line)) {
        while (!line.empty() && (line.back() == '\r' || line.back() == ' '))
            line.pop_back();
        if (!line.empty() && line[0] != '#')
            files.push_back(line);
    }
    return files;
}

// Output frames from play start to the song's end, at most MAX_SONG_FRAMES.
int64_t SongFrames(Song* song)
{
    const SongLength length = FindSongLength(song, 0, MAX_SONG_FRAMES);
    return length.found ? length.songFrames : MAX_SONG_FRAMES;
}

struct Sides {
    std::vector<double> left, right;  // RMS per 10 ms
};

Sides RmsEnvelopes(const std::vector<int16_t>& pcm)
{
    Sides sides;
    const size_t frames = pcm.size() / 2;
    for (size_t start = 0; start + ENVELOPE_FRAMES <= frames; start += ENVELOPE_FRAMES) {
        double left = 0, right = 0;
        for (size_t f = start; f < start + ENVELOPE_FRAMES; ++f) {
            left += double(pcm[2 * f]) * pcm[2 * f];
            right += double(pcm[2 * f + 1]) * pcm[2 * f + 1];
        }
        sides.left.push_back(std::sqrt(left / ENVELOPE_FRAMES));
        sides.right.push_back(std::sqrt(right / ENVELOPE_FRAMES));
    }
    return sides;
}

// Pearson correlation; two flat envelopes correlate when they are equal.
double Correlation(const std::vector<double>& a, const std::vector<double>& b)
{
    const size_t n = a.size();
    double meanA = 0, meanB = 0;
    for (size_t i = 0; i < n; ++i) {
        meanA += a[i];
        meanB += b[i];
    }
    meanA /= double(n);
    meanB /= double(n);
    double ab = 0, aa = 0, bb = 0;
    for (size_t i = 0; i < n; ++i) {
        ab += (a[i] - meanA) * (b[i] - meanB);
        aa += (a[i] - meanA) * (a[i] - meanA);
        bb += (b[i] - meanB) * (b[i] - meanB);
    }
    if (aa == 0 || bb == 0)
        return aa == bb && std::fabs(meanA - meanB) < 1 ? 1.0 : 0.0;
    return ab / std::sqrt(aa * bb);
}

struct Rendered {
    bool loaded = false;
    std::vector<int16_t> pcm;
};

Rendered RenderFile(const std::string& path)
{
    Rendered result;
    Song* song = LoadFromBytes(ReadWholeFile(path));
    if (!song)
        return result;
    result.loaded = true;
    result.pcm.resize(size_t(SongFrames(song)) * 2);
    RenderSong(song, result.pcm.data(), int64_t(result.pcm.size() / 2));
    FreeSong(song);
    return result;
}

}  // namespace

TEST(LeftRightCorpus, BothSidesOfEveryListedModuleSoundAlike)
{
    const std::string folder = CorpusFolder();
    // A checkout without the corpus beside it cannot run this; one with the
    // corpus must list its files.
    if (!std::ifstream(folder + "/ompt_NoteOffFade.xm") && !std::ifstream(folder + "/lr-tests.txt"))
        GTEST_SKIP() << "no XM corpus at " << folder
                     << " (it lies beside the repository, in shared/xm-corpus)";
    const std::vector<std::string> files = ListedFiles(folder);
    ASSERT_FALSE(files.empty()) << "no list of left = right modules at " << folder
                                << "/lr-tests.txt";
    int alike = 0;
    for (const std::string& name : files) {
        SCOPED_TRACE(name);
        const Rendered rendered = RenderFile(folder + "/" + name);
        ASSERT_TRUE(rendered.loaded);
        const Sides sides = RmsEnvelopes(rendered.pcm);
        ASSERT_FALSE(sides.left.empty());
        if (name == SILENT_FILE) {
            double loudest = 0;
            for (size_t i = 0; i < sides.left.size(); ++i)
                loudest = std::max(loudest, std::max(sides.left[i], sides.right[i]));
            std::printf("%-40s loudest 10 ms RMS %.1f\n", name.c_str(), loudest);
            EXPECT_LT(loudest, 1.0);
            alike += loudest < 1.0;
            continue;
        }
        const double correlation = Correlation(sides.left, sides.right);
        const bool ours = PLAYED_OUR_WAY.count(name) != 0;
        std::printf("%-40s %6.3f%s\n", name.c_str(), correlation, ours ? "  (played our way)" : "");
        alike += correlation >= MIN_CORRELATION;
        if (!ours) {
            EXPECT_GE(correlation, MIN_CORRELATION);
        }
    }
    std::printf("%d of %zu listed modules play as FastTracker 2 does\n", alike, files.size());
}
