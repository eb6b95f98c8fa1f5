// D3DX textures from DDS images, the device's reference counting, and the D3DX matrix functions.
#include "DeviceFixture.h"

#include <cstring>

TEST_F(DeviceTest, TextureSizesFollowThePowerOfTwoRule)
{
    REQUIRE_DISPLAY();
    ASSERT_TRUE(CreateDevice(false));
    const std::vector<unsigned char> logo = MakeDds(586, 192, D3DFMT_X8R8G8B8, std::vector<uint32_t>(586 * 192));
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(D3DXCreateTextureFromFileInMemory(m_device, logo.data(), static_cast<UINT>(logo.size()), &texture),
              D3D_OK);
    D3DSURFACE_DESC desc;
    ASSERT_EQ(texture->GetLevelDesc(0, &desc), D3D_OK);
    EXPECT_EQ(desc.Width, 1024u);
    EXPECT_EQ(desc.Height, 256u);
    EXPECT_EQ(desc.Format, D3DFMT_X8R8G8B8);
    EXPECT_EQ(desc.Pool, D3DPOOL_MANAGED);
    EXPECT_EQ(texture->GetLevelCount(), 11u) << "a full mip chain";
    ASSERT_EQ(texture->GetLevelDesc(10, &desc), D3D_OK);
    EXPECT_EQ(desc.Width, 1u);
    EXPECT_EQ(desc.Height, 1u);
    EXPECT_EQ(texture->Release(), 0u);

    const std::vector<unsigned char> picture = MakeDds(1024, 768, D3DFMT_DXT1, {}, std::vector<uint64_t>(256 * 192, 0));
    ASSERT_EQ(D3DXCreateTextureFromFileInMemory(m_device, picture.data(), static_cast<UINT>(picture.size()), &texture),
              D3D_OK);
    texture->GetLevelDesc(0, &desc);
    EXPECT_EQ(desc.Width, 1024u);
    EXPECT_EQ(desc.Height, 1024u);
    EXPECT_EQ(desc.Format, D3DFMT_DXT1);
    texture->Release();

    std::vector<unsigned char> truncated = picture;
    truncated.resize(truncated.size() - 1);
    texture = reinterpret_cast<IDirect3DTexture9*>(1);
    EXPECT_TRUE(FAILED(
        D3DXCreateTextureFromFileInMemory(m_device, truncated.data(), static_cast<UINT>(truncated.size()), &texture)));
    EXPECT_EQ(texture, nullptr);
}

TEST_F(DeviceTest, ScaledImageFillsItsTexture)
{
    REQUIRE_DISPLAY();
    ASSERT_TRUE(CreateDevice(false));
    // 3 x 1: red, green, blue; enlarged to 4 x 1, the ends keep their colours.
    const std::vector<unsigned char> dds = MakeDds(3, 1, D3DFMT_A8R8G8B8, {0xFFFF0000, 0xFF00FF00, 0xFF0000FF});
    IDirect3DTexture9* texture = LoadTexture(dds);
    ASSERT_NE(texture, nullptr);
    ID3DXEffect* effect = DeviceEffect("TexPoint");
    ASSERT_NE(effect, nullptr);
    DrawTexture(effect, texture, 4, 1);
    const std::vector<uint32_t> pixels = ReadBackBuffer();
    EXPECT_GT(Red(Pixel(pixels, 0, 0)), 200);
    EXPECT_LT(Blue(Pixel(pixels, 0, 0)), 60);
    EXPECT_GT(Blue(Pixel(pixels, 3, 0)), 200);
    EXPECT_LT(Red(Pixel(pixels, 3, 0)), 60);
}

