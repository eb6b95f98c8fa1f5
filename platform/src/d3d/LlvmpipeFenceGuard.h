#pragma once

// Works around a use-after-free in Mesa's software renderer, llvmpipe (seen with Debian
// 12's Mesa 22.3.6, and the code is unchanged in later releases).
//
// Every llvmpipe scene has a fence that each rasteriser thread signals once: lock,
// count++, broadcast, unlock. When the driver reuses a scene it looks at that count
// without the lock and, if the count is complete, drops the scene's reference to the
// fence; when that was the last reference the fence is freed while the last rasteriser
// thread may still be between its count++ and its unlock, and the unlock writes into
// freed memory (glibc's malloc faults later). It takes several scenes in flight, as the
// render-target switches of the intro's main part give.
//
// The guard holds a reference of its own to every scene's fence (a GL sync object taken
// where a scene ends) and lets go of it only once a later scene has finished. The
// rasteriser threads take scenes in order, each thread signalling one scene's fence before
// it starts the next scene, so by then no thread can still be inside the earlier fence's
// unlock, and whoever frees it frees it safely. A sync object drops its own reference as
// soon as it is seen signalled, so each scene gets two: the one that is asked and the one
// that keeps the fence. Nothing waits unless the renderer falls CAPACITY scenes behind;
// the cost is two fence syncs per scene.
#include "Gl.h"

#include <cstddef>

class LlvmpipeFenceGuard {
public:
    // On for llvmpipe only (GL_RENDERER); any other renderer pays nothing. The setting,
    // the environment variable named by SETTING, turns it off with "off" to measure what
    // it costs or to reproduce the fault.
    static constexpr const char* SETTING = "SKELVANE_LLVMPIPE_FENCE_GUARD";
    static bool NeededFor(const char* renderer, const char* setting);
    void Enable(bool enabled) { m_enabled = enabled; }
    bool Enabled() const { return m_enabled; }
    // Call before anything that ends the driver's current scene: a framebuffer binding,
    // a blit, a read-back, a fence sync, the swap.
    void SceneEnds();
    // Fence references still held (at least the latest scene's while enabled).
    size_t Held() const { return m_count; }
    // At the device's end: waits for the renderer, then lets go of everything.
    void Release();

private:
    struct Scene {
        GLsync asked = nullptr;  // null once seen signalled
        GLsync keeper = nullptr;
    };
    static const size_t CAPACITY = 64;
    void LetGoOfSettled();
    void DropOldest();

    bool m_enabled = false;
    Scene m_held[CAPACITY] = {};  // a ring: m_first is the oldest of m_count
    size_t m_first = 0;
    size_t m_count = 0;
};
