// Linux stand-in for <d3dx9core.h>.
#pragma once

#include "windows.h"
#include "d3d9.h"
#include "unknwn.h"

// A block of bytes handed out by D3DX (compiler messages, material lists).
struct ID3DXBuffer : IUnknown {
    virtual LPVOID WINAPI GetBufferPointer() = 0;
    virtual DWORD WINAPI GetBufferSize() = 0;
};
typedef ID3DXBuffer* LPD3DXBUFFER;

HRESULT WINAPI D3DXCreateBuffer(DWORD numBytes, LPD3DXBUFFER* ppBuffer);

// The debug text font. The intro creates one and never draws with it, so the stand-in
// keeps only what identifies it.
struct ID3DXFont : IUnknown {
    virtual HRESULT WINAPI GetDevice(IDirect3DDevice9** ppDevice) = 0;
};
typedef ID3DXFont* LPD3DXFONT;

HRESULT WINAPI D3DXCreateFontA(IDirect3DDevice9* pDevice, INT Height, UINT Width, UINT Weight,
                               UINT MipLevels, BOOL Italic, DWORD CharSet, DWORD OutputPrecision,
                               DWORD Quality, DWORD PitchAndFamily, LPCSTR pFaceName,
                               LPD3DXFONT* ppFont);
