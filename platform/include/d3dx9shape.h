// Linux stand-in for <d3dx9shape.h>: the text mesh.
#pragma once

#include "windows.h"
#include "d3dx9mesh.h"

// The extruded mesh (D3DFVF_XYZ | D3DFVF_NORMAL, D3DXMESH_MANAGED, one subset) of a string in
// the TrueType font selected into hDC. Units: the font's cell height (ascent plus descent) is
// one, as D3DX takes it; the baseline is y = 0 and the first glyph's origin x = 0. The front
// faces z = 0, the text reaching back to z = -Extrusion. Deviation is the greatest distance
// between the flattened and the true outline (0: one font unit). pGlyphMetrics, when given,
// receives one record per character, in the same units. A text without outlines (empty, or
// only spaces) gives D3DERR_INVALIDCALL, as do a negative deviation or extrusion.
HRESULT WINAPI D3DXCreateTextA(struct IDirect3DDevice9* pDevice, HDC hDC, LPCSTR pText,
                               FLOAT Deviation, FLOAT Extrusion, LPD3DXMESH* ppMesh,
                               LPD3DXBUFFER* ppAdjacency, LPGLYPHMETRICSFLOAT pGlyphMetrics);
#define D3DXCreateText D3DXCreateTextA
