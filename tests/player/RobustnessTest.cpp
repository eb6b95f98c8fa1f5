// Malformed and real-world input: every module either loads or is refused
// cleanly, and every module that loads plays without a fault. Run under
// AddressSanitizer + UBSan in the address flavour.

#include "MemoryInput.h"
#include "Player.h"
#include "TestModules.h"
#include "XmWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>

namespace {

// Plays the song from its start through the block fill for the given number
// of blocks; then frees it.
void PlayAndFree(Song* song, int blocks)
{
    ResetPlayState(song);
    ASSERT_TRUE(OpenBlockRing(song));
    for (int i = 0; i < blocks; ++i)
        FillBlock();
    EXPECT_TRUE(FreeSong(song));
    EXPECT_EQ(PlayRing.currentSong, nullptr);
}

// A deterministic generator whose numbers do not depend on the standard
// library's distributions.
struct Random {
    std::mt19937 engine;
    explicit Random(uint32_t seed) : engine(seed) {}
    uint32_t Below(uint32_t limit) { return uint32_t(engine() % limit); }
};

uint8_t InterestingByte(Random& random)
{
    static const uint8_t VALUES[] = {0x00, 0x01, 0x02, 0x0F, 0x10, 0x1F, 0x20, 0x3F,
                                     0x40, 0x60, 0x7F, 0x80, 0x81, 0xC0, 0xFE, 0xFF};
    return random.Below(2) ? VALUES[random.Below(sizeof(VALUES))] : uint8_t(random.Below(256));
}

std::string CorpusFolder()
{
    return SKV_XM_CORPUS_DIR;
}

}  // namespace

TEST(Robustness, SeededMutationsLoadOrAreRefusedAndPlay)
{
    XmModule module = MakeRichModule();
    module.packCells = true;
    const std::vector<uint8_t> original = SerializeXm(module);
    XmLayout layout;
    SerializeXm(module, &layout);
    const size_t headers = layout.instruments.back().samples.back().data;

    Random random(20240611);
    int loaded = 0;
    const int mutations = 3000;
    for (int m = 0; m < mutations; ++m) {
        std::vector<uint8_t> bytes = original;
        const int changes = 1 + int(random.Below(4));
        for (int c = 0; c < changes; ++c) {
            // Mostly the headers and patterns, where a byte changes the structure.
            const size_t at = random.Below(4) ? 17 + random.Below(uint32_t(headers - 17))
                                              : random.Below(uint32_t(bytes.size()));
            bytes[at] = InterestingByte(random);
        }
        if (random.Below(8) == 0)
            bytes.resize(random.Below(uint32_t(bytes.size())));
        Song* song = LoadFromBytes(bytes);
        if (song) {
            ++loaded;
            PlayAndFree(song, 100);  // 2 seconds
        }
        if (HasFatalFailure())
            return;
    }
    std::printf("%d of %d mutated modules loaded and played\n", loaded, mutations);
    EXPECT_GT(loaded, mutations / 10);
    EXPECT_LT(loaded, mutations);
}

TEST(Robustness, EveryTruncationThatLoadsPlays)
{
    // Without the trailing sample data the module still ends where a module
    // may end, so some truncations of this one load.
    XmModule module = MakeRichModule();
    module.instruments.pop_back();
    const std::vector<uint8_t> bytes = SerializeXm(module);
    int loaded = 0;
    for (size_t size = 0; size <= bytes.size(); ++size) {
        Song* song = LoadFromBytes(std::vector<uint8_t>(bytes.begin(), bytes.begin() + size));
        if (song) {
            ++loaded;
            PlayAndFree(song, 100);
        }
    }
    EXPECT_GE(loaded, 1);
}

TEST(Robustness, CorpusModulesLoadOrAreRefusedAndPlay)
{
    namespace fs = std::filesystem;
    const std::string folder = CorpusFolder();
    std::error_code error;
    if (!fs::is_directory(folder, error))
        GTEST_SKIP() << "no XM corpus at " << folder;
    std::vector<std::string> files;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, error))
        if (entry.path().extension() == ".xm")
            files.push_back(entry.path().string());
    std::sort(files.begin(), files.end());
    ASSERT_FALSE(files.empty());

    int loaded = 0;
    int found = 0;
    std::vector<std::string> refused;
    for (const std::string& file : files) {
        const std::vector<uint8_t> bytes = ReadWholeFile(file);
        ASSERT_FALSE(bytes.empty()) << file;
        Song* song = LoadFromBytes(bytes);
        if (!song) {
            refused.push_back(fs::path(file).filename().string());
            continue;
        }
        ++loaded;
        SCOPED_TRACE(file);
        // The length pass ends on every module, at a row start after the
        // row it returns to.
        const int64_t limit = int64_t(1800) * MixRate;
        const SongLength length = FindSongLength(song, 1, limit);
        if (length.found) {
            EXPECT_LT(length.loopFrame, length.songFrames);
        }
        EXPECT_LE(length.frames, limit);
        found += length.found;
        PlayAndFree(song, 150);  // 3 seconds
        if (HasFatalFailure())
            return;
    }
    std::printf(
        "corpus: %d of %zu modules loaded and played 3 s each, %d end within 30 minutes; "
        "refused:",
        loaded, files.size(), found);
    for (const std::string& name : refused)
        std::printf(" %s", name.c_str());
    std::printf("\n");
    // Nearly all of the corpus is well-formed enough to play.
    EXPECT_GE(loaded, int(files.size()) - 12);
    EXPECT_EQ(found, loaded);
}
