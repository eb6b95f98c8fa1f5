#include "StreamingBuffer.h"

bool StreamingBuffer::Create(size_t size, LlvmpipeFenceGuard* guard)
{
    m_guard = guard;
    m_size = size - size % SEGMENTS;
    const GLbitfield flags = GL_MAP_WRITE_BIT | GL_MAP_PERSISTENT_BIT | GL_MAP_COHERENT_BIT;
    glCreateBuffers(1, &m_buffer);
    glNamedBufferStorage(m_buffer, static_cast<GLsizeiptr>(m_size), nullptr, flags);
    m_mapped = static_cast<unsigned char*>(glMapNamedBufferRange(m_buffer, 0, static_cast<GLsizeiptr>(m_size), flags));
    m_cursor = 0;
    m_segment = 0;
    return m_mapped != nullptr;
}

void StreamingBuffer::Destroy()
{
    for (GLsync& fence : m_fences) {
        if (fence)
            glDeleteSync(fence);
        fence = nullptr;
    }
    if (m_buffer) {
        if (m_mapped)
            glUnmapNamedBuffer(m_buffer);
        glDeleteBuffers(1, &m_buffer);
    }
    m_buffer = 0;
    m_mapped = nullptr;
}

void* StreamingBuffer::Allocate(size_t size, size_t alignment, GLintptr& offset)
{
    const size_t segmentSize = m_size / SEGMENTS;
    if (!m_mapped || size == 0 || size > segmentSize || alignment == 0)
        return nullptr;
    size_t start = (m_cursor + alignment - 1) / alignment * alignment;
    if (start + size > (m_segment + 1) * segmentSize) {
        // Leaving this segment: fence what was drawn from it, and wait until the GPU is
        // done with the next one before writing there.
        if (m_fences[m_segment])
            glDeleteSync(m_fences[m_segment]);
        if (m_guard)
            m_guard->SceneEnds();
        m_fences[m_segment] = glFenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0);
        m_segment = (m_segment + 1) % SEGMENTS;
        if (GLsync& next = m_fences[m_segment]) {
            while (glClientWaitSync(next, GL_SYNC_FLUSH_COMMANDS_BIT, 1000000000) == GL_TIMEOUT_EXPIRED) {
            }
            glDeleteSync(next);
            next = nullptr;
        }
        start = m_segment * segmentSize;
    }
    m_cursor = start + size;
    offset = static_cast<GLintptr>(start);
    return m_mapped + start;
}
