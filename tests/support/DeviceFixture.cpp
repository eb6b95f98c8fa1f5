#include "DeviceFixture.h"

#include "DeviceEffects.h"

#include <cstdlib>
#include <cstring>

namespace {

void PutU32(std::vector<unsigned char>& v, size_t at, uint32_t x)
{
    for (int i = 0; i < 4; ++i)
        v[at + i] = static_cast<unsigned char>(x >> (8 * i));
}

}  // namespace

void DeviceTest::SetUp()
{
    if (HasDisplay()) {
        ASSERT_TRUE(m_host.Open(1024, 768));
    }
}

void DeviceTest::TearDown()
{
    for (auto it = m_owned.rbegin(); it != m_owned.rend(); ++it)
        (*it)->Release();
    m_owned.clear();
    if (m_device) {
        EXPECT_EQ(m_device->Release(), 0u) << "the device goes when its last reference does";
    }
    m_host.Close();
}

bool DeviceTest::CreateDevice(bool fullScreen, UINT width, UINT height)
{
    m_width = width;
    m_height = height;
    m_device = m_host.CreateDevice(width, height, fullScreen);
    return m_device != nullptr;
}

std::vector<uint32_t> DeviceTest::ReadPixels(IDirect3DSurface9* surface)
{
    return ReadSurfacePixels(m_device, surface);
}

std::vector<uint32_t> DeviceTest::ReadBackBuffer()
{
    IDirect3DSurface9* back = nullptr;
    if (FAILED(m_device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back)))
        return {};
    std::vector<uint32_t> pixels = ReadPixels(back);
    back->Release();
    return pixels;
}

ID3DXEffect* DeviceTest::MakeEffect(const char* source)
{
    ID3DXEffect* effect = nullptr;
    ID3DXBuffer* errors = nullptr;
    const HRESULT hr = D3DXCreateEffect(m_device, source, static_cast<UINT>(std::strlen(source)), nullptr, nullptr, 0,
                                        nullptr, &effect, &errors);
    EXPECT_TRUE(SUCCEEDED(hr)) << (errors ? static_cast<const char*>(errors->GetBufferPointer()) : "");
    if (errors)
        errors->Release();
    if (effect)
        m_owned.push_back(effect);
    return effect;
}

ID3DXEffect* DeviceTest::DeviceEffect(const char* technique)
{
    ID3DXEffect* effect = MakeEffect(DEVICE_TEST_EFFECT);
    if (effect) {
        EXPECT_EQ(effect->SetTechnique(technique), D3D_OK) << technique;
    }
    return effect;
}

IDirect3DTexture9* DeviceTest::LoadTexture(const std::vector<unsigned char>& dds)
{
    IDirect3DTexture9* texture = nullptr;
    EXPECT_EQ(D3DXCreateTextureFromFileInMemory(m_device, dds.data(), static_cast<UINT>(dds.size()), &texture), D3D_OK);
    if (texture)
        m_owned.push_back(texture);
    return texture;
}

void DeviceTest::DrawTexture(ID3DXEffect* effect, IDirect3DBaseTexture9* texture, float width, float height)
{
    effect->SetTexture("g_tx", texture);
    m_device->SetVertexDeclaration(PosColTexDeclaration());
    m_device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    const float right = width - 0.5f, bottom = height - 0.5f;
    const PosColTexVertex v[4] = {{-0.5f, -0.5f, 0, 1, 0xFFFFFFFF, 0, 0},
                                  {right, -0.5f, 0, 1, 0xFFFFFFFF, 1, 0},
                                  {-0.5f, bottom, 0, 1, 0xFFFFFFFF, 0, 1},
                                  {right, bottom, 0, 1, 0xFFFFFFFF, 1, 1}};
    DrawWithEffect(effect, D3DPT_TRIANGLESTRIP, 2, v, sizeof(PosColTexVertex));
}

