#include "d3d/RefCounted.h"

#include <d3dx9.h>

#include <new>
#include <vector>

namespace {

class Buffer final : public RefCounted<ID3DXBuffer> {
public:
    explicit Buffer(DWORD size) : m_bytes(size) {}

    LPVOID WINAPI GetBufferPointer() override { return m_bytes.empty() ? nullptr : m_bytes.data(); }
    DWORD WINAPI GetBufferSize() override { return static_cast<DWORD>(m_bytes.size()); }

private:
    std::vector<unsigned char> m_bytes;
};

}  // namespace

HRESULT WINAPI D3DXCreateBuffer(DWORD numBytes, LPD3DXBUFFER* ppBuffer)
{
    if (!ppBuffer)
        return D3DERR_INVALIDCALL;
    *ppBuffer = new (std::nothrow) Buffer(numBytes);
    return *ppBuffer ? D3D_OK : E_OUTOFMEMORY;
}
