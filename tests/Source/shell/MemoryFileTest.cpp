#include "MemoryFile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

class MemoryFileTest : public testing::Test {
protected:
    void SetUp() override
    {
        for (int i = 0; i < SIZE; ++i)
            m_bytes[i] = static_cast<unsigned char>(i * 7 + 1);
        SetMusicData(m_bytes, SIZE);
        m_pFile = MemoryFileOpen("ignored.xm");
        ASSERT_NE(m_pFile, nullptr);
    }
    void TearDown() override
    {
        MemoryFileClose(m_pFile);
        SetMusicData(nullptr, 0);
        SetMemoryFileAllocator(nullptr);
    }

    static constexpr int SIZE = 1000;
    unsigned char m_bytes[SIZE];
    void* m_pFile = nullptr;
};

void* FailingAllocator(size_t, size_t)
{
    return nullptr;
}

}  // namespace

TEST_F(MemoryFileTest, ReadsFromTheStartAndAdvances)
{
    unsigned char buffer[16];
    EXPECT_EQ(MemoryFileTell(m_pFile), 0);
    EXPECT_EQ(MemoryFileRead(buffer, 16, m_pFile), 16);
    EXPECT_EQ(std::memcmp(buffer, m_bytes, 16), 0);
    EXPECT_EQ(MemoryFileTell(m_pFile), 16);
    EXPECT_EQ(MemoryFileRead(buffer, 4, m_pFile), 4);
    EXPECT_EQ(std::memcmp(buffer, m_bytes + 16, 4), 0);
}

TEST_F(MemoryFileTest, ReadAcrossTheEndReturnsWhatIsLeft)
{
    unsigned char buffer[100];
    std::memset(buffer, 0xEE, sizeof buffer);
    MemoryFileSeek(m_pFile, SIZE - 10, 0);
    EXPECT_EQ(MemoryFileRead(buffer, 100, m_pFile), 10);
    EXPECT_EQ(std::memcmp(buffer, m_bytes + SIZE - 10, 10), 0);
    EXPECT_EQ(buffer[10], 0xEE) << "nothing written past what was read";
    EXPECT_EQ(MemoryFileTell(m_pFile), SIZE);
    EXPECT_EQ(MemoryFileRead(buffer, 100, m_pFile), 0);
    EXPECT_EQ(MemoryFileTell(m_pFile), SIZE);
}

TEST_F(MemoryFileTest, ReadOfExactlyTheRestAndEmptyOrNegativeCounts)
{
    unsigned char buffer[8];
    MemoryFileSeek(m_pFile, SIZE - 8, 0);
    EXPECT_EQ(MemoryFileRead(buffer, 8, m_pFile), 8);
    MemoryFileSeek(m_pFile, 0, 0);
    EXPECT_EQ(MemoryFileRead(buffer, 0, m_pFile), 0);
    EXPECT_EQ(MemoryFileRead(buffer, -5, m_pFile), 0);
    EXPECT_EQ(MemoryFileTell(m_pFile), 0);
}

TEST_F(MemoryFileTest, HugeCountDoesNotOverflow)
{
    std::vector<unsigned char> buffer(SIZE);
    MemoryFileSeek(m_pFile, 600, 0);
    EXPECT_EQ(MemoryFileRead(buffer.data(), 0x7FFFFFFF, m_pFile), SIZE - 600);
    EXPECT_EQ(MemoryFileTell(m_pFile), SIZE);
}

TEST_F(MemoryFileTest, SeekOrigins)
{
    MemoryFileSeek(m_pFile, 100, 0);
    EXPECT_EQ(MemoryFileTell(m_pFile), 100);
    MemoryFileSeek(m_pFile, 50, 1);
    EXPECT_EQ(MemoryFileTell(m_pFile), 150);
    MemoryFileSeek(m_pFile, -30, 1);
    EXPECT_EQ(MemoryFileTell(m_pFile), 120);
    MemoryFileSeek(m_pFile, 0, 2);
    EXPECT_EQ(MemoryFileTell(m_pFile), SIZE);
    MemoryFileSeek(m_pFile, -20, 2);
    EXPECT_EQ(MemoryFileTell(m_pFile), SIZE - 20);
}

TEST_F(MemoryFileTest, SeekPastTheEndClampsToTheSize)
{
    MemoryFileSeek(m_pFile, SIZE + 50, 0);
    EXPECT_EQ(MemoryFileTell(m_pFile), SIZE);
    MemoryFileSeek(m_pFile, 10, 2);
    EXPECT_EQ(MemoryFileTell(m_pFile), SIZE);
    MemoryFileSeek(m_pFile, 500, 0);
    MemoryFileSeek(m_pFile, 0x7FFFFFFF, 1);
    EXPECT_EQ(MemoryFileTell(m_pFile), SIZE);
}

