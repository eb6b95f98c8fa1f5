#pragma once

// One GL buffer that per-draw data (vertices drawn from memory, shader parameters) is
// written into with glBufferSubData, front to back. When a draw's data no longer fits
// behind what was written, the buffer gets new storage (the old storage stays with the
// draws that still read it) and writing starts again at its front: nothing is mapped and
// nothing waits, as WebGL 2 requires, and nothing is created per draw.
#include "Gl.h"

#include <cstddef>

class StreamingBuffer {
public:
    bool Create(size_t size);
    void Destroy();
    // Makes sure that bytes (alignment padding included) can be written in one piece
    // without new storage; false when they exceed the buffer.
    bool Reserve(size_t bytes);
    // Writes size bytes at an offset that is a multiple of alignment and returns the
    // offset; -1 when they exceed the buffer.
    GLintptr Write(const void* data, size_t size, size_t alignment);
    GLuint Buffer() const { return m_buffer; }
    // Counts the new storages: data written under an earlier count is gone.
    unsigned Generation() const { return m_generation; }

private:
    void Renew();

    GLuint m_buffer = 0;
    size_t m_size = 0;
    size_t m_cursor = 0;
    unsigned m_generation = 0;
};
