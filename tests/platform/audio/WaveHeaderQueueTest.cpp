#include "WaveHeaderQueue.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

// The header states every wave-out device here keeps (the stand-in, the driven test
// device, the capture tool's device), on both systems.
namespace {

WAVEHDR Header(std::vector<char>& bytes, DWORD flags = 0, DWORD loops = 0)
{
    WAVEHDR header = {};
    header.lpData = bytes.data();
    header.dwBufferLength = static_cast<DWORD>(bytes.size());
    header.dwFlags = flags;
    header.dwLoops = loops;
    return header;
}

}  // namespace

TEST(WaveHeaderQueue, RefusesCallsOutOfTurnAsWinmmDoes)
{
    std::vector<char> bytes(8, 1);
    WAVEHDR header = Header(bytes, WHDR_DONE);
    WaveHeaderQueue queue;
    EXPECT_EQ(queue.Write(&header, sizeof header), WAVERR_UNPREPARED);
    EXPECT_EQ(queue.Prepare(&header, sizeof header - 1), MMSYSERR_INVALPARAM);
    EXPECT_EQ(queue.Prepare(nullptr, sizeof header), MMSYSERR_INVALPARAM);
    ASSERT_EQ(queue.Prepare(&header, sizeof header), MMSYSERR_NOERROR);
    EXPECT_EQ(header.dwFlags, DWORD(WHDR_PREPARED)) << "done is cleared";
    ASSERT_EQ(queue.Write(&header, sizeof header), MMSYSERR_NOERROR);
    EXPECT_EQ(header.dwFlags, DWORD(WHDR_PREPARED | WHDR_INQUEUE));
    EXPECT_EQ(queue.Front(), &header);
    EXPECT_EQ(queue.Write(&header, sizeof header), WAVERR_STILLPLAYING);
    EXPECT_EQ(queue.Prepare(&header, sizeof header), WAVERR_STILLPLAYING);
    EXPECT_EQ(queue.Unprepare(&header, sizeof header), WAVERR_STILLPLAYING);
    queue.RetireAll();
    EXPECT_TRUE(queue.Empty());
    EXPECT_EQ(header.dwFlags, DWORD(WHDR_PREPARED | WHDR_DONE));
    ASSERT_EQ(queue.Unprepare(&header, sizeof header), MMSYSERR_NOERROR);
    EXPECT_EQ(header.dwFlags, DWORD(WHDR_DONE));
}

TEST(WaveHeaderQueue, PlaysHeadersInOrderALoopAsOftenAsItAsks)
{
    std::vector<char> looped = {1, 2, 3};
    std::vector<char> empty;
    std::vector<char> once = {7, 8};
    WAVEHDR headers[3] = {Header(looped, WHDR_BEGINLOOP | WHDR_ENDLOOP, 3), Header(empty), Header(once)};
    WaveHeaderQueue queue;
    for (WAVEHDR& header : headers) {
        ASSERT_EQ(queue.Prepare(&header, sizeof header), MMSYSERR_NOERROR);
        ASSERT_EQ(queue.Write(&header, sizeof header), MMSYSERR_NOERROR);
    }
    // In pieces that end inside a header, between its plays and past the queue's end.
    std::vector<uint8_t> played;
    uint8_t piece[4];
    for (size_t copied; (copied = queue.Play(piece, sizeof piece)) > 0;) {
        played.insert(played.end(), piece, piece + copied);
        EXPECT_TRUE(copied == sizeof piece || queue.Empty());
    }
    EXPECT_EQ(played, (std::vector<uint8_t>{1, 2, 3, 1, 2, 3, 1, 2, 3, 7, 8}));
    for (const WAVEHDR& header : headers)
        EXPECT_EQ(header.dwFlags & (WHDR_INQUEUE | WHDR_DONE), DWORD(WHDR_DONE));
}
