#include <mmsystem.h>

#include <gtest/gtest.h>

#include <SDL.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

// The wave-out stand-in on SDL's disk audio driver, which writes what the device
// plays to a file at the pace of real playback.
namespace {

const DWORD RATE = 44100;

WAVEFORMATEX Stereo16()
{
    WAVEFORMATEX format = {};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 2;
    format.nSamplesPerSec = RATE;
    format.nAvgBytesPerSec = RATE * 4;
    format.nBlockAlign = 4;
    format.wBitsPerSample = 16;
    return format;
}

DWORD PositionBytes(HWAVEOUT waveOut)
{
    MMTIME time = {};
    time.wType = TIME_BYTES;
    EXPECT_EQ(waveOutGetPosition(waveOut, &time, sizeof time), MMSYSERR_NOERROR);
    EXPECT_EQ(time.wType, TIME_BYTES);
    return time.u.cb;
}

class WaveOut : public testing::Test {
protected:
    void SetUp() override
    {
        m_file = testing::TempDir() + "waveout_" + std::to_string(getpid()) + ".raw";
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", m_file.c_str(), 1);
    }
    void TearDown() override
    {
        unsetenv("SDL_AUDIODRIVER");
        unsetenv("SDL_DISKAUDIOFILE");
        std::remove(m_file.c_str());
    }

    std::vector<int16_t> Written() const
    {
        std::ifstream file(m_file, std::ios::binary);
        std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        std::vector<int16_t> samples(bytes.size() / 2);
        std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
        return samples;
    }

    std::string m_file;
};

}  // namespace

