#include "WaveHeaderQueue.h"

#include <algorithm>
#include <cstring>

namespace {

bool IsLoopHeader(const WAVEHDR* header)
{
    return (header->dwFlags & (WHDR_BEGINLOOP | WHDR_ENDLOOP)) == (WHDR_BEGINLOOP | WHDR_ENDLOOP);
}

DWORD PlaysOf(const WAVEHDR* header)
{
    return IsLoopHeader(header) && header->dwLoops > 1 ? header->dwLoops : 1;
}

MMRESULT CheckHeader(const WAVEHDR* header, UINT headerSize)
{
    if (!header || headerSize < sizeof(WAVEHDR))
        return MMSYSERR_INVALPARAM;
    if (header->dwFlags & WHDR_INQUEUE)
        return WAVERR_STILLPLAYING;
    return MMSYSERR_NOERROR;
}

}  // namespace

MMRESULT WaveHeaderQueue::Prepare(LPWAVEHDR header, UINT headerSize)
{
    if (const MMRESULT checked = CheckHeader(header, headerSize))
        return checked;
    header->dwFlags = (header->dwFlags & ~WHDR_DONE) | WHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT WaveHeaderQueue::Write(LPWAVEHDR header, UINT headerSize)
{
    if (!header || headerSize < sizeof(WAVEHDR))
        return MMSYSERR_INVALPARAM;
    if (!(header->dwFlags & WHDR_PREPARED))
        return WAVERR_UNPREPARED;
    if (header->dwFlags & WHDR_INQUEUE)
        return WAVERR_STILLPLAYING;
    header->dwFlags = (header->dwFlags & ~WHDR_DONE) | WHDR_INQUEUE;
    if (m_queue.empty()) {
        m_offset = 0;
        m_playsLeft = PlaysOf(header);
    }
    m_queue.push_back(header);
    return MMSYSERR_NOERROR;
}

MMRESULT WaveHeaderQueue::Unprepare(LPWAVEHDR header, UINT headerSize)
{
    if (const MMRESULT checked = CheckHeader(header, headerSize))
        return checked;
    header->dwFlags &= ~WHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

size_t WaveHeaderQueue::Play(uint8_t* out, size_t length)
{
    size_t copied = 0;
    while (copied < length && !m_queue.empty()) {
        LPWAVEHDR header = m_queue.front();
        if (header->dwBufferLength == 0 || !header->lpData) {
            RetireFront();
            continue;
        }
        const DWORD available = header->dwBufferLength - m_offset;
        const DWORD count = static_cast<DWORD>(std::min<size_t>(available, length - copied));
        std::memcpy(out + copied, header->lpData + m_offset, count);
        copied += count;
        m_offset += count;
        if (m_offset == header->dwBufferLength) {
            if (m_playsLeft > 1) {
                --m_playsLeft;
                m_offset = 0;
            } else {
                RetireFront();
            }
        }
    }
    return copied;
}

void WaveHeaderQueue::RetireAll()
{
    while (!m_queue.empty())
        RetireFront();
}

void WaveHeaderQueue::RetireFront()
{
    LPWAVEHDR done = m_queue.front();
    m_queue.pop_front();
    done->dwFlags = (done->dwFlags & ~WHDR_INQUEUE) | WHDR_DONE;
    m_offset = 0;
    m_playsLeft = m_queue.empty() ? 0 : PlaysOf(m_queue.front());
}
