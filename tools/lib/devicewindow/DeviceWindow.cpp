#include "DeviceWindow.h"

#include <cstring>

namespace {

const char CLASS_NAME[] = "SkelvaneDeviceWindow";

LRESULT CALLBACK DeviceWindowProc(HWND window, UINT message, WPARAM w, LPARAM l)
{
    return DefWindowProcA(window, message, w, l);
}

}  // namespace

bool DeviceWindow::Open(int width, int height)
{
    WNDCLASSEXA c = {};
    c.cbSize = sizeof c;
    c.lpfnWndProc = &DeviceWindowProc;
    c.hInstance = GetModuleHandleA(nullptr);
    c.lpszClassName = CLASS_NAME;
    m_registered = RegisterClassExA(&c) != 0;
    m_window = CreateWindowExA(0, CLASS_NAME, "", WS_POPUP, 0, 0, width, height, nullptr, nullptr, c.hInstance,
                               nullptr);
    m_d3d = m_window ? Direct3DCreate9(D3D_SDK_VERSION) : nullptr;
    return m_d3d != nullptr;
}

IDirect3DDevice9* DeviceWindow::CreateDevice(UINT width, UINT height, bool fullScreen) const
{
    if (!m_d3d)
        return nullptr;
    D3DPRESENT_PARAMETERS p = {};
    p.BackBufferWidth = width;
    p.BackBufferHeight = height;
    p.BackBufferFormat = D3DFMT_A8R8G8B8;
    p.SwapEffect = D3DSWAPEFFECT_DISCARD;
    p.Windowed = fullScreen ? FALSE : TRUE;
    p.EnableAutoDepthStencil = TRUE;
    p.AutoDepthStencilFormat = D3DFMT_D16;
    p.FullScreen_RefreshRateInHz = fullScreen ? 60 : 0;
    p.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
    IDirect3DDevice9* device = nullptr;
    if (FAILED(m_d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, m_window, D3DCREATE_HARDWARE_VERTEXPROCESSING,
                                   &p, &device)))
        return nullptr;
    return device;
}

bool DeviceWindow::DestroyWindow()
{
    const bool destroyed = m_window && ::DestroyWindow(m_window);
    m_window = nullptr;
    return destroyed;
}

void DeviceWindow::Close()
{
    if (m_d3d)
        m_d3d->Release();
    m_d3d = nullptr;
    DestroyWindow();
    if (m_registered)
        UnregisterClassA(CLASS_NAME, GetModuleHandleA(nullptr));
    m_registered = false;
}

std::vector<uint32_t> ReadSurfacePixels(IDirect3DDevice9* device, IDirect3DSurface9* surface, UINT* width, UINT* height)
{
    std::vector<uint32_t> pixels;
    D3DSURFACE_DESC desc;
    IDirect3DSurface9* copy = nullptr;
    if (!surface || FAILED(surface->GetDesc(&desc)) ||
        FAILED(device->CreateOffscreenPlainSurface(desc.Width, desc.Height, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM, &copy,
                                                   nullptr)))
        return pixels;
    D3DLOCKED_RECT locked;
    if (SUCCEEDED(device->GetRenderTargetData(surface, copy)) &&
        SUCCEEDED(copy->LockRect(&locked, nullptr, D3DLOCK_READONLY))) {
        pixels.resize(static_cast<size_t>(desc.Width) * desc.Height);
        for (UINT y = 0; y < desc.Height; ++y)
            std::memcpy(&pixels[static_cast<size_t>(y) * desc.Width],
                        static_cast<const unsigned char*>(locked.pBits) + static_cast<size_t>(y) * locked.Pitch,
                        desc.Width * 4);
        copy->UnlockRect();
        if (width)
            *width = desc.Width;
        if (height)
            *height = desc.Height;
    }
    copy->Release();
    return pixels;
}
