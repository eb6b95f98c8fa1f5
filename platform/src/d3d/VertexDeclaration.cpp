#include "VertexDeclaration.h"

#include "Device.h"
#include "effect/front/ShaderInterface.h"

#include <algorithm>
#include <cstdint>

namespace {

struct AttributeFormat {
    GLint size;
    GLenum type;
    GLboolean normalized;
    bool integer;  // read as integers, not converted
};

bool FormatOf(BYTE declType, AttributeFormat& f)
{
    switch (declType) {
    case D3DDECLTYPE_FLOAT1: f = {1, GL_FLOAT, GL_FALSE, false}; return true;
    case D3DDECLTYPE_FLOAT2: f = {2, GL_FLOAT, GL_FALSE, false}; return true;
    case D3DDECLTYPE_FLOAT3: f = {3, GL_FLOAT, GL_FALSE, false}; return true;
    case D3DDECLTYPE_FLOAT4: f = {4, GL_FLOAT, GL_FALSE, false}; return true;
    // ARGB in a DWORD: bytes B, G, R, A in memory, swapped to R, G, B, A on the way in.
    case D3DDECLTYPE_D3DCOLOR: f = {4, GL_UNSIGNED_BYTE, GL_TRUE, false}; return true;
    case D3DDECLTYPE_UBYTE4: f = {4, GL_UNSIGNED_BYTE, GL_FALSE, false}; return true;
    case D3DDECLTYPE_UBYTE4N: f = {4, GL_UNSIGNED_BYTE, GL_TRUE, false}; return true;
    case D3DDECLTYPE_SHORT2: f = {2, GL_SHORT, GL_FALSE, false}; return true;
    case D3DDECLTYPE_SHORT4: f = {4, GL_SHORT, GL_FALSE, false}; return true;
    case D3DDECLTYPE_SHORT2N: f = {2, GL_SHORT, GL_TRUE, false}; return true;
    case D3DDECLTYPE_SHORT4N: f = {4, GL_SHORT, GL_TRUE, false}; return true;
    case D3DDECLTYPE_USHORT2N: f = {2, GL_UNSIGNED_SHORT, GL_TRUE, false}; return true;
    case D3DDECLTYPE_USHORT4N: f = {4, GL_UNSIGNED_SHORT, GL_TRUE, false}; return true;
    case D3DDECLTYPE_FLOAT16_2: f = {2, GL_HALF_FLOAT, GL_FALSE, false}; return true;
    case D3DDECLTYPE_FLOAT16_4: f = {4, GL_HALF_FLOAT, GL_FALSE, false}; return true;
    default: return false;
    }
}

}  // namespace

VertexDeclaration* VertexDeclaration::Create(Device* device, const D3DVERTEXELEMENT9* elements)
{
    std::vector<D3DVERTEXELEMENT9> list;
    bool preTransformed = false;
    unsigned usedLocations = 0;
    for (int i = 0;; ++i) {
        if (i > MAXD3DDECLLENGTH)
            return nullptr;
        const D3DVERTEXELEMENT9& e = elements[i];
        if (e.Stream == 0xFF)
            break;
        AttributeFormat format;
        const int location = AttributeLocation(e.Usage, e.UsageIndex);
        if (e.Stream != 0 || e.Method != D3DDECLMETHOD_DEFAULT || !FormatOf(e.Type, format) || location < 0 ||
            (usedLocations & (1u << location)))
            return nullptr;
        if (e.Usage == D3DDECLUSAGE_POSITIONT)
            preTransformed = true;
        usedLocations |= 1u << location;
        list.push_back(e);
    }
    list.push_back(D3DVERTEXELEMENT9 D3DDECL_END());

    VertexDeclaration* d = new VertexDeclaration(device);
    d->m_elements = list;
    d->m_preTransformed = preTransformed;
    for (const D3DVERTEXELEMENT9& e : list)
        if (e.Stream == 0 && e.Type == D3DDECLTYPE_D3DCOLOR)
            d->m_colourOffsets.push_back(e.Offset);
    glGenVertexArrays(1, &d->m_vertexArray);
    return d;
}

void VertexDeclaration::Bind(GLuint buffer, GLsizei stride)
{
    glBindVertexArray(m_vertexArray);
    if (buffer == m_boundBuffer && stride == m_boundStride)
        return;
    m_boundBuffer = buffer;
    m_boundStride = stride;
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    for (size_t i = 0; i + 1 < m_elements.size(); ++i) {
        const D3DVERTEXELEMENT9& e = m_elements[i];
        AttributeFormat format = {};
        FormatOf(e.Type, format);
        const GLuint location = static_cast<GLuint>(AttributeLocation(e.Usage, e.UsageIndex));
        glEnableVertexAttribArray(location);
        glVertexAttribPointer(location, format.size, format.type, format.normalized, stride,
                              reinterpret_cast<const void*>(static_cast<uintptr_t>(e.Offset)));
    }
}

void VertexDeclaration::SwapColourBytes(const unsigned char* from, unsigned char* to, UINT count, UINT stride) const
{
    const size_t bytes = static_cast<size_t>(count) * stride;
    std::copy(from, from + bytes, to);
    for (UINT offset : m_colourOffsets)
        for (size_t at = offset; at + 4 <= bytes; at += stride)
            std::swap(to[at], to[at + 2]);
}

VertexDeclaration::~VertexDeclaration()
{
    ReleaseGlObjects();
}

void VertexDeclaration::ReleaseGlObjects()
{
    if (m_vertexArray)
        glDeleteVertexArrays(1, &m_vertexArray);
    m_vertexArray = 0;
}

HRESULT WINAPI VertexDeclaration::GetDeclaration(D3DVERTEXELEMENT9* pElement, UINT* pNumElements)
{
    if (!pNumElements)
        return D3DERR_INVALIDCALL;
    if (pElement)
        for (size_t i = 0; i < m_elements.size(); ++i)
            pElement[i] = m_elements[i];
    *pNumElements = static_cast<UINT>(m_elements.size());
    return D3D_OK;
}
