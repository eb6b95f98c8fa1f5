#include "TestSongs.h"

#include "Player.h"
#include "XmWriter.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

const std::vector<uint8_t>* s_pBytes = nullptr;

struct MemoryInput {
    size_t position;
};

void* Open(const char*)
{
    return s_pBytes ? new MemoryInput{0} : nullptr;
}

void Close(void* handle)
{
    delete static_cast<MemoryInput*>(handle);
}

int Read(void* destination, int count, void* handle)
{
    MemoryInput* input = static_cast<MemoryInput*>(handle);
    if (count <= 0 || input->position >= s_pBytes->size())
        return 0;
    const size_t n = std::min(static_cast<size_t>(count), s_pBytes->size() - input->position);
    std::memcpy(destination, s_pBytes->data() + input->position, n);
    input->position += n;
    return static_cast<int>(n);
}

void Seek(void* handle, int offset, int origin)
{
    MemoryInput* input = static_cast<MemoryInput*>(handle);
    long long position = static_cast<long long>(input->position);
    switch (origin & 0xFF) {
    case 0: position = offset; break;
    case 1: position += offset; break;
    case 2: position = static_cast<long long>(s_pBytes->size()) + offset; break;
    default: break;
    }
    if (position < 0)
        position = 0;
    if (position > static_cast<long long>(s_pBytes->size()))
        position = static_cast<long long>(s_pBytes->size());
    input->position = static_cast<size_t>(position);
}

int Tell(void* handle)
{
    return static_cast<int>(static_cast<MemoryInput*>(handle)->position);
}

}  // namespace

std::vector<uint8_t> MakeTestModule(int variant)
{
    XmModule module = MakeXmModule(2);
    module.tempo = 3 + variant;
    module.bpm = 125 + 10 * variant;
    std::vector<int8_t> wave(64);
    for (int i = 0; i < 64; ++i)
        wave[i] = static_cast<int8_t>(std::lround(100.0 * std::sin(6.2831853 * i / 64.0 * (1 + variant))));
    XmSample sample = MakeXmSample8(wave);
    SetXmLoop(sample, XM_FORWARD_LOOP, 0, 64);
    const int instrument = AddXmInstrument(module, MakeXmInstrument(sample, "tone"));
    const char* notes[2][4] = {{"C-4", "E-4", "G-4", "C-5"}, {"A-3", "D-4", "F-4", "B-4"}};
    for (int p = 0; p < 3; ++p) {
        XmPattern& pattern = AddXmPattern(module, 16);
        for (int row = 0; row < 16; row += 2)
            pattern.At(row, row / 2 % 2) = XmCell{XmNote(notes[variant % 2][(row / 2 + p) % 4]),
                                                  static_cast<uint8_t>(instrument), 0x30, 0, 0};
    }
    module.orders = {0, 1, 2, 1, 0, 2, 2, 1};
    return SerializeXm(module);
}

Song* LoadTestSong(const std::vector<uint8_t>& bytes)
{
    s_pBytes = &bytes;
    RegisterTestCallbacks();
    return LoadSong("", nullptr);
}

void RegisterTestCallbacks()
{
    SetFileCallbacks(&Open, &Close, &Read, &Seek, &Tell);
}

void ClearTestCallbacks()
{
    SetFileCallbacks(nullptr, nullptr, nullptr, nullptr, nullptr);
}
