// The asset loaders that turn resources into device objects: effects, textures and meshes,
// on the intro's own resources and the tests' additions.
#include "CMesh.h"
#include "CTexture.h"
#include "GraphicsDevice.h"
#include "MessageBoxSpy.h"

#include <cstring>

namespace {

using AssetLoading = GraphicsTest;

const WORD EFFECT_IDS[] = {ID_SCENE_FX,       ID_BLOOM_H_FX,   ID_BLOOM_V_FX, ID_BRIGHT_PASS_FX, ID_COMBINE4_FX,
                           ID_DOWN_FILTER_FX, ID_UP_FILTER_FX, ID_2D_FX,      ID_COMBINE_FX,     ID_DOF_FX,
                           ID_BLUR_V_FX,      ID_BLUR_H_FX,    ID_TEXT_FX};

bool SameColor(const D3DCOLORVALUE& a, const D3DCOLORVALUE& b)
{
    return a.r == b.r && a.g == b.g && a.b == b.b && a.a == b.a;
}

}  // namespace

TEST_F(AssetLoading, EveryEffectFileCompiles)
{
    MessageBoxSpy spy(IDIGNORE);
    for (WORD id : EFFECT_IDS) {
        ID3DXEffect* effect = CGfxD3D::CreateEffect(id, "Data\\any.fx");
        EXPECT_NE(effect, nullptr) << "resource " << id;
        if (effect)
            effect->Release();
    }
    EXPECT_TRUE(spy.shown.empty());
}

TEST_F(AssetLoading, TexturesAreEnlargedToPowersOfTwoWithFullMipChains)
{
    struct Case {
        WORD id;
        UINT width, height, levels;
        D3DFORMAT format;
    };
    // The logo is 586 x 192, the backdrop and the title card 1024 x 768 in DXT1, the test
    // image 6 x 3.
    const Case cases[] = {{ID_LOGO, 1024, 256, 11, D3DFMT_X8R8G8B8},
                          {ID_BACKGROUND, 1024, 1024, 11, D3DFMT_DXT1},
                          {ID_TITLE, 1024, 1024, 11, D3DFMT_DXT1},
                          {ID_TEST_ODD_6X3, 8, 4, 4, D3DFMT_X8R8G8B8},
                          {ID_TEST_TEXELS_4X4, 4, 4, 3, D3DFMT_A8R8G8B8}};
    MessageBoxSpy spy(IDIGNORE);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "resource " << c.id);
        CTexture* texture = CTexture::Load(c.id);
        ASSERT_NE(texture, nullptr);
        ASSERT_NE(texture->m_pHandle, nullptr);
        EXPECT_EQ(texture->m_Width, c.width);
        EXPECT_EQ(texture->m_Height, c.height);
        EXPECT_EQ(texture->m_pHandle->GetLevelCount(), c.levels);
        D3DSURFACE_DESC desc;
        ASSERT_EQ(texture->m_pHandle->GetLevelDesc(0, &desc), D3D_OK);
        EXPECT_EQ(desc.Format, c.format);
        EXPECT_EQ(desc.Pool, D3DPOOL_MANAGED);
        texture->m_pHandle->Release();
        delete texture;
    }
    EXPECT_TRUE(spy.shown.empty());
}

TEST_F(AssetLoading, MeshKeepsEachMaterialWithItsDiffuseAsAmbient)
{
    MessageBoxSpy spy(IDIGNORE);
    CMesh* mesh = CMesh::Load(ID_TEST_THREE_MATERIALS);
    ASSERT_NE(mesh, nullptr);
    ASSERT_NE(mesh->m_pMesh, nullptr);
    ASSERT_EQ(mesh->m_NumMaterials, 3u);
    EXPECT_EQ(mesh->m_pMesh->GetNumFaces(), 6u);
    EXPECT_TRUE(mesh->m_pMesh->GetOptions() & D3DXMESH_MANAGED);
    EXPECT_FALSE(mesh->m_pMesh->GetOptions() & D3DXMESH_32BIT);
    DWORD subsets = 0;
    ASSERT_EQ(mesh->m_pMesh->GetAttributeTable(nullptr, &subsets), D3D_OK);
    EXPECT_EQ(subsets, 3u) << "one subset per material";

    // What the loader itself gives for the same resource.
    ID3DXBuffer* buffer = nullptr;
    ID3DXMesh* direct = nullptr;
    DWORD count = 0;
    ASSERT_EQ(D3DXLoadMeshFromXResource(nullptr, MAKEINTRESOURCEA(ID_TEST_THREE_MATERIALS), MAKEINTRESOURCEA(10),
                                        D3DXMESH_MANAGED, Device(), nullptr, &buffer, nullptr, &count, &direct),
              D3D_OK);
    ASSERT_EQ(count, 3u);
    const D3DXMATERIAL* file = static_cast<const D3DXMATERIAL*>(buffer->GetBufferPointer());
    const float diffuse[3][4] = {{0.8f, 0.4f, 0.2f, 1.0f}, {0.1f, 0.6f, 0.9f, 0.25f}, {0.3f, 0.3f, 0.35f, 1.0f}};
    const float power[3] = {12.0f, 40.0f, 2.0f};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(testing::Message() << "material " << i);
        const D3DMATERIAL9& m = mesh->m_pMaterials[i];
        EXPECT_FLOAT_EQ(m.Diffuse.r, diffuse[i][0]);
        EXPECT_FLOAT_EQ(m.Diffuse.g, diffuse[i][1]);
        EXPECT_FLOAT_EQ(m.Diffuse.b, diffuse[i][2]);
        EXPECT_FLOAT_EQ(m.Diffuse.a, diffuse[i][3]);
        EXPECT_FLOAT_EQ(m.Power, power[i]);
        EXPECT_TRUE(SameColor(m.Ambient, m.Diffuse)) << "ambient replaced by diffuse, all four components";
        EXPECT_TRUE(SameColor(m.Diffuse, file[i].MatD3D.Diffuse));
        EXPECT_TRUE(SameColor(m.Specular, file[i].MatD3D.Specular));
        EXPECT_TRUE(SameColor(m.Emissive, file[i].MatD3D.Emissive));
        EXPECT_EQ(m.Power, file[i].MatD3D.Power);
    }
    buffer->Release();
    direct->Release();
    EXPECT_TRUE(spy.shown.empty());
}

TEST_F(AssetLoading, IntrosCubeMeshHasOneMaterial)
{
    MessageBoxSpy spy(IDIGNORE);
    CMesh* mesh = CMesh::Load(ID_CUBE_MESH);
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(mesh->m_NumMaterials, 1u);
    EXPECT_GT(mesh->m_pMesh->GetNumFaces(), 12u);
    EXPECT_TRUE(SameColor(mesh->m_pMaterials[0].Ambient, mesh->m_pMaterials[0].Diffuse));
    EXPECT_TRUE(spy.shown.empty());
}