TEST_F(DeviceTest, Dxt1TexelsReachTheScreenExactly)
{
    REQUIRE_DISPLAY();
    ASSERT_TRUE(CreateDevice(false));
    // One 4 x 4 block: colour 0 pure red (0xF800), colour 1 pure blue (0x001F); indices per
    // row 0, 1, 2, 3 (row 0) and 1, 0, 3, 2 (the other rows).
    const uint64_t block = 0xF800ull | 0x001Full << 16 | 0xE4ull << 32 | 0xB1ull << 40 | 0xB1ull << 48 | 0xB1ull << 56;
    const std::vector<unsigned char> dds = MakeDds(4, 4, D3DFMT_DXT1, {}, {block});
    IDirect3DTexture9* texture = LoadTexture(dds);
    ASSERT_NE(texture, nullptr);
    ID3DXEffect* effect = DeviceEffect("TexPoint");
    ASSERT_NE(effect, nullptr);
    DrawTexture(effect, texture, 4, 4);
    const std::vector<uint32_t> p = ReadBackBuffer();
    EXPECT_EQ(Pixel(p, 0, 0), 0xFFFF0000u);
    EXPECT_EQ(Pixel(p, 1, 0), 0xFF0000FFu);
    EXPECT_EQ(Pixel(p, 2, 0), 0xFFAA0055u) << "two thirds red, one third blue";
    EXPECT_EQ(Pixel(p, 3, 0), 0xFF5500AAu);
    EXPECT_EQ(Pixel(p, 0, 1), 0xFF0000FFu);
    EXPECT_EQ(Pixel(p, 1, 3), 0xFFFF0000u);
}

TEST_F(DeviceTest, ReferencesCountAsInDirect3D)
{
    REQUIRE_DISPLAY();
    ASSERT_TRUE(CreateDevice(false));
    IDirect3DTexture9* target = nullptr;
    ASSERT_EQ(m_device->CreateTexture(64, 64, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &target,
                                      nullptr),
              D3D_OK);
    IDirect3DSurface9* surface = nullptr;
    ASSERT_EQ(target->GetSurfaceLevel(0, &surface), D3D_OK);
    EXPECT_EQ(target->AddRef(), 3u) << "a level holds its texture";
    target->Release();
    ASSERT_EQ(m_device->SetRenderTarget(0, surface), D3D_OK);
    EXPECT_EQ(surface->Release(), 2u) << "the device holds the bound target";
    IDirect3DSurface9* back = nullptr;
    m_device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back);
    m_device->SetRenderTarget(0, back);
    back->Release();
    EXPECT_EQ(target->Release(), 0u);
    EXPECT_EQ(m_device->CreateTexture(0, 64, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &target, nullptr),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(m_device->SetRenderTarget(0, nullptr), D3DERR_INVALIDCALL);
}

TEST(D3DXMath, MultiplyInTheRowVectorConvention)
{
    D3DXMATRIX a = {}, b = {}, out;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            a.m[i][j] = static_cast<float>(i * 4 + j);
            b.m[i][j] = static_cast<float>((i + 1) * (j + 2) % 7);
        }
    D3DXMatrixMultiply(&out, &a, &b);
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k)
                sum += a.m[i][k] * b.m[k][j];
            EXPECT_FLOAT_EQ(out.m[i][j], sum);
        }
    D3DXMATRIX copy = a;
    D3DXMatrixMultiply(&a, &a, &b);
    EXPECT_EQ(std::memcmp(&a, &out, sizeof a), 0) << "the output may be an operand";
    (void)copy;
}

TEST(D3DXMath, OrthoOffCenterMapsTheScreenRectangle)
{
    D3DXMATRIX m;
    ASSERT_EQ(D3DXMatrixOrthoOffCenterRH(&m, 0, 1024, 768, 0, 0, 10000), &m);
    auto transform = [&](float x, float y, float z, float out[4]) {
        for (int j = 0; j < 4; ++j)
            out[j] = x * m.m[0][j] + y * m.m[1][j] + z * m.m[2][j] + m.m[3][j];
    };
    float p[4];
    transform(0, 0, 0, p);
    EXPECT_FLOAT_EQ(p[0], -1.0f);
    EXPECT_FLOAT_EQ(p[1], 1.0f) << "top row 0 maps to the top";
    EXPECT_FLOAT_EQ(p[2], 0.0f);
    transform(1024, 768, -10000, p);
    EXPECT_FLOAT_EQ(p[0], 1.0f);
    EXPECT_FLOAT_EQ(p[1], -1.0f);
    EXPECT_FLOAT_EQ(p[2], 1.0f) << "right-handed: far plane at z = -far";
    EXPECT_FLOAT_EQ(p[3], 1.0f);
}

