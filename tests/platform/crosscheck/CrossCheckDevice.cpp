#include "CrossCheckDevice.h"

#include <utility>

namespace {

// The intro's two screen-space vertex layouts.
const D3DVERTEXELEMENT9 POS_COL[] = {{0, 0, D3DDECLTYPE_FLOAT4, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITIONT, 0},
                                     {0, 16, D3DDECLTYPE_D3DCOLOR, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_COLOR, 0},
                                     D3DDECL_END()};
const D3DVERTEXELEMENT9 POS_COL_TEX[] = {{0, 0, D3DDECLTYPE_FLOAT4, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITIONT, 0},
                                         {0, 16, D3DDECLTYPE_D3DCOLOR, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_COLOR, 0},
                                         {0, 20, D3DDECLTYPE_FLOAT2, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_TEXCOORD, 0},
                                         D3DDECL_END()};

}  // namespace

bool CrossCheckDevice::Create()
{
    if (!m_host.Open(WIDTH, HEIGHT))
        return false;
    m_device = m_host.CreateDevice(WIDTH, HEIGHT);
    return m_device && SUCCEEDED(m_device->CreateVertexDeclaration(POS_COL, &m_declPosCol)) &&
           SUCCEEDED(m_device->CreateVertexDeclaration(POS_COL_TEX, &m_declPosColTex)) && CreatePainter();
}

void CrossCheckDevice::Destroy()
{
    ReleasePainter();
    for (IUnknown* object : {static_cast<IUnknown*>(m_declPosColTex), static_cast<IUnknown*>(m_declPosCol),
                             static_cast<IUnknown*>(m_device)})
        if (object)
            object->Release();
    m_declPosColTex = m_declPosCol = nullptr;
    m_device = nullptr;
    m_host.Close();
}

bool CrossCheckDevice::Read(IDirect3DSurface9* target, Image& image)
{
    UINT width = 0, height = 0;
    std::vector<uint32_t> pixels = ReadSurfacePixels(m_device, target, &width, &height);
    if (pixels.empty())
        return false;
    image.width = static_cast<int>(width);
    image.height = static_cast<int>(height);
    image.pixels = std::move(pixels);
    return true;
}
