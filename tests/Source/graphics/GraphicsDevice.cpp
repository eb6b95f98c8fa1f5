#include "GraphicsDevice.h"

#include "CPostProcess.h"
#include "Intro.h"
#include "MessageBoxSpy.h"

#include <SDL.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <sstream>

namespace {

bool s_attempted = false;
bool s_ready = false;
GraphicsTest::InitialState s_initialState = {};
std::map<WORD, ID3DXEffect*> s_introEffects;
std::map<std::string, ID3DXEffect*> s_testEffects;
std::vector<IUnknown*> s_owned;  // released when the tests end, newest first
IDirect3DVertexDeclaration9* s_pDeclQuad = nullptr;
IDirect3DVertexDeclaration9* s_pDeclPosCol = nullptr;

// The tests' helper effect: a point-sampled copy of an image and a flat probe that sees
// the depth buffer without changing it.
const char HELPER_EFFECT[] = R"(
texture g_txImage;
sampler g_samImage = sampler_state
{
    Texture = <g_txImage>;
    MinFilter = Point; MagFilter = Point; MipFilter = None;
    AddressU = Clamp; AddressV = Clamp;
};
float4 CopyPS(float2 Tex : TEXCOORD0) : COLOR0 { return tex2D(g_samImage, Tex); }
float4 FlatPS(float4 Color : COLOR0) : COLOR0 { return Color; }
technique Copy
{
    pass p0
    {
        VertexShader = NULL;
        PixelShader = compile ps_2_0 CopyPS();
        ZEnable = FALSE; ZWriteEnable = FALSE; AlphaBlendEnable = FALSE; CullMode = NONE;
    }
}
technique Probe
{
    pass p0
    {
        VertexShader = NULL;
        PixelShader = compile ps_2_0 FlatPS();
        ZEnable = TRUE; ZFunc = LESSEQUAL; ZWriteEnable = FALSE; AlphaBlendEnable = FALSE; CullMode = NONE;
    }
}
)";

struct ProbeVertex {
    float x, y, z, rhw;
    D3DCOLOR color;
};

// The entry's steps with the device as the intro makes it, stopping before the Demo: the
// tests draw in its place. The device is kept past RunIntro and released at the end.
bool InitDeviceStep()
{
    if (!CGfxD3D::Init())
        return false;
    IDirect3DDevice9* device = CGfxD3D::GetDevice();
    device->GetRenderState(D3DRS_CULLMODE, &s_initialState.cullMode);
    device->GetRenderState(D3DRS_LIGHTING, &s_initialState.lighting);
    device->GetRenderState(D3DRS_ZENABLE, &s_initialState.zEnable);
    s_initialState.cursorShown = SDL_ShowCursor(SDL_QUERY);
    return true;
}
void KeepDeviceStep() {}
bool StopBeforeDemoStep()
{
    return false;
}
void UnexpectedStep()
{
    ADD_FAILURE() << "the start-up went past the device";
}
const IntroSteps DEVICE_ONLY_STEPS = {&InitDeviceStep, &KeepDeviceStep, &StopBeforeDemoStep, &UnexpectedStep,
                                      &UnexpectedStep, &UnexpectedStep, &UnexpectedStep};

class DeviceEnvironment : public ::testing::Environment {
public:
    void TearDown() override
    {
        if (!s_attempted)
            return;
        for (auto& e : s_testEffects)
            e.second->Release();
        s_testEffects.clear();
        for (auto& e : s_introEffects)
            if (e.second)
                e.second->Release();
        s_introEffects.clear();
        for (auto it = s_owned.rbegin(); it != s_owned.rend(); ++it)
            (*it)->Release();
        s_owned.clear();
        CPostProcess::Shutdown();
        CGfxD3D::Shutdown();
        if (GetMainWindow())
            DestroyWindow(GetMainWindow());
    }
};
::testing::Environment* const s_pEnvironment = ::testing::AddGlobalTestEnvironment(new DeviceEnvironment);

