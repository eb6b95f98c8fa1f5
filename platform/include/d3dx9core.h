// Linux stand-in for <d3dx9core.h>.
#pragma once

#include "windows.h"
#include "d3d9types.h"

// The reference-counted base of every stand-in object.
struct IUnknown {
    virtual ULONG WINAPI AddRef() = 0;
    virtual ULONG WINAPI Release() = 0;

protected:
    virtual ~IUnknown() {}
};

// A block of bytes handed out by D3DX (compiler messages, material lists).
struct ID3DXBuffer : IUnknown {
    virtual LPVOID WINAPI GetBufferPointer() = 0;
    virtual DWORD WINAPI GetBufferSize() = 0;
};
typedef ID3DXBuffer* LPD3DXBUFFER;

HRESULT WINAPI D3DXCreateBuffer(DWORD numBytes, LPD3DXBUFFER* ppBuffer);
