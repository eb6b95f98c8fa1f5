// Linux stand-in for <d3dx9tex.h>: textures from DDS images.
#pragma once

#include "windows.h"
#include "d3d9.h"

#define D3DX_DEFAULT ((UINT)-1)
#define D3DX_DEFAULT_NONPOW2 ((UINT)-2)
#define D3DX_FROM_FILE ((UINT)-3)
#define D3DFMT_FROM_FILE ((D3DFORMAT)-3)

#define D3DX_FILTER_NONE 0x00000001
#define D3DX_FILTER_POINT 0x00000002
#define D3DX_FILTER_LINEAR 0x00000003
#define D3DX_FILTER_TRIANGLE 0x00000004
#define D3DX_FILTER_BOX 0x00000005
#define D3DX_FILTER_DITHER 0x00080000

typedef enum _D3DXIMAGE_FILEFORMAT {
    D3DXIFF_BMP = 0,
    D3DXIFF_JPG = 1,
    D3DXIFF_TGA = 2,
    D3DXIFF_PNG = 3,
    D3DXIFF_DDS = 4,
    D3DXIFF_FORCE_DWORD = 0x7fffffff
} D3DXIMAGE_FILEFORMAT;

typedef struct _D3DXIMAGE_INFO {
    UINT Width;
    UINT Height;
    UINT Depth;
    UINT MipLevels;
    D3DFORMAT Format;
    D3DRESOURCETYPE ResourceType;
    D3DXIMAGE_FILEFORMAT ImageFileFormat;
} D3DXIMAGE_INFO;

typedef struct tagPALETTEENTRY {
    BYTE peRed;
    BYTE peGreen;
    BYTE peBlue;
    BYTE peFlags;
} PALETTEENTRY;

// Loads a DDS image (DXT1, X8R8G8B8 or A8R8G8B8, top level) into a new texture. Of the D3DX
// options this takes: sizes D3DX_DEFAULT (or 0: each side enlarged to a power of two),
// D3DX_DEFAULT_NONPOW2 or D3DX_FROM_FILE (the file's) or given; levels D3DX_DEFAULT (or 0: a
// full chain), D3DX_FROM_FILE (one) or given; usage 0; format D3DFMT_UNKNOWN, D3DX_DEFAULT or
// D3DFMT_FROM_FILE (the file's), or A8R8G8B8 or X8R8G8B8; filter D3DX_DEFAULT or
// D3DX_FILTER_TRIANGLE (the image scaled to fill the size) or D3DX_FILTER_NONE (unscaled, in
// the top-left corner, the rest transparent black), each with or without D3DX_FILTER_DITHER;
// any mip filter (the levels are box-filtered); no colour key. Other options give
// D3DERR_NOTAVAILABLE. pSrcInfo, when given, receives what the file holds; pPalette is unused.
HRESULT WINAPI D3DXCreateTextureFromFileInMemoryEx(LPDIRECT3DDEVICE9 pDevice, LPCVOID pSrcData,
                                                   UINT SrcDataSize, UINT Width, UINT Height,
                                                   UINT MipLevels, DWORD Usage, D3DFORMAT Format,
                                                   D3DPOOL Pool, DWORD Filter, DWORD MipFilter,
                                                   D3DCOLOR ColorKey, D3DXIMAGE_INFO* pSrcInfo,
                                                   PALETTEENTRY* pPalette,
                                                   LPDIRECT3DTEXTURE9* ppTexture);
// The same with the D3DX defaults: the file's format, the managed pool, sizes enlarged to
// powers of two with the image scaled to fill them, and a full mip chain.
HRESULT WINAPI D3DXCreateTextureFromFileInMemory(LPDIRECT3DDEVICE9 pDevice, LPCVOID pSrcData,
                                                 UINT SrcDataSize, LPDIRECT3DTEXTURE9* ppTexture);
// The same, reading the image from an RCDATA resource of the module.
HRESULT WINAPI D3DXCreateTextureFromResourceA(LPDIRECT3DDEVICE9 pDevice, HMODULE hSrcModule,
                                              LPCSTR pSrcResource, LPDIRECT3DTEXTURE9* ppTexture);
