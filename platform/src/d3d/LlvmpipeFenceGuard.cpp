#include "LlvmpipeFenceGuard.h"

#include <cstring>

namespace {

bool Signalled(GLsync sync)
{
    GLint status = GL_UNSIGNALED;
    glGetSynciv(sync, GL_SYNC_STATUS, 1, nullptr, &status);
    return status == GL_SIGNALED;
}

}  // namespace

bool LlvmpipeFenceGuard::NeededFor(const char* renderer, const char* setting)
{
    if (setting && std::strcmp(setting, "off") == 0)
        return false;
    return renderer && std::strstr(renderer, "llvmpipe") != nullptr;
}

void LlvmpipeFenceGuard::SceneEnds()
{
    if (!m_enabled)
        return;
    LetGoOfSettled();
    if (m_count == CAPACITY) {
        // The renderer is far behind. Once it is idle the newest scene held has finished,
        // which is what every older one waits for.
        glFinish();
        while (m_count > 1)
            DropOldest();
    }
    // The first sync ends the scene and refers to its fence; the second refers to the same.
    Scene& added = m_held[(m_first + m_count) % CAPACITY];
    added.asked = glFenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0);
    added.keeper = glFenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0);
    ++m_count;
}

void LlvmpipeFenceGuard::LetGoOfSettled()
{
    // The newest scene seen finished: every older one can go.
    size_t settled = m_count;
    for (size_t k = m_count; k-- > 0;) {
        Scene& h = m_held[(m_first + k) % CAPACITY];
        if (!h.asked) {
            settled = k;
            break;
        }
        if (Signalled(h.asked)) {
            glDeleteSync(h.asked);
            h.asked = nullptr;
            settled = k;
            break;
        }
    }
    if (settled == m_count)
        return;
    for (size_t k = 0; k < settled; ++k)
        DropOldest();
}

void LlvmpipeFenceGuard::DropOldest()
{
    Scene& h = m_held[m_first];
    if (h.asked)
        glDeleteSync(h.asked);
    if (h.keeper)
        glDeleteSync(h.keeper);
    h = Scene{};
    m_first = (m_first + 1) % CAPACITY;
    --m_count;
}

void LlvmpipeFenceGuard::Release()
{
    if (m_count == 0)
        return;
    // Once the renderer is idle the driver itself still holds the latest scene's fence,
    // so none of these is the last reference to a fence that is being signalled.
    glFinish();
    while (m_count > 0)
        DropOldest();
}