IDirect3DVertexDeclaration9* MakeDeclaration(const D3DVERTEXELEMENT9* elements)
{
    IDirect3DVertexDeclaration9* decl = nullptr;
    if (SUCCEEDED(CGfxD3D::GetDevice()->CreateVertexDeclaration(elements, &decl)))
        s_owned.push_back(decl);
    return decl;
}

bool BringUpDevice()
{
    // A report now would wait for a person: answer it, and count it as a failure.
    MessageBoxSpy spy(IDIGNORE);
    RunIntro(DEVICE_ONLY_STEPS);
    if (!CGfxD3D::GetDevice())
        return false;
    CPostProcess::Init();
    const D3DVERTEXELEMENT9 quad[] = {{0, 0, D3DDECLTYPE_FLOAT4, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITIONT, 0},
                                      {0, 16, D3DDECLTYPE_FLOAT2, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_TEXCOORD, 0},
                                      {0, 24, D3DDECLTYPE_FLOAT2, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_TEXCOORD, 1},
                                      D3DDECL_END()};
    const D3DVERTEXELEMENT9 posCol[] = {{0, 0, D3DDECLTYPE_FLOAT4, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITIONT, 0},
                                        {0, 16, D3DDECLTYPE_D3DCOLOR, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_COLOR, 0},
                                        D3DDECL_END()};
    s_pDeclQuad = MakeDeclaration(quad);
    s_pDeclPosCol = MakeDeclaration(posCol);
    for (const MessageBoxSpy::Shown& box : spy.shown)
        ADD_FAILURE() << "report while bringing up the device: " << box.text;
    return spy.shown.empty() && s_pDeclQuad && s_pDeclPosCol;
}

UINT NextPowerOfTwo(int n)
{
    UINT p = 1;
    while (p < static_cast<UINT>(n))
        p <<= 1;
    return p;
}

void PutU32(std::vector<unsigned char>& v, size_t at, uint32_t x)
{
    for (int i = 0; i < 4; ++i)
        v[at + i] = static_cast<unsigned char>(x >> (8 * i));
}

// Draws with every pass of the effect's current technique in a scene of its own, with the
// given declaration, then puts the device's declaration back.
void DrawWith(ID3DXEffect* effect, IDirect3DVertexDeclaration9* decl, const void* vertices, UINT stride)
{
    IDirect3DDevice9* device = CGfxD3D::GetDevice();
    IDirect3DVertexDeclaration9* previous = nullptr;
    device->GetVertexDeclaration(&previous);
    device->SetVertexDeclaration(decl);
    ASSERT_EQ(device->BeginScene(), D3D_OK);
    UINT passes = 0;
    EXPECT_EQ(effect->Begin(&passes, 0), D3D_OK);
    for (UINT p = 0; p < passes; ++p) {
        effect->BeginPass(p);
        EXPECT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, vertices, stride), D3D_OK);
        effect->EndPass();
    }
    effect->End();
    device->EndScene();
    if (previous) {
        device->SetVertexDeclaration(previous);
        previous->Release();
    }
}

int ChannelDifference(uint32_t a, uint32_t b)
{
    int worst = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const int d = std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF));
        worst = std::max(worst, d);
    }
    return worst;
}

std::string Hex(uint32_t c)
{
    char text[16];
    std::snprintf(text, sizeof text, "%08X", c);
    return text;
}

}  // namespace

void GraphicsTest::SetUp()
{
    REQUIRE_DISPLAY();
    if (!s_attempted) {
        s_attempted = true;
        s_ready = BringUpDevice();
    }
    ASSERT_TRUE(s_ready) << "the intro's device could not be brought up";
    IDirect3DDevice9* device = Device();
    device->EndScene();  // in case an earlier test stopped inside a scene
    BindBackBuffer();
    CGfxD3D::ClearDepth(1.0f);
    CGfxD3D::SetFadeLevel(255);
}

