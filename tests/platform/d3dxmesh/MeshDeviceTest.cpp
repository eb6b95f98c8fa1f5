// D3DX meshes through the stand-in device: what the loaders hand out, and what they draw.
// Drawing renders headless (Xvfb and Mesa) and reads the pixels back.
#include "DeviceWindow.h"
#include "Display.h"
#include "XFileSamples.h"
#if __has_include("win/EmbeddedResources.h")
#include "win/EmbeddedResources.h"
#define SKV_HAVE_RESOURCE_TABLE 1
#endif

#include <d3dx9.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr int SIZE = 128;

const char EFFECT[] = R"(
float4x4 g_mTransform;
float4 g_vColor;

struct VsOut {
    float4 position : POSITION;
    float3 normal : TEXCOORD0;
};

VsOut MeshVS(float3 position : POSITION, float3 normal : NORMAL)
{
    VsOut o;
    o.position = mul(float4(position, 1.0), g_mTransform);
    o.normal = normal;
    return o;
}

float4 ColourPS(float3 normal : TEXCOORD0) : COLOR { return g_vColor; }
float4 NormalPS(float3 normal : TEXCOORD0) : COLOR { return float4(normal * 0.5 + 0.5, 1.0); }

technique Flat {
    pass P0 {
        VertexShader = compile vs_2_0 MeshVS();
        PixelShader = compile ps_2_0 ColourPS();
        CullMode = None;
        ZEnable = false;
        AlphaBlendEnable = false;
    }
}
technique CullClockwise {
    pass P0 {
        VertexShader = compile vs_2_0 MeshVS();
        PixelShader = compile ps_2_0 NormalPS();
        CullMode = CW;
        ZEnable = true;
        ZWriteEnable = true;
        ZFunc = LessEqual;
        AlphaBlendEnable = false;
    }
}
technique CullCounterClockwise {
    pass P0 {
        VertexShader = compile vs_2_0 MeshVS();
        PixelShader = compile ps_2_0 NormalPS();
        CullMode = CCW;
        ZEnable = true;
        ZWriteEnable = true;
        ZFunc = LessEqual;
        AlphaBlendEnable = false;
    }
}
)";

// A window, a device on it and the test effect, made once for the whole binary.
struct Rig {
    DeviceWindow host;
    IDirect3DDevice9* device = nullptr;
    ID3DXEffect* effect = nullptr;
};

Rig& GetRig()
{
    static Rig& rig = *new Rig;  // kept to the end of the process, as the device is
    static bool made = false;
    if (!made && HasDisplay()) {
        made = true;
        if (rig.host.Open(SIZE, SIZE))
            rig.device = rig.host.CreateDevice(SIZE, SIZE);
        if (rig.device)
            D3DXCreateEffect(rig.device, EFFECT, sizeof EFFECT - 1, nullptr, nullptr, 0, nullptr, &rig.effect, nullptr);
    }
    return rig;
}

#define REQUIRE_DEVICE()                 \
    REQUIRE_DISPLAY();                   \
    ASSERT_NE(GetRig().device, nullptr); \
    ASSERT_NE(GetRig().effect, nullptr)

// Row-vector matrix taking (x, y, z) to clip space: the box [x0, x1] x [y0, y1] fills the
// target (x right, y up); depth is 0.5 - z / 2, so larger z is nearer.
D3DXMATRIX OrthoXY(float x0, float x1, float y0, float y1)
{
    D3DXMATRIX m = {};
    m._11 = 2.0f / (x1 - x0);
    m._22 = 2.0f / (y1 - y0);
    m._33 = -0.5f;
    m._41 = -(x1 + x0) / (x1 - x0);
    m._42 = -(y1 + y0) / (y1 - y0);
    m._43 = 0.5f;
    m._44 = 1.0f;
    return m;
}

// The same looking along x: z runs to the right, y up.
D3DXMATRIX OrthoZY(float z0, float z1, float y0, float y1)
{
    D3DXMATRIX m = {};
    m._31 = 2.0f / (z1 - z0);
    m._22 = 2.0f / (y1 - y0);
    m._13 = 0.25f;
    m._41 = -(z1 + z0) / (z1 - z0);
    m._42 = -(y1 + y0) / (y1 - y0);
    m._43 = 0.5f;
    m._44 = 1.0f;
    return m;
}