IDirect3DVertexDeclaration9* DeviceTest::Declaration(const D3DVERTEXELEMENT9* elements)
{
    IDirect3DVertexDeclaration9* d = nullptr;
    EXPECT_EQ(m_device->CreateVertexDeclaration(elements, &d), D3D_OK);
    if (d)
        m_owned.push_back(d);
    return d;
}

IDirect3DVertexDeclaration9* DeviceTest::PosColDeclaration()
{
    const D3DVERTEXELEMENT9 elements[] = {{0, 0, D3DDECLTYPE_FLOAT4, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITIONT, 0},
                                          {0, 16, D3DDECLTYPE_D3DCOLOR, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_COLOR, 0},
                                          D3DDECL_END()};
    return Declaration(elements);
}

IDirect3DVertexDeclaration9* DeviceTest::PosColTexDeclaration()
{
    const D3DVERTEXELEMENT9 elements[] = {{0, 0, D3DDECLTYPE_FLOAT4, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITIONT, 0},
                                          {0, 16, D3DDECLTYPE_D3DCOLOR, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_COLOR, 0},
                                          {0, 20, D3DDECLTYPE_FLOAT2, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_TEXCOORD, 0},
                                          D3DDECL_END()};
    return Declaration(elements);
}

IDirect3DVertexDeclaration9* DeviceTest::PosDeclaration()
{
    const D3DVERTEXELEMENT9 elements[] = {{0, 0, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITION, 0},
                                          D3DDECL_END()};
    return Declaration(elements);
}

void DeviceTest::DrawWithEffect(ID3DXEffect* effect, D3DPRIMITIVETYPE type, UINT primitives, const void* vertices,
                                UINT stride)
{
    ASSERT_EQ(m_device->BeginScene(), D3D_OK);
    UINT passes = 0;
    ASSERT_EQ(effect->Begin(&passes, 0), D3D_OK);
    for (UINT p = 0; p < passes; ++p) {
        EXPECT_EQ(effect->BeginPass(p), D3D_OK);
        EXPECT_EQ(m_device->DrawPrimitiveUP(type, primitives, vertices, stride), D3D_OK);
        EXPECT_EQ(effect->EndPass(), D3D_OK);
    }
    EXPECT_EQ(effect->End(), D3D_OK);
    EXPECT_EQ(m_device->EndScene(), D3D_OK);
}

std::vector<unsigned char> MakeDds(UINT width, UINT height, D3DFORMAT format, const std::vector<uint32_t>& texels,
                                   const std::vector<uint64_t>& blocks)
{
    std::vector<unsigned char> file(128, 0);
    std::memcpy(file.data(), "DDS ", 4);
    PutU32(file, 4, 124);
    PutU32(file, 8, 0x1 | 0x2 | 0x4 | 0x1000);
    PutU32(file, 12, height);
    PutU32(file, 16, width);
    PutU32(file, 76, 32);
    if (format == D3DFMT_DXT1) {
        PutU32(file, 80, 0x4);
        PutU32(file, 84, MAKEFOURCC('D', 'X', 'T', '1'));
        for (uint64_t b : blocks)
            for (int i = 0; i < 8; ++i)
                file.push_back(static_cast<unsigned char>(b >> (8 * i)));
    } else {
        PutU32(file, 80, format == D3DFMT_A8R8G8B8 ? 0x41 : 0x40);
        PutU32(file, 88, 32);
        PutU32(file, 92, 0x00FF0000);
        PutU32(file, 96, 0x0000FF00);
        PutU32(file, 100, 0x000000FF);
        PutU32(file, 104, format == D3DFMT_A8R8G8B8 ? 0xFF000000 : 0);
        for (uint32_t t : texels)
            for (int i = 0; i < 4; ++i)
                file.push_back(static_cast<unsigned char>(t >> (8 * i)));
    }
    PutU32(file, 108, 0x1000);
    return file;
}