const GraphicsTest::InitialState& GraphicsTest::StateAfterInit()
{
    return s_initialState;
}

ID3DXEffect* GraphicsTest::IntroEffect(WORD id)
{
    const auto at = s_introEffects.find(id);
    if (at != s_introEffects.end())
        return at->second;
    MessageBoxSpy spy(IDIGNORE);
    ID3DXEffect* effect = CGfxD3D::CreateEffect(id, "");
    for (const MessageBoxSpy::Shown& box : spy.shown)
        ADD_FAILURE() << "effect " << id << ": " << box.text;
    s_introEffects[id] = effect;
    return effect;
}

ID3DXEffect* GraphicsTest::TestEffect(const std::string& source)
{
    const auto at = s_testEffects.find(source);
    if (at != s_testEffects.end())
        return at->second;
    ID3DXEffect* effect = nullptr;
    ID3DXBuffer* errors = nullptr;
    const HRESULT hr = D3DXCreateEffect(Device(), source.data(), static_cast<UINT>(source.size()), nullptr, nullptr, 0,
                                        nullptr, &effect, &errors);
    EXPECT_EQ(hr, D3D_OK) << (errors ? static_cast<const char*>(errors->GetBufferPointer()) : "");
    if (errors)
        errors->Release();
    if (effect)
        s_testEffects[source] = effect;
    return effect;
}

Image GraphicsTest::ReadSurface(IDirect3DSurface9* surface)
{
    D3DSURFACE_DESC desc;
    surface->GetDesc(&desc);
    Image image;
    IDirect3DSurface9* copy = nullptr;
    if (FAILED(Device()->CreateOffscreenPlainSurface(desc.Width, desc.Height, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM, &copy,
                                                     nullptr))) {
        ADD_FAILURE() << "no system-memory surface";
        return image;
    }
    D3DLOCKED_RECT locked;
    if (SUCCEEDED(Device()->GetRenderTargetData(surface, copy)) && SUCCEEDED(copy->LockRect(&locked, nullptr, 0))) {
        image = Image(static_cast<int>(desc.Width), static_cast<int>(desc.Height));
        for (UINT y = 0; y < desc.Height; ++y)
            std::memcpy(&image.pixels[static_cast<size_t>(y) * desc.Width],
                        static_cast<unsigned char*>(locked.pBits) + y * locked.Pitch, desc.Width * 4);
        copy->UnlockRect();
    } else {
        ADD_FAILURE() << "the target could not be read back";
    }
    copy->Release();
    return image;
}

Image GraphicsTest::ReadTexture(IDirect3DTexture9* texture)
{
    IDirect3DSurface9* surface = nullptr;
    if (!texture || FAILED(texture->GetSurfaceLevel(0, &surface))) {
        ADD_FAILURE() << "no surface to read";
        return Image();
    }
    Image image = ReadSurface(surface);
    surface->Release();
    return image;
}

IDirect3DSurface9* GraphicsTest::BackBuffer()
{
    IDirect3DSurface9* back = nullptr;
    Device()->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back);
    if (back)
        back->Release();  // the device holds it for as long as it lives
    return back;
}

Image GraphicsTest::ReadBackBuffer()
{
    return ReadSurface(BackBuffer());
}

Image GraphicsTest::ReadRenderTarget()
{
    IDirect3DSurface9* target = nullptr;
    Device()->GetRenderTarget(0, &target);
    Image image = ReadSurface(target);
    target->Release();
    return image;
}