// Clears, draws the given subsets with the technique, reads the target back (ARGB,
// top row first).
std::vector<DWORD> Render(ID3DXMesh* mesh, const char* technique, const D3DXMATRIX& transform,
                          std::vector<DWORD> subsets, const std::vector<D3DXVECTOR4>& colours = {})
{
    Rig& rig = GetRig();
    IDirect3DDevice9* device = rig.device;
    std::vector<DWORD> pixels;
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xff000000, 1.0f, 0);
    if (FAILED(device->BeginScene()))
        return pixels;
    rig.effect->SetTechnique(technique);
    rig.effect->SetMatrix("g_mTransform", &transform);
    UINT passes = 0;
    rig.effect->Begin(&passes, 0);
    for (size_t i = 0; i < subsets.size(); ++i) {
        const D3DXVECTOR4 white = {1.0f, 1.0f, 1.0f, 1.0f};
        rig.effect->SetVector("g_vColor", i < colours.size() ? &colours[i] : &white);
        rig.effect->BeginPass(0);
        EXPECT_EQ(mesh->DrawSubset(subsets[i]), D3D_OK);
        rig.effect->EndPass();
    }
    rig.effect->End();
    device->EndScene();

    IDirect3DSurface9* target = nullptr;
    device->GetRenderTarget(0, &target);
    pixels = ReadSurfacePixels(device, target);
    if (target)
        target->Release();
    return pixels;
}

DWORD Pixel(const std::vector<DWORD>& pixels, int x, int yFromBottom)
{
    return pixels[size_t(SIZE - 1 - yFromBottom) * SIZE + x] & 0x00ffffffu;
}

ID3DXMesh* LoadCube(ID3DXBuffer** materials = nullptr, DWORD* count = nullptr, ID3DXBuffer** effects = nullptr,
                    ID3DXBuffer** adjacency = nullptr)
{
    ID3DXMesh* mesh = nullptr;
    EXPECT_EQ(D3DXLoadMeshFromXInMemory(CUBE_TWO_MATERIALS, sizeof CUBE_TWO_MATERIALS - 1, D3DXMESH_MANAGED,
                                        GetRig().device, adjacency, materials, effects, count, &mesh),
              D3D_OK);
    return mesh;
}

// The scroller's font in a memory context.
HDC ScrollerContext()
{
    static HDC dc = [] {
        HDC context = CreateCompatibleDC(NULL);
        SelectObject(context,
                     CreateFontA(256, 0, 0, 0, 900, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0, 0, "Impact"));
        return context;
    }();
    return dc;
}

}  // namespace

