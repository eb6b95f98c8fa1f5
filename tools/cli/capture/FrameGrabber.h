#pragma once

// Reads the finished frame through the Direct3D 9 API, as an application would:
// the back buffer is copied into a system-memory surface (GetRenderTargetData)
// and locked there.

#include <d3d9.h>

#include <cstdint>
#include <vector>

class FrameGrabber {
public:
    FrameGrabber() = default;
    FrameGrabber(const FrameGrabber&) = delete;
    FrameGrabber& operator=(const FrameGrabber&) = delete;
    ~FrameGrabber() { Release(); }

    // ARGB pixels of the back buffer, top row first. False when the device
    // would not give them.
    bool Grab(IDirect3DDevice9* pDevice, std::vector<uint32_t>& pixels, UINT& width, UINT& height);
    // Gives the copy surface back; call before the device goes.
    void Release();

private:
    IDirect3DSurface9* m_pCopy = nullptr;  // kept between grabs: same size every frame
};
