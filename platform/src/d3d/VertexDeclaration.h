#pragma once

#include "DeviceChild.h"
#include "RefCounted.h"

#include <d3d9.h>
#include <epoxy/gl.h>

#include <vector>

// A vertex declaration and the vertex array object that reads its layout from stream 0,
// each element at the attribute location of its semantic.
class VertexDeclaration final : public RefCounted<IDirect3DVertexDeclaration9>, public DeviceChild {
public:
    static VertexDeclaration* Create(Device* device, const D3DVERTEXELEMENT9* elements);
    ~VertexDeclaration() override;

    HRESULT WINAPI GetDevice(IDirect3DDevice9** ppDevice) override;
    HRESULT WINAPI GetDeclaration(D3DVERTEXELEMENT9* pElement, UINT* pNumElements) override;

    void ReleaseGlObjects() override;

    GLuint VertexArray() const { return m_vertexArray; }
    bool IsPreTransformed() const { return m_preTransformed; }

private:
    explicit VertexDeclaration(Device* device) : DeviceChild(device) {}

    std::vector<D3DVERTEXELEMENT9> m_elements;  // with the end marker
    GLuint m_vertexArray = 0;
    bool m_preTransformed = false;
};