TEST_F(MemoryFileTest, SeekBeforeTheStartClampsToZero)
{
    MemoryFileSeek(m_pFile, -5, 0);
    EXPECT_EQ(MemoryFileTell(m_pFile), 0);
    MemoryFileSeek(m_pFile, 10, 0);
    MemoryFileSeek(m_pFile, -11, 1);
    EXPECT_EQ(MemoryFileTell(m_pFile), 0);
    MemoryFileSeek(m_pFile, -(SIZE + 1), 2);
    EXPECT_EQ(MemoryFileTell(m_pFile), 0);
    MemoryFileSeek(m_pFile, 500, 0);
    MemoryFileSeek(m_pFile, -0x7FFFFFFF - 1, 1);
    EXPECT_EQ(MemoryFileTell(m_pFile), 0);

    unsigned char first;
    EXPECT_EQ(MemoryFileRead(&first, 1, m_pFile), 1);
    EXPECT_EQ(first, m_bytes[0]);
}

TEST_F(MemoryFileTest, OnlyTheLowByteOfTheOriginCounts)
{
    MemoryFileSeek(m_pFile, 300, 0);
    MemoryFileSeek(m_pFile, 40, 256);  // acts as origin 0
    EXPECT_EQ(MemoryFileTell(m_pFile), 40);
    MemoryFileSeek(m_pFile, 5, 0x101);  // acts as origin 1
    EXPECT_EQ(MemoryFileTell(m_pFile), 45);
    MemoryFileSeek(m_pFile, 7, 3);  // unknown: unchanged
    EXPECT_EQ(MemoryFileTell(m_pFile), 45);
    MemoryFileSeek(m_pFile, 7, -1);  // low byte 0xFF: unknown too
    EXPECT_EQ(MemoryFileTell(m_pFile), 45);
}

TEST_F(MemoryFileTest, TwoOpensHaveIndependentPositions)
{
    void* second = MemoryFileOpen("");
    ASSERT_NE(second, nullptr);
    ASSERT_NE(second, m_pFile);
    MemoryFileSeek(m_pFile, 200, 0);
    unsigned char a = 0, b = 0;
    EXPECT_EQ(MemoryFileRead(&b, 1, second), 1);
    EXPECT_EQ(MemoryFileRead(&a, 1, m_pFile), 1);
    EXPECT_EQ(b, m_bytes[0]);
    EXPECT_EQ(a, m_bytes[200]);
    EXPECT_EQ(MemoryFileTell(second), 1);
    EXPECT_EQ(MemoryFileTell(m_pFile), 201);
    MemoryFileClose(second);
    EXPECT_EQ(MemoryFileTell(m_pFile), 201);
}

TEST_F(MemoryFileTest, OpenSeesTheMusicDataOfItsTime)
{
    const MemoryFile* file = static_cast<const MemoryFile*>(m_pFile);
    EXPECT_EQ(file->size, SIZE);
    EXPECT_EQ(file->position, 0);
    EXPECT_EQ(file->data, m_bytes);
    EXPECT_EQ(GetMusicData(), m_bytes);
    EXPECT_EQ(GetMusicSize(), SIZE);
}

TEST_F(MemoryFileTest, NoMusicIsAnEmptyFile)
{
    SetMusicData(nullptr, 0);
    void* empty = MemoryFileOpen("");
    ASSERT_NE(empty, nullptr);
    unsigned char buffer[4];
    EXPECT_EQ(MemoryFileRead(buffer, 4, empty), 0);
    MemoryFileSeek(empty, 10, 0);
    EXPECT_EQ(MemoryFileTell(empty), 0);
    MemoryFileClose(empty);

    SetMusicData(m_bytes, -4);
    EXPECT_EQ(GetMusicSize(), 0) << "a negative size is no data";
}

TEST_F(MemoryFileTest, OpenReturnsNullWhenOutOfMemory)
{
    SetMemoryFileAllocator(&FailingAllocator);
    EXPECT_EQ(MemoryFileOpen(""), nullptr);
    SetMemoryFileAllocator(nullptr);
    void* file = MemoryFileOpen("");
    EXPECT_NE(file, nullptr);
    MemoryFileClose(file);
}

TEST(MemoryFile, NullHandleIsHarmless)
{
    unsigned char buffer[4];
    EXPECT_EQ(MemoryFileRead(buffer, 4, nullptr), 0);
    MemoryFileSeek(nullptr, 1, 0);
    EXPECT_EQ(MemoryFileTell(nullptr), 0);
    MemoryFileClose(nullptr);
}
