#include "CrossCheckDevice.h"

namespace {

const char CLASS_NAME[] = "SkelvaneCrossCheck";

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM w, LPARAM l)
{
    return DefWindowProcA(window, message, w, l);
}

// The intro's two screen-space vertex layouts.
const D3DVERTEXELEMENT9 POS_COL[] = {
    {0, 0, D3DDECLTYPE_FLOAT4, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITIONT, 0},
    {0, 16, D3DDECLTYPE_D3DCOLOR, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_COLOR, 0},
    D3DDECL_END()};
const D3DVERTEXELEMENT9 POS_COL_TEX[] = {
    {0, 0, D3DDECLTYPE_FLOAT4, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITIONT, 0},
    {0, 16, D3DDECLTYPE_D3DCOLOR, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_COLOR, 0},
    {0, 20, D3DDECLTYPE_FLOAT2, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_TEXCOORD, 0},
    D3DDECL_END()};

}  // namespace

bool CrossCheckDevice::Create()
{
    WNDCLASSEXA c = {};
    c.cbSize = sizeof c;
    c.lpfnWndProc = &WindowProc;
    c.hInstance = GetModuleHandleA(nullptr);
    c.lpszClassName = CLASS_NAME;
    RegisterClassExA(&c);
    m_window = CreateWindowExA(0, CLASS_NAME, "", WS_POPUP, 0, 0, WIDTH, HEIGHT, nullptr, nullptr, c.hInstance,
                               nullptr);
    m_d3d = m_window ? Direct3DCreate9(D3D_SDK_VERSION) : nullptr;
    if (!m_d3d)
        return false;
    D3DPRESENT_PARAMETERS p = {};
    p.BackBufferWidth = WIDTH;
    p.BackBufferHeight = HEIGHT;
    p.BackBufferFormat = D3DFMT_A8R8G8B8;
    p.SwapEffect = D3DSWAPEFFECT_DISCARD;
    p.Windowed = TRUE;
    p.EnableAutoDepthStencil = TRUE;
    p.AutoDepthStencilFormat = D3DFMT_D16;
    p.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
    if (FAILED(m_d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, m_window, D3DCREATE_HARDWARE_VERTEXPROCESSING,
                                   &p, &m_device)) ||
        !m_device)
        return false;
    return SUCCEEDED(m_device->CreateVertexDeclaration(POS_COL, &m_declPosCol)) &&
           SUCCEEDED(m_device->CreateVertexDeclaration(POS_COL_TEX, &m_declPosColTex)) && CreatePainter();
}

void CrossCheckDevice::Destroy()
{
    ReleasePainter();
    for (IUnknown* object : {static_cast<IUnknown*>(m_declPosColTex), static_cast<IUnknown*>(m_declPosCol),
                             static_cast<IUnknown*>(m_device), static_cast<IUnknown*>(m_d3d)})
        if (object)
            object->Release();
    m_declPosColTex = m_declPosCol = nullptr;
    m_device = nullptr;
    m_d3d = nullptr;
    if (m_window)
        DestroyWindow(m_window);
    m_window = nullptr;
    UnregisterClassA(CLASS_NAME, GetModuleHandleA(nullptr));
}

bool CrossCheckDevice::Read(IDirect3DSurface9* target, Image& image)
{
    D3DSURFACE_DESC desc;
    if (!target || FAILED(target->GetDesc(&desc)))
        return false;
    IDirect3DSurface9* copy = nullptr;
    if (FAILED(m_device->CreateOffscreenPlainSurface(desc.Width, desc.Height, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM,
                                                     &copy, nullptr)))
        return false;
    D3DLOCKED_RECT locked;
    bool ok = SUCCEEDED(m_device->GetRenderTargetData(target, copy)) &&
              SUCCEEDED(copy->LockRect(&locked, nullptr, D3DLOCK_READONLY));
    if (ok) {
        image.width = static_cast<int>(desc.Width);
        image.height = static_cast<int>(desc.Height);
        image.pixels.resize(static_cast<size_t>(desc.Width) * desc.Height);
        for (UINT y = 0; y < desc.Height; ++y) {
            const auto* row = reinterpret_cast<const uint32_t*>(static_cast<const unsigned char*>(locked.pBits) +
                                                                static_cast<size_t>(y) * locked.Pitch);
            for (UINT x = 0; x < desc.Width; ++x)
                image.pixels[static_cast<size_t>(y) * desc.Width + x] = row[x];
        }
        copy->UnlockRect();
    }
    copy->Release();
    return ok;
}
