// The GPU mesh buffers the .x mesh loader draws its subsets with.
#include "DeviceEffects.h"
#include "DeviceFixture.h"
#include "d3d/StaticMesh.h"

TEST_F(DeviceTest, StaticMeshDrawsAnIndexRangeWithTheCurrentPass)
{
    REQUIRE_DISPLAY();
    ASSERT_TRUE(CreateDevice(false));
    ID3DXEffect* effect = MakeEffect(DEVICE_TEST_EFFECT);
    ASSERT_NE(effect, nullptr);
    // Two quads, position and normal: the left half and the right half of clip space.
    struct Vertex {
        float x, y, z, nx, ny, nz;
    };
    const Vertex vertices[8] = {{-1, 1, 0.5f, 0, 0, 1}, {0, 1, 0.5f, 0, 0, 1}, {-1, -1, 0.5f, 0, 0, 1},
                                {0, -1, 0.5f, 0, 0, 1}, {0, 1, 0.5f, 0, 0, 1}, {1, 1, 0.5f, 0, 0, 1},
                                {0, -1, 0.5f, 0, 0, 1}, {1, -1, 0.5f, 0, 0, 1}};
    const uint32_t indices[12] = {0, 1, 2, 2, 1, 3, 4, 5, 6, 6, 5, 7};
    StaticMeshBuffers* mesh = CreateStaticMeshBuffers(m_device, vertices, 8, sizeof(Vertex), D3DFVF_XYZ | D3DFVF_NORMAL,
                                                      indices, 12);
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(CreateStaticMeshBuffers(m_device, vertices, 8, sizeof(Vertex), D3DFVF_XYZ | D3DFVF_NORMAL, indices, 11),
              nullptr)
        << "a triangle list";
    const uint32_t outside[3] = {0, 1, 8};
    EXPECT_EQ(CreateStaticMeshBuffers(m_device, vertices, 8, sizeof(Vertex), D3DFVF_XYZ | D3DFVF_NORMAL, outside, 3),
              nullptr)
        << "indices stay within the vertices";

    D3DXMATRIX identity = {};
    for (int i = 0; i < 4; ++i)
        identity.m[i][i] = 1.0f;
    effect->SetTechnique("Transform");
    effect->SetMatrix("g_mTransform", &identity);
    const D3DXVECTOR4 red = {1, 0, 0, 1};
    effect->SetVector("g_vColor", &red);
    m_device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    m_device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    ASSERT_EQ(m_device->BeginScene(), D3D_OK);
    UINT passes = 0;
    effect->Begin(&passes, 0);
    effect->BeginPass(0);
    DrawStaticMeshRange(m_device, mesh, 6, 6);  // the right quad only
    DrawStaticMeshRange(m_device, mesh, 6, 7);  // past the end: ignored
    effect->EndPass();
    effect->End();
    m_device->EndScene();
    const std::vector<uint32_t> pixels = ReadBackBuffer();
    EXPECT_EQ(Pixel(pixels, 48, 32), 0xFFFF0000u);
    EXPECT_EQ(Pixel(pixels, 16, 32), 0xFF000000u);
    ReleaseStaticMeshBuffers(mesh);
}
