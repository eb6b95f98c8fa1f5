#pragma once

// The headers of one wave-out device and the flags winmm keeps on them: a header
// is prepared, written (queued; the device plays the queue in order, a looping
// header as many times as it asks), marked done, then unprepared. The system's
// stand-in and the devices the tests and the capture tool install all keep their
// headers here; each device adds its own handle checks and locking.

#include <windows.h>

#include <mmsystem.h>

#include <cstddef>
#include <cstdint>
#include <deque>

class WaveHeaderQueue {
public:
    // The three header calls after the device has checked its handle: winmm's
    // refusals, in winmm's order, then the change of flags (Write queues the header).
    MMRESULT Prepare(LPWAVEHDR header, UINT headerSize);
    MMRESULT Write(LPWAVEHDR header, UINT headerSize);
    MMRESULT Unprepare(LPWAVEHDR header, UINT headerSize);

    // Copies up to `length` bytes of the queued headers in play order, marking each
    // header done as it ends; fewer once the queue runs dry. Returns the count copied.
    size_t Play(uint8_t* out, size_t length);
    // Marks every queued header done and empties the queue (a device reset).
    void RetireAll();

    bool Empty() const { return m_queue.empty(); }
    // The header that plays now; null when none is queued.
    LPWAVEHDR Front() const { return m_queue.empty() ? nullptr : m_queue.front(); }

private:
    void RetireFront();

    std::deque<LPWAVEHDR> m_queue;
    DWORD m_offset = 0;     // bytes of the front header already played
    DWORD m_playsLeft = 0;  // of the front header, counting the one under way
};
