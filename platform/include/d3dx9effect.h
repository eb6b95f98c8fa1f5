// Linux stand-in for <d3dx9effect.h>: effects compiled from Direct3D 9 effect source.
#pragma once

#include "windows.h"
#include "d3d9.h"
#include "d3dx9math.h"
#include "d3dx9core.h"

// A parameter, technique, pass or annotation: either a handle handed out by the effect
// or the object's name.
typedef LPCSTR D3DXHANDLE;
typedef D3DXHANDLE* LPD3DXHANDLE;

typedef struct _D3DXMACRO {
    LPCSTR Name;
    LPCSTR Definition;
} D3DXMACRO, *LPD3DXMACRO;

struct ID3DXInclude;
typedef ID3DXInclude* LPD3DXINCLUDE;
struct ID3DXEffectPool;
typedef ID3DXEffectPool* LPD3DXEFFECTPOOL;

#define D3DXFX_DONOTSAVESTATE (1 << 0)
#define D3DXFX_DONOTSAVESHADERSTATE (1 << 1)
#define D3DXFX_DONOTSAVESAMPLERSTATE (1 << 2)
#define D3DXFX_NOT_CLONEABLE (1 << 11)
#define D3DXSHADER_DEBUG (1 << 0)
#define D3DXSHADER_SKIPOPTIMIZATION (1 << 2)
#define D3DXSHADER_NO_PRESHADER (1 << 8)

struct ID3DXEffect : IUnknown {
    virtual D3DXHANDLE WINAPI GetParameterByName(D3DXHANDLE hParameter, LPCSTR pName) = 0;
    virtual D3DXHANDLE WINAPI GetTechniqueByName(LPCSTR pName) = 0;
    virtual D3DXHANDLE WINAPI GetPass(D3DXHANDLE hTechnique, UINT Index) = 0;
    virtual D3DXHANDLE WINAPI GetPassByName(D3DXHANDLE hTechnique, LPCSTR pName) = 0;
    virtual D3DXHANDLE WINAPI GetAnnotationByName(D3DXHANDLE hObject, LPCSTR pName) = 0;
    virtual HRESULT WINAPI SetBool(D3DXHANDLE hParameter, BOOL b) = 0;
    virtual HRESULT WINAPI GetBool(D3DXHANDLE hParameter, BOOL* pb) = 0;
    virtual HRESULT WINAPI SetInt(D3DXHANDLE hParameter, INT n) = 0;
    virtual HRESULT WINAPI GetInt(D3DXHANDLE hParameter, INT* pn) = 0;
    virtual HRESULT WINAPI SetFloat(D3DXHANDLE hParameter, FLOAT f) = 0;
    virtual HRESULT WINAPI GetFloat(D3DXHANDLE hParameter, FLOAT* pf) = 0;
    virtual HRESULT WINAPI SetFloatArray(D3DXHANDLE hParameter, const FLOAT* pf, UINT Count) = 0;
    virtual HRESULT WINAPI GetFloatArray(D3DXHANDLE hParameter, FLOAT* pf, UINT Count) = 0;
    virtual HRESULT WINAPI SetVector(D3DXHANDLE hParameter, const D3DXVECTOR4* pVector) = 0;
    virtual HRESULT WINAPI GetVector(D3DXHANDLE hParameter, D3DXVECTOR4* pVector) = 0;
    virtual HRESULT WINAPI SetMatrix(D3DXHANDLE hParameter, const D3DXMATRIX* pMatrix) = 0;
    virtual HRESULT WINAPI GetMatrix(D3DXHANDLE hParameter, D3DXMATRIX* pMatrix) = 0;
    virtual HRESULT WINAPI GetString(D3DXHANDLE hParameter, LPCSTR* ppString) = 0;
    virtual HRESULT WINAPI SetTexture(D3DXHANDLE hParameter, LPDIRECT3DBASETEXTURE9 pTexture) = 0;
    virtual HRESULT WINAPI GetTexture(D3DXHANDLE hParameter, LPDIRECT3DBASETEXTURE9* ppTexture) = 0;

    virtual HRESULT WINAPI SetTechnique(D3DXHANDLE hTechnique) = 0;
    virtual D3DXHANDLE WINAPI GetCurrentTechnique() = 0;
    virtual HRESULT WINAPI Begin(UINT* pPasses, DWORD Flags) = 0;
    virtual HRESULT WINAPI BeginPass(UINT Pass) = 0;
    virtual HRESULT WINAPI CommitChanges() = 0;
    virtual HRESULT WINAPI EndPass() = 0;
    virtual HRESULT WINAPI End() = 0;
    virtual HRESULT WINAPI GetDevice(LPDIRECT3DDEVICE9* ppDevice) = 0;
};
typedef ID3DXEffect* LPD3DXEFFECT;

// Compiles effect source text. On failure the effect is null and, when asked for, the
// error buffer holds the compiler's messages as a zero-terminated text.
HRESULT WINAPI D3DXCreateEffect(LPDIRECT3DDEVICE9 pDevice, LPCVOID pSrcData, UINT SrcDataLen,
                                const D3DXMACRO* pDefines, LPD3DXINCLUDE pInclude, DWORD Flags,
                                LPD3DXEFFECTPOOL pPool, LPD3DXEFFECT* ppEffect,
                                LPD3DXBUFFER* ppCompilationErrors);
// The same, reading the source from an RCDATA resource of the module.
HRESULT WINAPI D3DXCreateEffectFromResourceA(LPDIRECT3DDEVICE9 pDevice, HMODULE hSrcModule,
                                             LPCSTR pSrcResource, const D3DXMACRO* pDefines,
                                             LPD3DXINCLUDE pInclude, DWORD Flags,
                                             LPD3DXEFFECTPOOL pPool, LPD3DXEFFECT* ppEffect,
                                             LPD3DXBUFFER* ppCompilationErrors);
