#pragma once

// A window and a Direct3D 9 device for each test, and the Direct3D way of reading pixels
// back: an off-screen plain surface, GetRenderTargetData and LockRect.
#include "DeviceWindow.h"
#include "Display.h"

#include <d3dx9.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

struct PosColVertex {
    float x, y, z, rhw;
    DWORD color;
};

struct PosColTexVertex {
    float x, y, z, rhw;
    DWORD color;
    float u, v;
};

struct PosVertex {
    float x, y, z;
};

class DeviceTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A device as the intro makes it (full screen) when fullScreen, else windowed.
    bool CreateDevice(bool fullScreen, UINT width = 64, UINT height = 64);

    // ARGB texels of a render-target surface, top row first.
    std::vector<uint32_t> ReadPixels(IDirect3DSurface9* surface);
    std::vector<uint32_t> ReadBackBuffer();
    uint32_t Pixel(const std::vector<uint32_t>& pixels, UINT x, UINT y) const { return pixels[y * m_width + x]; }

    ID3DXEffect* MakeEffect(const char* source);
    // The device tests' effect (DeviceEffects.h) on the given technique; kept until tear-down.
    ID3DXEffect* DeviceEffect(const char* technique);
    // A texture made from a DDS file in memory; kept until tear-down. Null on failure.
    IDirect3DTexture9* LoadTexture(const std::vector<unsigned char>& dds);
    // Draws the texture with the effect's current technique over the top-left width x height
    // pixels, its coordinates running 0...1 across them, with culling off.
    void DrawTexture(ID3DXEffect* effect, IDirect3DBaseTexture9* texture, float width, float height);
    // Vertex declarations, kept until tear-down.
    IDirect3DVertexDeclaration9* Declaration(const D3DVERTEXELEMENT9* elements);
    IDirect3DVertexDeclaration9* PosColDeclaration();
    IDirect3DVertexDeclaration9* PosColTexDeclaration();
    IDirect3DVertexDeclaration9* PosDeclaration();
    // Draws with every pass of the effect's current technique inside one scene.
    void DrawWithEffect(ID3DXEffect* effect, D3DPRIMITIVETYPE type, UINT primitives, const void* vertices, UINT stride);

    DeviceWindow m_host;
    IDirect3DDevice9* m_device = nullptr;
    UINT m_width = 0;
    UINT m_height = 0;
    std::vector<IUnknown*> m_owned;  // released at tear-down, newest first
};

// A DDS file in memory: format D3DFMT_A8R8G8B8, D3DFMT_X8R8G8B8 (texels as ARGB values)
// or D3DFMT_DXT1 (texels unused; blocks given as 8-byte records).
std::vector<unsigned char> MakeDds(UINT width, UINT height, D3DFORMAT format, const std::vector<uint32_t>& texels,
                                   const std::vector<uint64_t>& blocks = {});

// Channels of an ARGB value.
inline int Alpha(uint32_t c)
{
    return static_cast<int>(c >> 24);
}
inline int Red(uint32_t c)
{
    return static_cast<int>((c >> 16) & 0xFF);
}
inline int Green(uint32_t c)
{
    return static_cast<int>((c >> 8) & 0xFF);
}
inline int Blue(uint32_t c)
{
    return static_cast<int>(c & 0xFF);
}
