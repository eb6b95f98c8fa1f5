#pragma once

// A popup window and Direct3D 9 devices on it, made as the intro makes its own (32-bit
// ARGB back buffer, 16-bit depth, hardware vertex processing, no wait for the vertical
// blank) but windowed unless asked, so that they run on a virtual X server: what the
// device tests, the cross-check and the benchmarks draw with.
#include <d3d9.h>
#include <windows.h>

#include <cstdint>
#include <vector>

class DeviceWindow {
public:
    DeviceWindow() = default;
    DeviceWindow(const DeviceWindow&) = delete;
    DeviceWindow& operator=(const DeviceWindow&) = delete;
    ~DeviceWindow() { Close(); }

    // Registers the class, opens a width x height popup window at the screen's top-left
    // corner and Direct3D 9 (the window stays hidden). False when either fails.
    bool Open(int width, int height);
    // A new device on the window with a width x height back buffer, full screen at 60 Hz
    // when asked; null on failure. The caller releases it.
    IDirect3DDevice9* CreateDevice(UINT width, UINT height, bool fullScreen = false) const;
    // Destroys the window alone (a device may outlive it); false when there is none.
    bool DestroyWindow();
    // Releases Direct3D, destroys the window and unregisters the class; the devices made
    // are the caller's to release first.
    void Close();

    HWND Window() const { return m_window; }
    IDirect3D9* Direct3D() const { return m_d3d; }

private:
    HWND m_window = nullptr;
    IDirect3D9* m_d3d = nullptr;
    bool m_registered = false;
};

// The pixels of a render target as ARGB values, top row first: GetRenderTargetData into
// an off-screen plain surface in system memory, then LockRect. Empty on failure.
std::vector<uint32_t> ReadSurfacePixels(IDirect3DDevice9* device, IDirect3DSurface9* surface, UINT* width = nullptr,
                                        UINT* height = nullptr);
