// Linux stand-in for <d3dx9tex.h>: textures from DDS images.
#pragma once

#include "windows.h"
#include "d3d9.h"

// Loads a DDS image (DXT1, X8R8G8B8 or A8R8G8B8) with the D3DX defaults: the file's format,
// the managed pool, sizes enlarged to powers of two with the image scaled to fill them, and a
// full mip chain.
HRESULT WINAPI D3DXCreateTextureFromFileInMemory(LPDIRECT3DDEVICE9 pDevice, LPCVOID pSrcData,
                                                 UINT SrcDataSize, LPDIRECT3DTEXTURE9* ppTexture);
// The same, reading the image from an RCDATA resource of the module.
HRESULT WINAPI D3DXCreateTextureFromResourceA(LPDIRECT3DDEVICE9 pDevice, HMODULE hSrcModule,
                                              LPCSTR pSrcResource, LPDIRECT3DTEXTURE9* ppTexture);