TEST(MeshFromX, CubeCountsLayoutAndMaterials)
{
    REQUIRE_DEVICE();
    ID3DXBuffer* materials = nullptr;
    ID3DXBuffer* effects = nullptr;
    ID3DXBuffer* adjacency = nullptr;
    DWORD count = 0;
    ID3DXMesh* mesh = LoadCube(&materials, &count, &effects, &adjacency);
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(mesh->GetNumVertices(), 24u);
    EXPECT_EQ(mesh->GetNumFaces(), 12u);
    EXPECT_EQ(mesh->GetFVF(), DWORD(D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1));
    EXPECT_EQ(mesh->GetNumBytesPerVertex(), 32u);
    EXPECT_EQ(mesh->GetOptions(), DWORD(D3DXMESH_MANAGED));

    // Materials, indexed through the entry type.
    ASSERT_EQ(count, 2u);
    ASSERT_NE(materials, nullptr);
    ASSERT_EQ(materials->GetBufferSize(), 2 * sizeof(D3DXMATERIAL));
    const D3DXMATERIAL* m = static_cast<const D3DXMATERIAL*>(materials->GetBufferPointer());
    EXPECT_EQ(m[0].MatD3D.Diffuse.r, 1.0f);
    EXPECT_EQ(m[0].MatD3D.Diffuse.b, 0.0f);
    EXPECT_EQ(m[0].MatD3D.Power, 8.0f);
    EXPECT_EQ(m[0].MatD3D.Specular.r, 0.5f);
    EXPECT_EQ(m[0].MatD3D.Specular.a, 1.0f);
    EXPECT_EQ(m[0].MatD3D.Ambient.r, 0.0f);
    EXPECT_EQ(m[0].MatD3D.Ambient.a, 1.0f) << "no ambient colour in the file: opaque black";
    EXPECT_EQ(m[0].pTextureFilename, nullptr) << "texture names are read and dropped";
    EXPECT_EQ(m[1].MatD3D.Diffuse.b, 1.0f);
    EXPECT_EQ(m[1].MatD3D.Diffuse.a, 0.5f);
    EXPECT_EQ(m[1].MatD3D.Power, 16.0f);
    EXPECT_EQ(m[1].MatD3D.Emissive.g, 0.2f);
    EXPECT_EQ(m[1].MatD3D.Emissive.a, 1.0f);

    ASSERT_NE(effects, nullptr);
    ASSERT_EQ(effects->GetBufferSize(), 2 * sizeof(D3DXEFFECTINSTANCE));
    EXPECT_EQ(static_cast<const D3DXEFFECTINSTANCE*>(effects->GetBufferPointer())[1].pEffectFilename, nullptr);

    // A closed cube: every face has three neighbours.
    ASSERT_NE(adjacency, nullptr);
    ASSERT_EQ(adjacency->GetBufferSize(), 12 * 3 * sizeof(DWORD));
    const DWORD* across = static_cast<const DWORD*>(adjacency->GetBufferPointer());
    for (int i = 0; i < 36; ++i)
        EXPECT_LT(across[i], 12u);

    // One range per material.
    DWORD ranges = 0;
    ASSERT_EQ(mesh->GetAttributeTable(nullptr, &ranges), D3D_OK);
    ASSERT_EQ(ranges, 2u);
    D3DXATTRIBUTERANGE table[2];
    ASSERT_EQ(mesh->GetAttributeTable(table, &ranges), D3D_OK);
    EXPECT_EQ(table[0].AttribId, 0u);
    EXPECT_EQ(table[0].FaceStart, 0u);
    EXPECT_EQ(table[0].FaceCount, 6u);
    EXPECT_EQ(table[1].AttribId, 1u);
    EXPECT_EQ(table[1].FaceStart, 6u);
    EXPECT_EQ(table[1].FaceCount, 6u);

    // Normals and texture coordinates in the vertex buffer: unit normals along an axis,
    // coordinates in [0, 1], 16-bit indices in range.
    struct Vertex {
        float p[3], n[3], uv[2];
    };
    Vertex* v = nullptr;
    ASSERT_EQ(mesh->LockVertexBuffer(0, reinterpret_cast<void**>(&v)), D3D_OK);
    for (int i = 0; i < 24; ++i) {
        EXPECT_FLOAT_EQ(std::fabs(v[i].n[0]) + std::fabs(v[i].n[1]) + std::fabs(v[i].n[2]), 1.0f);
        EXPECT_GE(v[i].uv[0], 0.0f);
        EXPECT_LE(v[i].uv[1], 1.0f);
    }
    mesh->UnlockVertexBuffer();
    WORD* indices = nullptr;
    ASSERT_EQ(mesh->LockIndexBuffer(0, reinterpret_cast<void**>(&indices)), D3D_OK);
    for (int i = 0; i < 36; ++i)
        EXPECT_LT(indices[i], 24u);
    mesh->UnlockIndexBuffer();

    materials->Release();
    effects->Release();
    adjacency->Release();
    EXPECT_EQ(mesh->Release(), 0u);
}

TEST(MeshFromX, SubsetsDrawTheirOwnFaces)
{
    REQUIRE_DEVICE();
    ID3DXMesh* mesh = LoadCube();
    ASSERT_NE(mesh, nullptr);
    // Subset 0 holds the faces at z = 0 and z = 1 (and y = 0); seen along z they cover the
    // unit square, which fills the middle half of the target.
    const D3DXVECTOR4 red = {1.0f, 0.0f, 0.0f, 1.0f};
    const D3DXVECTOR4 blue = {0.0f, 0.0f, 1.0f, 1.0f};
    std::vector<DWORD> alongZ = Render(mesh, "Flat", OrthoXY(-0.5f, 1.5f, -0.5f, 1.5f), {0}, {red});
    ASSERT_EQ(alongZ.size(), size_t(SIZE * SIZE));
    int inside = 0, outside = 0;
    for (int y = 0; y < SIZE; ++y)
        for (int x = 0; x < SIZE; ++x) {
            const bool inSquare = x >= SIZE / 4 && x < SIZE * 3 / 4 && y >= SIZE / 4 && y < SIZE * 3 / 4;
            const bool onEdge = std::abs(x - SIZE / 4) <= 1 || std::abs(x - SIZE * 3 / 4) <= 1 ||
                                std::abs(y - SIZE / 4) <= 1 || std::abs(y - SIZE * 3 / 4) <= 1;
            if (onEdge)
                continue;
            const DWORD p = Pixel(alongZ, x, y);
            if (inSquare)
                inside += p == 0xff0000u;
            else
                outside += p != 0;
        }
    EXPECT_EQ(inside, (SIZE / 2 - 3) * (SIZE / 2 - 3));
    EXPECT_EQ(outside, 0);

    // Subset 1 holds the faces at x = 0 and x = 1: seen along x they fill the square; seen
    // along z they are edge-on and the red square of subset 0 stays alone.
    std::vector<DWORD> alongX = Render(mesh, "Flat", OrthoZY(-0.5f, 1.5f, -0.5f, 1.5f), {1}, {blue});
    ASSERT_EQ(alongX.size(), size_t(SIZE * SIZE));
    EXPECT_EQ(Pixel(alongX, SIZE / 2, SIZE / 2), 0x0000ffu);
    EXPECT_EQ(Pixel(alongX, SIZE / 8, SIZE / 2), 0u);
    std::vector<DWORD> nothing = Render(mesh, "Flat", OrthoXY(-0.5f, 1.5f, -0.5f, 1.5f), {7}, {blue});
    EXPECT_EQ(Pixel(nothing, SIZE / 2, SIZE / 2), 0u) << "a subset the mesh lacks draws nothing";
    mesh->Release();
}

