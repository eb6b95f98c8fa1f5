#pragma once

#include "CompiledEffect.h"
#include "d3d/DeviceChild.h"
#include "d3d/RefCounted.h"

#include <d3dx9effect.h>

#include <memory>
#include <vector>

// One effect object: its own parameter values over a shared compiled effect. Handles are
// addresses of records inside the object, told apart from names by address.
class Effect final : public RefCounted<ID3DXEffect>, public DeviceChild {
public:
    Effect(Device* device, std::shared_ptr<const CompiledEffect> compiled);
    ~Effect() override;

    D3DXHANDLE WINAPI GetParameterByName(D3DXHANDLE hParameter, LPCSTR pName) override;
    D3DXHANDLE WINAPI GetTechniqueByName(LPCSTR pName) override;
    D3DXHANDLE WINAPI GetPass(D3DXHANDLE hTechnique, UINT Index) override;
    D3DXHANDLE WINAPI GetPassByName(D3DXHANDLE hTechnique, LPCSTR pName) override;
    D3DXHANDLE WINAPI GetAnnotationByName(D3DXHANDLE hObject, LPCSTR pName) override;
    HRESULT WINAPI SetBool(D3DXHANDLE hParameter, BOOL b) override;
    HRESULT WINAPI GetBool(D3DXHANDLE hParameter, BOOL* pb) override;
    HRESULT WINAPI SetInt(D3DXHANDLE hParameter, INT n) override;
    HRESULT WINAPI GetInt(D3DXHANDLE hParameter, INT* pn) override;
    HRESULT WINAPI SetFloat(D3DXHANDLE hParameter, FLOAT f) override;
    HRESULT WINAPI GetFloat(D3DXHANDLE hParameter, FLOAT* pf) override;
    HRESULT WINAPI SetFloatArray(D3DXHANDLE hParameter, const FLOAT* pf, UINT Count) override;
    HRESULT WINAPI GetFloatArray(D3DXHANDLE hParameter, FLOAT* pf, UINT Count) override;
    HRESULT WINAPI SetVector(D3DXHANDLE hParameter, const D3DXVECTOR4* pVector) override;
    HRESULT WINAPI GetVector(D3DXHANDLE hParameter, D3DXVECTOR4* pVector) override;
    HRESULT WINAPI SetMatrix(D3DXHANDLE hParameter, const D3DXMATRIX* pMatrix) override;
    HRESULT WINAPI GetMatrix(D3DXHANDLE hParameter, D3DXMATRIX* pMatrix) override;
    HRESULT WINAPI GetString(D3DXHANDLE hParameter, LPCSTR* ppString) override;
    HRESULT WINAPI SetTexture(D3DXHANDLE hParameter, LPDIRECT3DBASETEXTURE9 pTexture) override;
    HRESULT WINAPI GetTexture(D3DXHANDLE hParameter, LPDIRECT3DBASETEXTURE9* ppTexture) override;
    HRESULT WINAPI SetTechnique(D3DXHANDLE hTechnique) override;
    D3DXHANDLE WINAPI GetCurrentTechnique() override;
    HRESULT WINAPI Begin(UINT* pPasses, DWORD Flags) override;
    HRESULT WINAPI BeginPass(UINT Pass) override;
    HRESULT WINAPI CommitChanges() override;
    HRESULT WINAPI EndPass() override;
    HRESULT WINAPI End() override;
    HRESULT WINAPI GetDevice(LPDIRECT3DDEVICE9* ppDevice) override { return DeviceReference(ppDevice); }

    void ReleaseGlObjects() override;

private:
    enum class HandleKind { Parameter, Technique, Pass, Annotation };
    struct HandleRecord {
        HandleKind kind;
        int technique;  // Technique, Pass
        int index;      // parameter, pass
        const EffectAnnotation* annotation;
        D3DXHANDLE owner;  // Annotation: the handle of the object it annotates
    };
    struct SavedState {
        std::vector<std::pair<D3DRENDERSTATETYPE, DWORD>> renderStates;
        std::vector<std::pair<DWORD, IDirect3DBaseTexture9*>> textures;  // each holds a reference
        std::vector<std::pair<DWORD, std::pair<D3DSAMPLERSTATETYPE, DWORD>>> samplerStates;
        bool shaders = false;
        const StageProgram* vertex = nullptr;
        const StageProgram* pixel = nullptr;
    };

    D3DXHANDLE HandleOf(size_t record) const { return reinterpret_cast<D3DXHANDLE>(&m_handles[record]); }
    const HandleRecord* Record(D3DXHANDLE handle) const;
    int IndexOf(D3DXHANDLE handle, HandleKind kind) const;
    int ParameterIndex(D3DXHANDLE handle) const;
    int NumericParameter(D3DXHANDLE handle) const;
    int MatrixParameter(D3DXHANDLE handle) const;
    int TechniqueIndex(D3DXHANDLE handle) const;
    D3DXHANDLE FindHandle(HandleKind kind, int technique, int index) const;
    const EffectAnnotation* Annotation(D3DXHANDLE handle) const;
    const std::vector<EffectAnnotation>* AnnotationsOf(D3DXHANDLE handle, D3DXHANDLE& owner) const;
    void SaveState(DWORD flags);
    void RestoreState();
    void ApplyPass(bool renderStates);
    bool UploadUniforms(int stage, int binding);

    std::shared_ptr<const CompiledEffect> m_compiled;
    std::vector<HandleRecord> m_handles;  // never resized after construction
    std::vector<std::vector<float>> m_values;
    std::vector<IDirect3DBaseTexture9*> m_textures;  // per parameter; each holds a reference
    std::vector<unsigned char> m_uniformScratch;
    int m_technique = -1;
    bool m_begun = false;
    int m_pass = -1;
    SavedState m_saved;
};