IDirect3DTexture9* GraphicsTest::MakeTexture(const Image& image)
{
    // A DDS file in memory: 32-bit A8R8G8B8 texels, no mip levels.
    std::vector<unsigned char> file(128, 0);
    std::memcpy(file.data(), "DDS ", 4);
    PutU32(file, 4, 124);
    PutU32(file, 8, 0x1 | 0x2 | 0x4 | 0x1000);
    PutU32(file, 12, static_cast<uint32_t>(image.height));
    PutU32(file, 16, static_cast<uint32_t>(image.width));
    PutU32(file, 76, 32);
    PutU32(file, 80, 0x41);
    PutU32(file, 88, 32);
    PutU32(file, 92, 0x00FF0000);
    PutU32(file, 96, 0x0000FF00);
    PutU32(file, 100, 0x000000FF);
    PutU32(file, 104, 0xFF000000);
    PutU32(file, 108, 0x1000);
    for (uint32_t t : image.pixels)
        for (int i = 0; i < 4; ++i)
            file.push_back(static_cast<unsigned char>(t >> (8 * i)));
    IDirect3DTexture9* texture = nullptr;
    EXPECT_EQ(D3DXCreateTextureFromFileInMemory(Device(), file.data(), static_cast<UINT>(file.size()), &texture),
              D3D_OK);
    if (texture)
        s_owned.push_back(texture);
    return texture;
}

void GraphicsTest::BindTarget(IDirect3DTexture9* target)
{
    if (!target) {
        BindBackBuffer();
        return;
    }
    IDirect3DSurface9* surface = nullptr;
    ASSERT_EQ(target->GetSurfaceLevel(0, &surface), D3D_OK);
    Device()->SetRenderTarget(0, surface);
    surface->Release();
}

void GraphicsTest::BindBackBuffer()
{
    Device()->SetRenderTarget(0, BackBuffer());
}

void GraphicsTest::FillTarget(IDirect3DTexture9* target, const Image& image)
{
    const UINT w = NextPowerOfTwo(image.width), h = NextPowerOfTwo(image.height);
    Image padded(static_cast<int>(w), static_cast<int>(h));
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            padded.At(x, y) = image.At(x, y);
    IDirect3DTexture9* texture = MakeTexture(padded);
    ID3DXEffect* effect = TestEffect(HELPER_EFFECT);
    ASSERT_TRUE(texture && effect);

    IDirect3DSurface9* previous = nullptr;
    Device()->GetRenderTarget(0, &previous);
    BindTarget(target);
    const float x1 = image.width - 0.5f, y1 = image.height - 0.5f;
    const float u1 = static_cast<float>(image.width) / w, v1 = static_cast<float>(image.height) / h;
    const TestQuadVertex quad[4] = {
        {-0.5f, -0.5f, 0.5f, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f},
        {x1, -0.5f, 0.5f, 1.0f, u1, 0.0f, 0.0f, 0.0f},
        {-0.5f, y1, 0.5f, 1.0f, 0.0f, v1, 0.0f, 0.0f},
        {x1, y1, 0.5f, 1.0f, u1, v1, 0.0f, 0.0f},
    };
    effect->SetTechnique("Copy");
    effect->SetTexture("g_txImage", texture);
    DrawWith(effect, s_pDeclQuad, quad, sizeof(TestQuadVertex));
    effect->SetTexture("g_txImage", nullptr);
    Device()->SetRenderTarget(0, previous);
    previous->Release();
}

ID3DXEffect* GraphicsTest::PassEffect(const std::string& annotations, const std::string& body)
{
    const std::string source = R"(
float2 g_PixelRatio;
texture g_txSrcColor;
texture g_txImage;
float2 g_vCoordScale = {1, 1};
float4 g_vColor = {1, 1, 1, 1};
sampler g_samSrcPoint = sampler_state
{
    Texture = <g_txSrcColor>;
    MinFilter = Point; MagFilter = Point; MipFilter = None;
    AddressU = Clamp; AddressV = Clamp;
};
sampler g_samImage = sampler_state
{
    Texture = <g_txImage>;
    MinFilter = Point; MagFilter = Point; MipFilter = None;
    AddressU = Clamp; AddressV = Clamp;
};
float4 PassPS(float2 Tex : TEXCOORD0, float2 Tex2 : TEXCOORD1) : COLOR0
{
    )" + body + R"(
}
technique PostProcess
{
    pass p0 )" + annotations + R"(
    {
        VertexShader = NULL;
        PixelShader = compile ps_2_0 PassPS();
        ZEnable = FALSE;
    }
}
)";
    return TestEffect(source);
}

