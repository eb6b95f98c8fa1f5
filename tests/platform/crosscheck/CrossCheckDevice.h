#pragma once

// A window and a Direct3D 9 device as the intro sets them up (1024 x 768, 32-bit ARGB back
// buffer, 16-bit depth, hardware vertex processing), windowed so that it runs on a virtual
// X server, and the ways the cross-check draws and reads pixels back with it.
#include "DeviceWindow.h"
#include "Figures.h"
#include "GfxVertices.h"  // the intro's screen-space vertices

#include <d3d9.h>
#include <d3dx9.h>
#include <windows.h>

class CrossCheckDevice {
public:
    static const int WIDTH = 1024;
    static const int HEIGHT = 768;

    bool Create();
    void Destroy();
    IDirect3DDevice9* Device() const { return m_device; }

    // The pixels of a render target: GetRenderTargetData into an off-screen plain surface in
    // system memory, then LockRect.
    bool Read(IDirect3DSurface9* target, Image& image);

    // Quads with what the intro's 2D effect computes for them: the vertex colour, or the
    // texture's sample (trilinear, wrapped) times the vertex colour. Inside a scene, with
    // the blend and cull states the caller set.
    bool DrawFlat(const PosColVertex* quad);
    bool DrawTextured(IDirect3DTexture9* texture, const PosColTexVertex* quad);

private:
    bool CreatePainter();
    void ReleasePainter();

    DeviceWindow m_host;
    IDirect3DDevice9* m_device = nullptr;
    IDirect3DVertexDeclaration9* m_declPosCol = nullptr;
    IDirect3DVertexDeclaration9* m_declPosColTex = nullptr;
    ID3DXEffect* m_effect = nullptr;  // the intro's 2D effect, where effects compile
};
