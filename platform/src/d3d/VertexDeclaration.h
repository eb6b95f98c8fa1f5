#pragma once

#include "DeviceChild.h"
#include "RefCounted.h"

#include <d3d9.h>
#include "Gl.h"

#include <vector>

// A vertex declaration and the vertex array object that reads its layout from stream 0,
// each element at the attribute location of its semantic. D3DCOLOR elements are read as
// R, G, B, A bytes: whoever fills the buffer swaps their B and R bytes first (see
// SwapColourBytes).
class VertexDeclaration final : public RefCounted<IDirect3DVertexDeclaration9>, public DeviceChild {
public:
    static VertexDeclaration* Create(Device* device, const D3DVERTEXELEMENT9* elements);
    ~VertexDeclaration() override;

    HRESULT WINAPI GetDevice(IDirect3DDevice9** ppDevice) override { return DeviceReference(ppDevice); }
    HRESULT WINAPI GetDeclaration(D3DVERTEXELEMENT9* pElement, UINT* pNumElements) override;

    void ReleaseGlObjects() override;

    // Binds the vertex array with its attributes reading buffer from offset 0 at stride.
    void Bind(GLuint buffer, GLsizei stride);
    bool IsPreTransformed() const { return m_preTransformed; }
    bool HasColours() const { return !m_colourOffsets.empty(); }
    // Copies count vertices of stride bytes and turns every D3DCOLOR's B, G, R, A bytes
    // into R, G, B, A.
    void SwapColourBytes(const unsigned char* from, unsigned char* to, UINT count, UINT stride) const;

private:
    explicit VertexDeclaration(Device* device) : DeviceChild(device) {}

    std::vector<D3DVERTEXELEMENT9> m_elements;  // with the end marker
    std::vector<UINT> m_colourOffsets;
    GLuint m_vertexArray = 0;
    GLuint m_boundBuffer = 0;
    GLsizei m_boundStride = 0;
    bool m_preTransformed = false;
};