#ifdef SKV_HAVE_RESOURCE_TABLE
TEST(MeshFromX, ResourceLoadsLikeMemory)
{
    REQUIRE_DEVICE();
    static const EmbeddedResource table[] = {
        {nullptr, 10, 116, reinterpret_cast<const unsigned char*>(CUBE_TWO_MATERIALS),
         reinterpret_cast<const unsigned char*>(CUBE_TWO_MATERIALS) + sizeof CUBE_TWO_MATERIALS - 1},
    };
    RegisterEmbeddedResources(table, 1);
    ID3DXMesh* mesh = nullptr;
    ID3DXBuffer* materials = nullptr;
    DWORD count = 0;
    ASSERT_EQ(D3DXLoadMeshFromXResource(NULL, MAKEINTRESOURCEA(116), MAKEINTRESOURCEA(10), D3DXMESH_MANAGED,
                                        GetRig().device, nullptr, &materials, nullptr, &count, &mesh),
              D3D_OK);
    EXPECT_EQ(mesh->GetNumFaces(), 12u);
    EXPECT_EQ(count, 2u);
    EXPECT_EQ(static_cast<const D3DXMATERIAL*>(materials->GetBufferPointer())[1].MatD3D.Diffuse.b, 1.0f);
    materials->Release();
    mesh->Release();

    // A resource that is not there: a failure, every output cleared.
    mesh = reinterpret_cast<ID3DXMesh*>(1);
    count = 5;
    EXPECT_TRUE(FAILED(D3DXLoadMeshFromXResource(NULL, MAKEINTRESOURCEA(117), MAKEINTRESOURCEA(10), D3DXMESH_MANAGED,
                                                 GetRig().device, nullptr, &materials, nullptr, &count, &mesh)));
    EXPECT_EQ(mesh, nullptr);
    EXPECT_EQ(materials, nullptr);
    EXPECT_EQ(count, 0u);
    RegisterEmbeddedResources(nullptr, 0);
}
#endif

TEST(MeshFromX, MalformedFilesFailCleanly)
{
    REQUIRE_DEVICE();
    const std::string full = CUBE_TWO_MATERIALS;
    for (size_t cut : {size_t(0), size_t(10), size_t(200), full.size() / 2, full.size() - 3}) {
        ID3DXMesh* mesh = reinterpret_cast<ID3DXMesh*>(1);
        ID3DXBuffer* materials = reinterpret_cast<ID3DXBuffer*>(1);
        DWORD count = 9;
        EXPECT_TRUE(FAILED(D3DXLoadMeshFromXInMemory(full.data(), DWORD(cut), D3DXMESH_MANAGED, GetRig().device,
                                                     nullptr, &materials, nullptr, &count, &mesh)));
        EXPECT_EQ(mesh, nullptr);
        EXPECT_EQ(materials, nullptr);
        EXPECT_EQ(count, 0u);
    }
    ID3DXMesh* mesh = nullptr;
    EXPECT_EQ(D3DXLoadMeshFromXInMemory(full.data(), DWORD(full.size()), D3DXMESH_MANAGED, nullptr, nullptr, nullptr,
                                        nullptr, nullptr, &mesh),
              D3DERR_INVALIDCALL)
        << "no device";
}