TEST_F(WaveOut, LoopingHeaderPlaysOverAndOverAndCountsBytes)
{
    // 1000 frames of a ramp that no two frames share, so the output shows where it
    // came from.
    std::vector<int16_t> ring(2000);
    for (int i = 0; i < 1000; ++i) {
        ring[2 * i] = static_cast<int16_t>(i + 1);
        ring[2 * i + 1] = static_cast<int16_t>(-(i + 1));
    }
    const WAVEFORMATEX format = Stereo16();
    HWAVEOUT waveOut = nullptr;
    ASSERT_EQ(waveOutOpen(&waveOut, WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
    ASSERT_NE(waveOut, nullptr);
    EXPECT_EQ(PositionBytes(waveOut), 0u);

    WAVEHDR header = {};
    header.lpData = reinterpret_cast<LPSTR>(ring.data());
    header.dwBufferLength = 4000;
    header.dwFlags = WHDR_BEGINLOOP | WHDR_ENDLOOP;
    header.dwLoops = 0xFFFFFFFFu;
    EXPECT_EQ(waveOutWrite(waveOut, &header, sizeof header), WAVERR_UNPREPARED);
    ASSERT_EQ(waveOutPrepareHeader(waveOut, &header, sizeof header), MMSYSERR_NOERROR);
    EXPECT_TRUE(header.dwFlags & WHDR_PREPARED);
    ASSERT_EQ(waveOutWrite(waveOut, &header, sizeof header), MMSYSERR_NOERROR);
    EXPECT_TRUE(header.dwFlags & WHDR_INQUEUE);

    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const DWORD first = PositionBytes(waveOut);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    const DWORD second = PositionBytes(waveOut);
    EXPECT_GT(first, 4000u * 2) << "the 4000-byte buffer has been played more than twice";
    EXPECT_GT(second, first);
    EXPECT_EQ(first % 4, 0u) << "whole frames";
    EXPECT_LT(second, RATE * 4 * 3) << "no faster than real time, give or take";

    MMTIME samples = {};
    samples.wType = TIME_SAMPLES;
    waveOutGetPosition(waveOut, &samples, sizeof samples);
    EXPECT_GE(samples.u.sample, second / 4);
    MMTIME odd = {};
    odd.wType = 0x0010;  // not offered: answered in bytes
    waveOutGetPosition(waveOut, &odd, sizeof odd);
    EXPECT_EQ(odd.wType, TIME_BYTES);

    EXPECT_EQ(waveOutUnprepareHeader(waveOut, &header, sizeof header), WAVERR_STILLPLAYING);
    EXPECT_EQ(waveOutClose(waveOut), WAVERR_STILLPLAYING);
    ASSERT_EQ(waveOutReset(waveOut), MMSYSERR_NOERROR);
    EXPECT_FALSE(header.dwFlags & WHDR_INQUEUE);
    EXPECT_TRUE(header.dwFlags & WHDR_DONE);
    EXPECT_EQ(PositionBytes(waveOut), 0u) << "reset starts the count again";
    EXPECT_EQ(waveOutUnprepareHeader(waveOut, &header, sizeof header), MMSYSERR_NOERROR);
    EXPECT_FALSE(header.dwFlags & WHDR_PREPARED);
    ASSERT_EQ(waveOutClose(waveOut), MMSYSERR_NOERROR);
    EXPECT_EQ(waveOutGetPosition(waveOut, &samples, sizeof samples), MMSYSERR_INVALHANDLE);

    // What reached the device: the ring again and again from its first frame (after
    // the silence SDL plays while the device waits for its first header).
    const std::vector<int16_t> written = Written();
    size_t begin = 0;
    while (begin < written.size() && written[begin] == 0)
        ++begin;
    ASSERT_GE(written.size(), begin + 3u * 2000u);
    for (size_t i = 0; i < first / 2 && begin + i < written.size(); ++i)
        ASSERT_EQ(written[begin + i], ring[i % 2000]) << "sample " << i;
}

TEST_F(WaveOut, HeaderWithoutLoopPlaysOnceThenSilence)
{
    std::vector<int16_t> once(400, 1234);
    const WAVEFORMATEX format = Stereo16();
    HWAVEOUT waveOut = nullptr;
    ASSERT_EQ(waveOutOpen(&waveOut, WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
    WAVEHDR header = {};
    header.lpData = reinterpret_cast<LPSTR>(once.data());
    header.dwBufferLength = 800;
    waveOutPrepareHeader(waveOut, &header, sizeof header);
    waveOutWrite(waveOut, &header, sizeof header);
    const auto start = std::chrono::steady_clock::now();
    while (!(header.dwFlags & WHDR_DONE) && std::chrono::steady_clock::now() - start < std::chrono::seconds(5))
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_TRUE(header.dwFlags & WHDR_DONE);
    EXPECT_FALSE(header.dwFlags & WHDR_INQUEUE);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(PositionBytes(waveOut), 800u) << "silence after the end is not counted";
    EXPECT_EQ(waveOutUnprepareHeader(waveOut, &header, sizeof header), MMSYSERR_NOERROR);
    EXPECT_EQ(waveOutClose(waveOut), MMSYSERR_NOERROR);

    const std::vector<int16_t> written = Written();
    size_t begin = 0;
    while (begin < written.size() && written[begin] == 0)
        ++begin;
    ASSERT_GE(written.size(), begin + 400u);
    for (size_t i = begin; i < written.size(); ++i)
        ASSERT_EQ(written[i], i < begin + 400 ? 1234 : 0) << i;
}

TEST_F(WaveOut, NoAudioDeviceFailsCleanly)
{
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    const WAVEFORMATEX format = Stereo16();
    HWAVEOUT waveOut = reinterpret_cast<HWAVEOUT>(0x1);
    EXPECT_EQ(waveOutOpen(&waveOut, WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL), MMSYSERR_NODRIVER);
    EXPECT_EQ(waveOut, reinterpret_cast<HWAVEOUT>(0x1)) << "the handle is left alone";
    EXPECT_FALSE(SDL_WasInit(SDL_INIT_AUDIO)) << "nothing left running";
}

TEST_F(WaveOut, FormatsAndArgumentsAreChecked)
{
    WAVEFORMATEX format = Stereo16();
    HWAVEOUT waveOut = nullptr;
    EXPECT_EQ(waveOutOpen(&waveOut, WAVE_MAPPER, &format, 0, 0, WAVE_FORMAT_QUERY), MMSYSERR_NOERROR);
    EXPECT_EQ(waveOut, nullptr) << "a query opens nothing";
    EXPECT_EQ(waveOutOpen(&waveOut, WAVE_MAPPER, nullptr, 0, 0, 0), MMSYSERR_INVALPARAM);
    EXPECT_EQ(waveOutOpen(&waveOut, 7, &format, 0, 0, 0), MMSYSERR_BADDEVICEID);
    EXPECT_EQ(waveOutOpen(&waveOut, WAVE_MAPPER, &format, 0, 0, 0x00030000u), MMSYSERR_NOTSUPPORTED)
        << "function callbacks are not offered";
    format.wBitsPerSample = 24;
    EXPECT_EQ(waveOutOpen(&waveOut, WAVE_MAPPER, &format, 0, 0, 0), WAVERR_BADFORMAT);
    format = Stereo16();
    format.nBlockAlign = 3;
    EXPECT_EQ(waveOutOpen(&waveOut, WAVE_MAPPER, &format, 0, 0, 0), WAVERR_BADFORMAT);
    format = Stereo16();
    format.wFormatTag = 3;
    EXPECT_EQ(waveOutOpen(&waveOut, WAVE_MAPPER, &format, 0, 0, 0), WAVERR_BADFORMAT);
    EXPECT_EQ(waveOut, nullptr);

    WAVEHDR header = {};
    MMTIME time = {};
    EXPECT_EQ(waveOutPrepareHeader(nullptr, &header, sizeof header), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(waveOutWrite(nullptr, &header, sizeof header), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(waveOutGetPosition(nullptr, &time, sizeof time), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(waveOutReset(nullptr), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(waveOutClose(nullptr), MMSYSERR_INVALHANDLE);

    format = Stereo16();
    ASSERT_EQ(waveOutOpen(&waveOut, WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
    // The header size must be the real one: 32 is the 32-bit Windows size.
    EXPECT_EQ(waveOutPrepareHeader(waveOut, &header, 32), MMSYSERR_INVALPARAM);
    EXPECT_EQ(waveOutGetPosition(waveOut, &time, 8), MMSYSERR_INVALPARAM);
    EXPECT_EQ(waveOutClose(waveOut), MMSYSERR_NOERROR);
}
