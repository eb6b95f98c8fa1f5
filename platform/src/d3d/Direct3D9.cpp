#include "Device.h"
#include "RefCounted.h"
#include "win/PlatformWindow.h"

#include <new>

namespace {

class Direct3D9 final : public RefCounted<IDirect3D9> {
public:
    HRESULT WINAPI CreateDevice(UINT Adapter, D3DDEVTYPE DeviceType, HWND hFocusWindow, DWORD BehaviorFlags,
                                D3DPRESENT_PARAMETERS* pPresentationParameters,
                                IDirect3DDevice9** ppReturnedDeviceInterface) override
    {
        if (!ppReturnedDeviceInterface || !pPresentationParameters)
            return D3DERR_INVALIDCALL;
        *ppReturnedDeviceInterface = nullptr;
        D3DPRESENT_PARAMETERS p = *pPresentationParameters;
        SDL_Window* window = GetSdlWindow(p.hDeviceWindow ? p.hDeviceWindow : hFocusWindow);
        const DWORD vertexProcessing = BehaviorFlags &
                                       (D3DCREATE_SOFTWARE_VERTEXPROCESSING | D3DCREATE_HARDWARE_VERTEXPROCESSING |
                                        D3DCREATE_MIXED_VERTEXPROCESSING);
        if (Adapter != D3DADAPTER_DEFAULT || !window || p.BackBufferCount > 1 ||
            (vertexProcessing & (vertexProcessing - 1)) != 0 || vertexProcessing == 0)
            return D3DERR_INVALIDCALL;
        if (DeviceType != D3DDEVTYPE_HAL || p.MultiSampleType != D3DMULTISAMPLE_NONE ||
            (p.EnableAutoDepthStencil && p.AutoDepthStencilFormat != D3DFMT_D16))
            return D3DERR_NOTAVAILABLE;
        if (p.Windowed && (p.BackBufferWidth == 0 || p.BackBufferHeight == 0)) {
            int w = 0, h = 0;
            SDL_GetWindowSize(window, &w, &h);
            p.BackBufferWidth = p.BackBufferWidth ? p.BackBufferWidth : static_cast<UINT>(w);
            p.BackBufferHeight = p.BackBufferHeight ? p.BackBufferHeight : static_cast<UINT>(h);
        }
        if (p.Windowed && p.BackBufferFormat == D3DFMT_UNKNOWN)
            p.BackBufferFormat = D3DFMT_X8R8G8B8;
        if (p.BackBufferWidth == 0 || p.BackBufferHeight == 0 ||
            (p.BackBufferFormat != D3DFMT_A8R8G8B8 && p.BackBufferFormat != D3DFMT_X8R8G8B8))
            return D3DERR_INVALIDCALL;
        Device* device = nullptr;
        const HRESULT hr = Device::Create(window, p, &device);
        if (FAILED(hr))
            return hr;
        p.BackBufferCount = 1;
        *pPresentationParameters = p;
        *ppReturnedDeviceInterface = device;
        return D3D_OK;
    }
};

}  // namespace

IDirect3D9* WINAPI Direct3DCreate9(UINT SDKVersion)
{
    if (SDKVersion != D3D_SDK_VERSION)
        return nullptr;
    return new (std::nothrow) Direct3D9();
}