TEST(TextMeshDevice, GlyphSilhouetteKeepsItsCounter)
{
    REQUIRE_DEVICE();
    ID3DXMesh* mesh = nullptr;
    GLYPHMETRICSFLOAT metrics = {};
    ASSERT_EQ(D3DXCreateTextA(GetRig().device, ScrollerContext(), "O", 0.001f, 0.4f, &mesh, nullptr, &metrics), D3D_OK);
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(mesh->GetFVF(), DWORD(D3DFVF_XYZ | D3DFVF_NORMAL));
    EXPECT_EQ(mesh->GetOptions(), DWORD(D3DXMESH_MANAGED));

    // The glyph box, with a margin, fills the target.
    const float x0 = metrics.gmfptGlyphOrigin.x - 0.05f;
    const float x1 = metrics.gmfptGlyphOrigin.x + metrics.gmfBlackBoxX + 0.05f;
    const float y1 = metrics.gmfptGlyphOrigin.y + 0.05f;
    const float y0 = metrics.gmfptGlyphOrigin.y - metrics.gmfBlackBoxY - 0.05f;
    const std::vector<DWORD> pixels = Render(mesh, "Flat", OrthoXY(x0, x1, y0, y1), {0});
    ASSERT_EQ(pixels.size(), size_t(SIZE * SIZE));
    auto at = [&](float x, float y) {
        const int px = int((x - x0) / (x1 - x0) * SIZE);
        const int py = int((y - y0) / (y1 - y0) * SIZE);
        return Pixel(pixels, px, py);
    };
    const float midX = metrics.gmfptGlyphOrigin.x + metrics.gmfBlackBoxX * 0.5f;
    const float midY = metrics.gmfptGlyphOrigin.y - metrics.gmfBlackBoxY * 0.5f;
    EXPECT_EQ(at(midX, midY), 0u) << "the counter of the O is open";
    EXPECT_EQ(at(metrics.gmfptGlyphOrigin.x + metrics.gmfBlackBoxX * 0.06f, midY), 0xffffffu) << "the left stroke";
    EXPECT_EQ(at(x1 - 0.01f, midY), 0u) << "beyond the glyph";
    EXPECT_EQ(at(midX, metrics.gmfptGlyphOrigin.y - 0.01f), 0xffffffu) << "the top of the bowl";
    mesh->Release();
}

TEST(TextMeshDevice, FrontCapFacesTheViewerAsInDirect3D)
{
    REQUIRE_DEVICE();
    ID3DXMesh* mesh = nullptr;
    GLYPHMETRICSFLOAT metrics = {};
    ASSERT_EQ(D3DXCreateTextA(GetRig().device, ScrollerContext(), "I", 0.001f, 0.4f, &mesh, nullptr, &metrics), D3D_OK);
    const float x0 = metrics.gmfptGlyphOrigin.x - 0.05f, x1 = x0 + metrics.gmfBlackBoxX + 0.1f;
    const float y1 = metrics.gmfptGlyphOrigin.y + 0.05f, y0 = y1 - metrics.gmfBlackBoxY - 0.1f;
    const D3DXMATRIX view = OrthoXY(x0, x1, y0, y1);
    // Seen from +z with clockwise faces culled (the text technique's state), the front cap
    // shows: its normal (0, 0, 1) comes out as (128, 128, 255).
    const std::vector<DWORD> front = Render(mesh, "CullClockwise", view, {0});
    ASSERT_EQ(front.size(), size_t(SIZE * SIZE));
    const DWORD centre = Pixel(front, SIZE / 2, SIZE / 2);
    EXPECT_NEAR(int((centre >> 16) & 0xff), 128, 2);
    EXPECT_NEAR(int((centre >> 8) & 0xff), 128, 2);
    EXPECT_EQ(int(centre & 0xff), 255);
    // Culling the other turn leaves the back cap, facing -z: (128, 128, 0).
    const std::vector<DWORD> back = Render(mesh, "CullCounterClockwise", view, {0});
    const DWORD behind = Pixel(back, SIZE / 2, SIZE / 2);
    EXPECT_NEAR(int((behind >> 16) & 0xff), 128, 2);
    EXPECT_EQ(int(behind & 0xff), 0);
    mesh->Release();
}

