// The committed assets must be exactly what the generators make now: a
// generator change without regenerated assets (or a hand-edited asset) fails
// here. Linux only: the generators are native tools.
#include "DataFiles.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

class Regenerate : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/skv-assets-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        m_folder = pattern;
        ASSERT_EQ(std::system(("mkdir -p '" + m_folder + "/preview'").c_str()), 0);
    }
    void TearDown() override
    {
        if (!m_folder.empty())
            std::system(("rm -rf '" + m_folder + "'").c_str());
    }

    void Run(const std::string& command) { ASSERT_EQ(std::system(command.c_str()), 0) << command; }

    void ExpectSameAsCommitted(const std::string& name)
    {
        const std::vector<uint8_t> committed = ReadDataFile(name);
        const std::vector<uint8_t> fresh = ReadFileBytes(m_folder + "/" + name);
        ASSERT_FALSE(committed.empty()) << name << " is missing from Data/";
        ASSERT_FALSE(fresh.empty()) << name << " was not generated";
        EXPECT_TRUE(committed == fresh) << name << " differs from what the generator makes now; "
                                        << "run tools/regenerate-assets.sh";
    }

    std::string m_folder;
};

}  // namespace

TEST_F(Regenerate, PicturesAndPreviewsRebuildByteForByte)
{
    Run(std::string("'") + GEN_IMAGES + "' '" + m_folder + "'");
    for (const char* name :
         {"logo.dds", "background.dds", "title.dds", "preview/logo.png", "preview/background.png", "preview/title.png"})
        ExpectSameAsCommitted(name);
}

TEST_F(Regenerate, CubeMeshRebuildsByteForByte)
{
    Run(std::string("'") + GEN_MESH + "' '" + m_folder + "/cube.x' > /dev/null");
    ExpectSameAsCommitted("cube.x");
}

TEST_F(Regenerate, ScrollTextRebuildsByteForByte)
{
    Run(std::string("'") + GEN_SCROLLTEXT + "' '" + m_folder + "/ScrollText.inc'");
    ExpectSameAsCommitted("ScrollText.inc");
}

TEST_F(Regenerate, MusicRebuildsByteForByte)
{
    Run(std::string("'") + GEN_MUSIC + "' '" + m_folder + "/music.xm'");
    ExpectSameAsCommitted("music.xm");
}

TEST_F(Regenerate, TranslatedEffectsRebuildByteForByte)
{
    Run(std::string("'") + GEN_EFFECTS + "' '" + m_folder + "/effects.store' '" + SKV_DATA_DIR + "'/*.fx > /dev/null");
    ExpectSameAsCommitted("effects.store");
}

TEST_F(Regenerate, GlyphMeshesRebakeByteForByte)
{
    Run(std::string("'") + GEN_TEXTMESHES + "' '" + m_folder + "/TextMeshes.bin'");
    ExpectSameAsCommitted("TextMeshes.bin");
}
