#pragma once

// One persistently mapped GL buffer that per-draw data (vertices drawn from memory,
// shader parameters) is written into, front to back, wrapping round. The buffer is split
// into segments, each fenced when the writer leaves it, so that no data still waiting to
// be drawn is overwritten; in steady state nothing is allocated or created per draw.
#include "LlvmpipeFenceGuard.h"

#include <epoxy/gl.h>

#include <cstddef>

class StreamingBuffer {
public:
    // The guard sees each fence the buffer takes, which ends the renderer's scene.
    bool Create(size_t size, LlvmpipeFenceGuard* guard);
    void Destroy();
    // Room for size bytes at an offset that is a multiple of alignment; null when size
    // exceeds a segment.
    void* Allocate(size_t size, size_t alignment, GLintptr& offset);
    GLuint Buffer() const { return m_buffer; }

private:
    static const int SEGMENTS = 4;
    GLuint m_buffer = 0;
    unsigned char* m_mapped = nullptr;
    size_t m_size = 0;
    size_t m_cursor = 0;
    size_t m_segment = 0;  // the segment being written
    GLsync m_fences[SEGMENTS] = {};
    LlvmpipeFenceGuard* m_guard = nullptr;
};