TEST(TextMeshDevice, WhatGivesNoMesh)
{
    REQUIRE_DEVICE();
    IDirect3DDevice9* device = GetRig().device;
    ID3DXMesh* mesh = reinterpret_cast<ID3DXMesh*>(1);
    GLYPHMETRICSFLOAT metrics = {};
    metrics.gmfCellIncX = -1.0f;
    // The scroller's terminator glyph: the empty string builds nothing and draws nothing.
    EXPECT_EQ(D3DXCreateTextA(device, ScrollerContext(), "", 0.001f, 0.4f, &mesh, nullptr, &metrics),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(mesh, nullptr);
    EXPECT_EQ(metrics.gmfCellIncX, -1.0f) << "the record is left as it was";
    // A space has no outline either, but its advance is reported.
    EXPECT_EQ(D3DXCreateTextA(device, ScrollerContext(), " ", 0.001f, 0.4f, &mesh, nullptr, &metrics),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(mesh, nullptr);
    EXPECT_GT(metrics.gmfCellIncX, 0.0f);
    EXPECT_EQ(D3DXCreateTextA(nullptr, ScrollerContext(), "A", 0.001f, 0.4f, &mesh, nullptr, &metrics),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXCreateTextA(device, nullptr, "A", 0.001f, 0.4f, &mesh, nullptr, &metrics), D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXCreateTextA(device, ScrollerContext(), "A", -0.001f, 0.4f, &mesh, nullptr, &metrics),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXCreateTextA(device, ScrollerContext(), "A", 0.001f, 0.4f, nullptr, nullptr, &metrics),
              D3DERR_INVALIDCALL);
    HDC bare = CreateCompatibleDC(NULL);
    EXPECT_EQ(D3DXCreateTextA(device, bare, "A", 0.001f, 0.4f, &mesh, nullptr, &metrics), D3DERR_INVALIDCALL)
        << "the stock font has no outlines";
    DeleteDC(bare);

    // With adjacency asked for: a closed glyph has a neighbour across every edge.
    ID3DXBuffer* adjacency = nullptr;
    ASSERT_EQ(D3DXCreateTextA(device, ScrollerContext(), "8", 0.001f, 0.4f, &mesh, &adjacency, &metrics), D3D_OK);
    ASSERT_NE(adjacency, nullptr);
    ASSERT_EQ(adjacency->GetBufferSize(), mesh->GetNumFaces() * 3 * sizeof(DWORD));
    const DWORD* across = static_cast<const DWORD*>(adjacency->GetBufferPointer());
    for (DWORD i = 0; i < mesh->GetNumFaces() * 3; ++i)
        ASSERT_LT(across[i], mesh->GetNumFaces());
    adjacency->Release();
    mesh->Release();
}

TEST(MeshFromX, ChangesThroughLocksReachTheDevice)
{
    REQUIRE_DEVICE();
    ID3DXMesh* mesh = LoadCube();
    ASSERT_NE(mesh, nullptr);
    const D3DXMATRIX view = OrthoXY(-0.5f, 1.5f, -0.5f, 1.5f);
    std::vector<DWORD> before = Render(mesh, "Flat", view, {0});
    ASSERT_EQ(before.size(), size_t(SIZE * SIZE));
    EXPECT_EQ(Pixel(before, SIZE / 2, SIZE / 2), 0xffffffu);
    EXPECT_EQ(Pixel(before, SIZE * 7 / 8, SIZE / 2), 0u);

    // Move the cube half a unit to the right through the vertex buffer.
    float* v = nullptr;
    ASSERT_EQ(mesh->LockVertexBuffer(0, reinterpret_cast<void**>(&v)), D3D_OK);
    for (DWORD i = 0; i < mesh->GetNumVertices(); ++i)
        v[i * 8] += 0.5f;
    mesh->UnlockVertexBuffer();
    std::vector<DWORD> moved = Render(mesh, "Flat", view, {0});
    EXPECT_EQ(Pixel(moved, SIZE * 5 / 16, SIZE / 2), 0u) << "the old left part is empty";
    EXPECT_EQ(Pixel(moved, SIZE * 13 / 16, SIZE / 2), 0xffffffu) << "the cube is drawn where it moved";

    // Give every face attribute 1: subset 0 is empty now, subset 1 holds the whole cube.
    DWORD* attributes = nullptr;
    ASSERT_EQ(mesh->LockAttributeBuffer(0, &attributes), D3D_OK);
    for (DWORD f = 0; f < mesh->GetNumFaces(); ++f)
        attributes[f] = 1;
    mesh->UnlockAttributeBuffer();
    EXPECT_EQ(Pixel(Render(mesh, "Flat", view, {0}), SIZE * 13 / 16, SIZE / 2), 0u);
    EXPECT_EQ(Pixel(Render(mesh, "Flat", view, {1}), SIZE * 13 / 16, SIZE / 2), 0xffffffu);
    mesh->Release();
}
