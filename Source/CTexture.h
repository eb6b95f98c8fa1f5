#pragma once

#include <d3d9.h>

// A texture made from a DDS image in the executable's resources.
class CTexture {
public:
    // Never null; on failure the handle is null and both sizes 0 (reported once).
    static CTexture* Load(WORD resourceId);

    UINT m_Width;
    UINT m_Height;
    IDirect3DTexture9* m_pHandle;

private:
    CTexture() : m_Width(0), m_Height(0), m_pHandle(NULL) {}
    static bool m_bLoadAssertIgnored;
};