void GraphicsTest::RunImagePass(const Image& image, bool quarter)
{
    const UINT w = NextPowerOfTwo(image.width), h = NextPowerOfTwo(image.height);
    Image padded(static_cast<int>(w), static_cast<int>(h));
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            padded.At(x, y) = image.At(x, y);
    IDirect3DTexture9* texture = MakeTexture(padded);
    ID3DXEffect* effect = PassEffect(quarter ? "< float fScaleX = 0.25f; float fScaleY = 0.25f; >" : "",
                                     "return tex2D(g_samImage, Tex * g_vCoordScale);");
    ASSERT_TRUE(texture && effect);
    const float scale[2] = {static_cast<float>(image.width) / w, static_cast<float>(image.height) / h};
    effect->SetTexture("g_txImage", texture);
    effect->SetFloatArray("g_vCoordScale", scale, 2);
    CPostProcess::RunPass(effect);
    effect->SetTexture("g_txImage", nullptr);
}

void GraphicsTest::RunColorPass(D3DCOLOR color)
{
    ID3DXEffect* effect = PassEffect("", "return g_vColor;");
    ASSERT_TRUE(effect);
    const Color4 c = ToColor(color);
    const float value[4] = {c.r, c.g, c.b, c.a};
    effect->SetFloatArray("g_vColor", value, 4);
    CPostProcess::RunPass(effect);
}

void GraphicsTest::DrawProbeQuad(float x, float y, float w, float h, float z, D3DCOLOR color)
{
    ID3DXEffect* effect = TestEffect(HELPER_EFFECT);
    ASSERT_TRUE(effect);
    const ProbeVertex quad[4] = {
        {x, y, z, 1.0f, color},
        {x + w, y, z, 1.0f, color},
        {x, y + h, z, 1.0f, color},
        {x + w, y + h, z, 1.0f, color},
    };
    effect->SetTechnique("Probe");
    DrawWith(effect, s_pDeclPosCol, quad, sizeof(ProbeVertex));
}

::testing::AssertionResult ImagesNear(const Image& actual, const ColorImage& expected, int tolerance, int left, int top,
                                      int width, int height)
{
    if (width < 0)
        width = expected.width;
    if (height < 0)
        height = expected.height;
    if (actual.width < left + width || actual.height < top + height || expected.width < left + width ||
        expected.height < top + height)
        return ::testing::AssertionFailure() << "images too small for the compared region";
    int off = 0, worst = 0;
    std::ostringstream first;
    for (int y = top; y < top + height; ++y) {
        for (int x = left; x < left + width; ++x) {
            const uint32_t want = ToArgb(expected.At(x, y));
            const int d = ChannelDifference(actual.At(x, y), want);
            worst = std::max(worst, d);
            if (d > tolerance && ++off <= 5)
                first << " (" << x << ", " << y << "): " << Hex(actual.At(x, y)) << " instead of " << Hex(want) << ";";
        }
    }
    if (off == 0)
        return ::testing::AssertionSuccess() << "largest difference " << worst;
    return ::testing::AssertionFailure() << off << " of " << width * height << " pixels differ by more than "
                                         << tolerance << " (largest " << worst << "):" << first.str();
}

::testing::AssertionResult ImagesEqual(const Image& actual, const Image& expected, int left, int top, int width,
                                       int height)
{
    return ImagesNear(actual, ToColorImage(expected), 0, left, top, width, height);
}

::testing::AssertionResult ColorNear(uint32_t actual, uint32_t expected, int tolerance)
{
    const int d = ChannelDifference(actual, expected);
    if (d <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << Hex(actual) << " instead of " << Hex(expected) << " (off by " << d << ")";
}
