#include "StreamingBuffer.h"

bool StreamingBuffer::Create(size_t size)
{
    m_size = size;
    glGenBuffers(1, &m_buffer);
    Renew();
    return m_buffer != 0 && glGetError() == GL_NO_ERROR;
}

void StreamingBuffer::Destroy()
{
    if (m_buffer)
        glDeleteBuffers(1, &m_buffer);
    m_buffer = 0;
}

void StreamingBuffer::Renew()
{
    // New storage of the same size: the driver keeps the old one for the draws queued on it.
    glBindBuffer(GL_COPY_WRITE_BUFFER, m_buffer);
    glBufferData(GL_COPY_WRITE_BUFFER, static_cast<GLsizeiptr>(m_size), nullptr, GL_STREAM_DRAW);
    m_cursor = 0;
    ++m_generation;
}

bool StreamingBuffer::Reserve(size_t bytes)
{
    if (!m_buffer || bytes > m_size)
        return false;
    if (bytes > m_size - m_cursor)
        Renew();
    return true;
}

GLintptr StreamingBuffer::Write(const void* data, size_t size, size_t alignment)
{
    if (!m_buffer || size == 0 || size > m_size || alignment == 0)
        return -1;
    size_t start = (m_cursor + alignment - 1) / alignment * alignment;
    if (start > m_size || size > m_size - start) {
        Renew();
        start = 0;
    }
    glBindBuffer(GL_COPY_WRITE_BUFFER, m_buffer);
    glBufferSubData(GL_COPY_WRITE_BUFFER, static_cast<GLintptr>(start), static_cast<GLsizeiptr>(size), data);
    m_cursor = start + size;
    return static_cast<GLintptr>(start);
}