TEST_F(DeviceTest, TextureLoaderOptionsKeepTheFileSizeOrPlaceTheImageUnscaled)
{
    REQUIRE_DISPLAY();
    ASSERT_TRUE(CreateDevice(false));
    const std::vector<unsigned char> dds = MakeDds(3, 1, D3DFMT_A8R8G8B8, {0xFFFF0000, 0xFF00FF00, 0xFF0000FF});
    const UINT size = static_cast<UINT>(dds.size());
    IDirect3DTexture9* texture = nullptr;
    D3DXIMAGE_INFO info = {};
    ASSERT_EQ(D3DXCreateTextureFromFileInMemoryEx(m_device, dds.data(), size, D3DX_DEFAULT_NONPOW2, D3DX_FROM_FILE, 1,
                                                  0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED, D3DX_FILTER_NONE, D3DX_DEFAULT, 0,
                                                  &info, nullptr, &texture),
              D3D_OK);
    D3DSURFACE_DESC desc;
    texture->GetLevelDesc(0, &desc);
    EXPECT_EQ(desc.Width, 3u);
    EXPECT_EQ(desc.Height, 1u);
    EXPECT_EQ(texture->GetLevelCount(), 1u);
    EXPECT_EQ(desc.Format, D3DFMT_A8R8G8B8);
    EXPECT_EQ(info.Width, 3u);
    EXPECT_EQ(info.Format, D3DFMT_A8R8G8B8);
    EXPECT_EQ(info.ImageFileFormat, D3DXIFF_DDS);
    texture->Release();

    // A larger size without a filter: the image in the top-left corner, transparent black
    // around it, and as many levels as the size has.
    ASSERT_EQ(D3DXCreateTextureFromFileInMemoryEx(m_device, dds.data(), size, 4, 2, D3DX_DEFAULT, 0, D3DFMT_UNKNOWN,
                                                  D3DPOOL_MANAGED, D3DX_FILTER_NONE | D3DX_FILTER_DITHER, D3DX_DEFAULT,
                                                  0, nullptr, nullptr, &texture),
              D3D_OK);
    m_owned.push_back(texture);
    EXPECT_EQ(texture->GetLevelCount(), 3u);
    ID3DXEffect* effect = DeviceEffect("TexPoint");
    ASSERT_NE(effect, nullptr);
    DrawTexture(effect, texture, 4, 2);
    const std::vector<uint32_t> p = ReadBackBuffer();
    EXPECT_EQ(Pixel(p, 0, 0), 0xFFFF0000u);
    EXPECT_EQ(Pixel(p, 2, 0), 0xFF0000FFu);
    EXPECT_EQ(Pixel(p, 3, 0), 0x00000000u);
    EXPECT_EQ(Pixel(p, 1, 1), 0x00000000u);

    // Options the loader does not take are refused, leaving no texture.
    for (DWORD filter : {DWORD(D3DX_FILTER_POINT), DWORD(D3DX_FILTER_BOX)}) {
        texture = reinterpret_cast<IDirect3DTexture9*>(1);
        EXPECT_EQ(D3DXCreateTextureFromFileInMemoryEx(m_device, dds.data(), size, 0, 0, 0, 0, D3DFMT_UNKNOWN,
                                                      D3DPOOL_MANAGED, filter, D3DX_DEFAULT, 0, nullptr, nullptr,
                                                      &texture),
                  D3DERR_NOTAVAILABLE);
        EXPECT_EQ(texture, nullptr);
    }
    EXPECT_EQ(D3DXCreateTextureFromFileInMemoryEx(m_device, dds.data(), size, 0, 0, 0, 0, D3DFMT_UNKNOWN,
                                                  D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0xFF000000, nullptr,
                                                  nullptr, &texture),
              D3DERR_NOTAVAILABLE)
        << "no colour key";
}
