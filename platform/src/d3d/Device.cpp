#include "Device.h"

#include "DeviceContext.h"

#include "heap/AllocatorTuning.h"

#include "Surface.h"
#include "Texture.h"
#include "VertexDeclaration.h"
#include "win/PlatformWindow.h"

#include <algorithm>
#include <cstdlib>

namespace {

// Room for several frames of vertices drawn from memory and of shader parameters.
const size_t STREAM_SIZE = 8u << 20;

void SetDefaultRenderStates(std::array<DWORD, 256>& rs, bool depthBuffer)
{
    rs.fill(0);
    rs[D3DRS_ZENABLE] = depthBuffer ? D3DZB_TRUE : D3DZB_FALSE;
    rs[D3DRS_FILLMODE] = D3DFILL_SOLID;
    rs[D3DRS_SHADEMODE] = 2;  // Gouraud
    rs[D3DRS_ZWRITEENABLE] = TRUE;
    rs[D3DRS_SRCBLEND] = D3DBLEND_ONE;
    rs[D3DRS_DESTBLEND] = D3DBLEND_ZERO;
    rs[D3DRS_CULLMODE] = D3DCULL_CCW;
    rs[D3DRS_ZFUNC] = D3DCMP_LESSEQUAL;
    rs[D3DRS_ALPHAFUNC] = D3DCMP_ALWAYS;
    rs[D3DRS_LIGHTING] = TRUE;
    rs[D3DRS_COLORWRITEENABLE] = 0xF;
    rs[D3DRS_BLENDOP] = D3DBLENDOP_ADD;
    rs[D3DRS_BLENDFACTOR] = 0xFFFFFFFF;
    rs[D3DRS_SRCBLENDALPHA] = D3DBLEND_ONE;
    rs[D3DRS_DESTBLENDALPHA] = D3DBLEND_ZERO;
    rs[D3DRS_BLENDOPALPHA] = D3DBLENDOP_ADD;
}

void SetDefaultSamplerStates(DWORD* s)
{
    for (int i = 0; i < SAMPLER_STATE_COUNT; ++i)
        s[i] = 0;
    s[D3DSAMP_ADDRESSU] = D3DTADDRESS_WRAP;
    s[D3DSAMP_ADDRESSV] = D3DTADDRESS_WRAP;
    s[D3DSAMP_ADDRESSW] = D3DTADDRESS_WRAP;
    s[D3DSAMP_MAGFILTER] = D3DTEXF_POINT;
    s[D3DSAMP_MINFILTER] = D3DTEXF_POINT;
    s[D3DSAMP_MIPFILTER] = D3DTEXF_NONE;
    s[D3DSAMP_MAXANISOTROPY] = 1;
}

}  // namespace

HRESULT Device::Create(SDL_Window* window, const D3DPRESENT_PARAMETERS& parameters, Device** device)
{
    Device* d = new Device();
    if (!d->Initialize(window, parameters)) {
        d->Release();
        return D3DERR_NOTAVAILABLE;
    }
    *device = d;
    return D3D_OK;
}

bool Device::Initialize(SDL_Window* window, const D3DPRESENT_PARAMETERS& parameters)
{
    m_window = window;
    RetainSdlWindow(window);
    KeepFreedMemoryForReuse();
    m_parameters = parameters;
    if (!parameters.Windowed && SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0)
        return false;
    m_context = CreateDeviceContext(window, parameters.PresentationInterval != D3DPRESENT_INTERVAL_IMMEDIATE);
    if (!m_context)
        return false;

    glDisable(GL_DITHER);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glGetIntegerv(GL_UNIFORM_BUFFER_OFFSET_ALIGNMENT, &m_uniformAlignment);
    m_fenceGuard.Enable(LlvmpipeFenceGuard::NeededFor(reinterpret_cast<const char*>(glGetString(GL_RENDERER)),
                                                      std::getenv(LlvmpipeFenceGuard::SETTING)));
    // A pre-transformed vertex without a colour is white, as Direct3D's default diffuse.
    glVertexAttrib4f(2, 1.0f, 1.0f, 1.0f, 1.0f);
    if (!m_stream.Create(STREAM_SIZE))
        return false;

    const UINT width = m_parameters.BackBufferWidth;
    const UINT height = m_parameters.BackBufferHeight;
    if (m_parameters.EnableAutoDepthStencil) {
        glGenRenderbuffers(1, &m_depthBuffer);
        glBindRenderbuffer(GL_RENDERBUFFER, m_depthBuffer);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT16, static_cast<GLsizei>(width),
                              static_cast<GLsizei>(height));
    }
    glGenTextures(1, &m_backBufferTexture);
    glBindTexture(GL_TEXTURE_2D, m_backBufferTexture);
    glTexStorage2D(GL_TEXTURE_2D, 1, GL_RGBA8, static_cast<GLsizei>(width), static_cast<GLsizei>(height));
    m_backBufferFramebuffer = CreateTargetFramebuffer(m_backBufferTexture, m_depthBuffer);
    if (!m_backBufferFramebuffer)
        return false;

    D3DSURFACE_DESC desc = {};
    desc.Format = m_parameters.BackBufferFormat;
    desc.Type = D3DRTYPE_SURFACE;
    desc.Usage = D3DUSAGE_RENDERTARGET;
    desc.Pool = D3DPOOL_DEFAULT;
    desc.Width = width;
    desc.Height = height;
    m_backBuffer = new Surface(this, desc, m_backBufferTexture, m_backBufferFramebuffer);

    SetDefaultRenderStates(m_renderStates, m_depthBuffer != 0);
    for (SamplerStage& s : m_samplerStages)
        SetDefaultSamplerStates(s.states);
    m_backBuffer->AddRef();
    m_renderTarget = m_backBuffer;
    BindRenderTarget();
    UseFramebufferSize(width, height);
    glClearBufferfv(GL_COLOR, 0, std::array<float, 4>{0, 0, 0, 1}.data());
    return glGetError() == GL_NO_ERROR;
}

Device::~Device()
{
    if (m_context)
        MakeDeviceContextCurrent(m_window, m_context);
    if (m_renderTarget)
        m_renderTarget->Release();
    m_renderTarget = nullptr;
    if (m_declaration)
        m_declaration->Release();
    m_declaration = nullptr;
    for (SamplerStage& s : m_samplerStages) {
        if (s.texture)
            s.texture->Release();
        s.texture = nullptr;
    }
    if (m_backBuffer)
        m_backBuffer->Release();
    m_backBuffer = nullptr;
    m_compiledEffects.clear();
    // Whatever is still alive outlives the context: free its GL objects now.
    const std::vector<DeviceChild*> children = m_children;
    for (DeviceChild* child : children) {
        if (m_context)
            child->ReleaseGlObjects();
        child->Orphan();
    }
    m_children.clear();
    if (m_context) {
        for (const auto& p : m_linkedPrograms)
            glDeleteProgram(p.second.program);
        for (const auto& s : m_shaders)
            glDeleteShader(s.second);
        for (const auto& s : m_samplerObjects)
            glDeleteSamplers(1, &s.second);
        m_fenceGuard.Release();
        m_stream.Destroy();
        if (m_backBufferFramebuffer)
            glDeleteFramebuffers(1, &m_backBufferFramebuffer);
        if (m_backBufferTexture)
            glDeleteTextures(1, &m_backBufferTexture);
        if (m_depthBuffer)
            glDeleteRenderbuffers(1, &m_depthBuffer);
        DestroyDeviceContext(m_window, m_context);
    }
    if (m_window && !m_parameters.Windowed)
        SDL_SetWindowFullscreen(m_window, 0);
    ReleaseSdlWindow(m_window);
}

bool Device::IsCurrent() const
{
    return IsDeviceContextCurrent(m_context);
}

void Device::AddChild(DeviceChild* child)
{
    m_children.push_back(child);
}

void Device::RemoveChild(DeviceChild* child)
{
    const auto at = std::find(m_children.begin(), m_children.end(), child);
    if (at != m_children.end())
        m_children.erase(at);
}

std::shared_ptr<CompiledEffect> Device::FindCompiledEffect(const std::string& key) const
{
    const auto at = m_compiledEffects.find(key);
    return at == m_compiledEffects.end() ? nullptr : at->second;
}

void Device::StoreCompiledEffect(const std::string& key, std::shared_ptr<CompiledEffect> effect)
{
    m_compiledEffects[key] = std::move(effect);
}

void Device::BindRenderTarget()
{
    glBindFramebuffer(GL_FRAMEBUFFER, m_renderTarget->Framebuffer());
}

void Device::UseFramebufferSize(UINT width, UINT height)
{
    // Setting a render target resets the viewport to the whole target, as in Direct3D.
    m_targetWidth = width;
    m_targetHeight = height;
    glViewport(0, 0, static_cast<GLsizei>(width), static_cast<GLsizei>(height));
    glDepthRangef(0.0f, 1.0f);
}

// ---- resources ----

HRESULT WINAPI Device::CreateTexture(UINT Width, UINT Height, UINT Levels, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool,
                                     IDirect3DTexture9** ppTexture, HANDLE* pSharedHandle)
{
    if (!ppTexture)
        return D3DERR_INVALIDCALL;
    *ppTexture = nullptr;
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    const bool renderTarget = (Usage & D3DUSAGE_RENDERTARGET) != 0;
    const bool formatOk = Format == D3DFMT_A8R8G8B8 || Format == D3DFMT_X8R8G8B8 ||
                          (Format == D3DFMT_DXT1 && !renderTarget);
    if (pSharedHandle || Width == 0 || Height == 0 || Width > static_cast<UINT>(maxSize) ||
        Height > static_cast<UINT>(maxSize) || !formatOk || (renderTarget && Pool != D3DPOOL_DEFAULT) ||
        (Usage & ~(D3DUSAGE_RENDERTARGET | D3DUSAGE_DYNAMIC | D3DUSAGE_AUTOGENMIPMAP)) != 0)
        return D3DERR_INVALIDCALL;
    UINT fullChain = 1;
    while ((Width >> fullChain) > 0 || (Height >> fullChain) > 0)
        ++fullChain;
    if (Levels == 0 || Levels > fullChain)
        Levels = Levels == 0 ? fullChain : 0;
    if (Levels == 0)
        return D3DERR_INVALIDCALL;
    Texture* t = Texture::Create(this, Width, Height, Levels, Usage, Format, Pool, m_depthBuffer);
    if (renderTarget)
        BindRenderTarget();
    if (!t)
        return D3DERR_OUTOFVIDEOMEMORY;
    *ppTexture = t;
    return D3D_OK;
}

HRESULT WINAPI Device::CreateVertexDeclaration(const D3DVERTEXELEMENT9* pVertexElements,
                                               IDirect3DVertexDeclaration9** ppDecl)
{
    if (!pVertexElements || !ppDecl)
        return D3DERR_INVALIDCALL;
    *ppDecl = VertexDeclaration::Create(this, pVertexElements);
    return *ppDecl ? D3D_OK : D3DERR_INVALIDCALL;
}

HRESULT WINAPI Device::SetVertexDeclaration(IDirect3DVertexDeclaration9* pDecl)
{
    if (!pDecl)
        return D3DERR_INVALIDCALL;
    pDecl->AddRef();
    if (m_declaration)
        m_declaration->Release();
    m_declaration = static_cast<VertexDeclaration*>(pDecl);
    return D3D_OK;
}

HRESULT WINAPI Device::GetVertexDeclaration(IDirect3DVertexDeclaration9** ppDecl)
{
    if (!ppDecl)
        return D3DERR_INVALIDCALL;
    *ppDecl = m_declaration;
    if (m_declaration)
        m_declaration->AddRef();
    return D3D_OK;
}

// ---- render targets and scenes ----

HRESULT WINAPI Device::SetRenderTarget(DWORD RenderTargetIndex, IDirect3DSurface9* pRenderTarget)
{
    Surface* surface = static_cast<Surface*>(pRenderTarget);
    if (RenderTargetIndex != 0 || !surface || !surface->Framebuffer())
        return D3DERR_INVALIDCALL;
    // Setting the bound target again ends no scene in the driver, and so is no scene end
    // for the guard either.
    if (!m_renderTarget || m_renderTarget->Framebuffer() != surface->Framebuffer())
        m_fenceGuard.SceneEnds();
    surface->AddRef();
    if (m_renderTarget)
        m_renderTarget->Release();
    m_renderTarget = surface;
    BindRenderTarget();
    UseFramebufferSize(surface->Desc().Width, surface->Desc().Height);
    return D3D_OK;
}

HRESULT WINAPI Device::GetRenderTarget(DWORD RenderTargetIndex, IDirect3DSurface9** ppRenderTarget)
{
    if (!ppRenderTarget)
        return D3DERR_INVALIDCALL;
    *ppRenderTarget = nullptr;
    if (RenderTargetIndex != 0)
        return D3DERR_NOTFOUND;
    m_renderTarget->AddRef();
    *ppRenderTarget = m_renderTarget;
    return D3D_OK;
}

HRESULT WINAPI Device::BeginScene()
{
    if (m_inScene)
        return D3DERR_INVALIDCALL;
    m_inScene = true;
    return D3D_OK;
}

HRESULT WINAPI Device::EndScene()
{
    if (!m_inScene)
        return D3DERR_INVALIDCALL;
    m_inScene = false;
    return D3D_OK;
}

HRESULT WINAPI Device::Clear(DWORD Count, const D3DRECT* pRects, DWORD Flags, D3DCOLOR Color, float Z, DWORD)
{
    if ((Flags & D3DCLEAR_STENCIL) || ((Flags & D3DCLEAR_ZBUFFER) && !m_depthBuffer) ||
        (Flags & ~(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL)) || (Count > 0 && !pRects))
        return D3DERR_INVALIDCALL;
    // The render target's framebuffer is the bound one. A clear ignores the write masks of drawing.
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glDepthMask(GL_TRUE);
    m_renderStatesDirty = true;
    const float colour[4] = {((Color >> 16) & 0xFF) / 255.0f, ((Color >> 8) & 0xFF) / 255.0f, (Color & 0xFF) / 255.0f,
                             ((Color >> 24) & 0xFF) / 255.0f};
    const float depth = std::min(1.0f, std::max(0.0f, Z));
    const DWORD rects = Count > 0 ? Count : 1;
    for (DWORD i = 0; i < rects; ++i) {
        if (Count > 0) {
            const LONG x1 = std::max<LONG>(0, pRects[i].x1), y1 = std::max<LONG>(0, pRects[i].y1);
            const LONG x2 = std::min<LONG>(static_cast<LONG>(m_targetWidth), pRects[i].x2);
            const LONG y2 = std::min<LONG>(static_cast<LONG>(m_targetHeight), pRects[i].y2);
            if (x2 <= x1 || y2 <= y1)
                continue;
            glEnable(GL_SCISSOR_TEST);
            glScissor(x1, y1, x2 - x1, y2 - y1);
        }
        if (Flags & D3DCLEAR_TARGET)
            glClearBufferfv(GL_COLOR, 0, colour);
        if (Flags & D3DCLEAR_ZBUFFER)
            glClearBufferfv(GL_DEPTH, 0, &depth);
    }
    glDisable(GL_SCISSOR_TEST);
    return D3D_OK;
}

// ---- states ----

HRESULT WINAPI Device::SetRenderState(D3DRENDERSTATETYPE State, DWORD Value)
{
    if (State < 0 || State >= static_cast<int>(m_renderStates.size()))
        return D3DERR_INVALIDCALL;
    if (m_renderStates[State] != Value) {
        m_renderStates[State] = Value;
        m_renderStatesDirty = true;
    }
    return D3D_OK;
}

HRESULT WINAPI Device::GetRenderState(D3DRENDERSTATETYPE State, DWORD* pValue)
{
    if (!pValue || State < 0 || State >= static_cast<int>(m_renderStates.size()))
        return D3DERR_INVALIDCALL;
    *pValue = m_renderStates[State];
    return D3D_OK;
}

HRESULT WINAPI Device::SetTexture(DWORD Stage, IDirect3DBaseTexture9* pTexture)
{
    if (Stage >= static_cast<DWORD>(SAMPLER_STAGES))
        return D3DERR_INVALIDCALL;
    if (pTexture)
        pTexture->AddRef();
    if (m_samplerStages[Stage].texture)
        m_samplerStages[Stage].texture->Release();
    m_samplerStages[Stage].texture = pTexture;
    return D3D_OK;
}

HRESULT WINAPI Device::GetTexture(DWORD Stage, IDirect3DBaseTexture9** ppTexture)
{
    if (!ppTexture || Stage >= static_cast<DWORD>(SAMPLER_STAGES))
        return D3DERR_INVALIDCALL;
    *ppTexture = m_samplerStages[Stage].texture;
    if (*ppTexture)
        (*ppTexture)->AddRef();
    return D3D_OK;
}

HRESULT WINAPI Device::SetSamplerState(DWORD Sampler, D3DSAMPLERSTATETYPE Type, DWORD Value)
{
    if (Sampler >= static_cast<DWORD>(SAMPLER_STAGES) || Type < 1 || Type >= SAMPLER_STATE_COUNT)
        return D3DERR_INVALIDCALL;
    m_samplerStages[Sampler].states[Type] = Value;
    return D3D_OK;
}

HRESULT WINAPI Device::GetSamplerState(DWORD Sampler, D3DSAMPLERSTATETYPE Type, DWORD* pValue)
{
    if (!pValue || Sampler >= static_cast<DWORD>(SAMPLER_STAGES) || Type < 1 || Type >= SAMPLER_STATE_COUNT)
        return D3DERR_INVALIDCALL;
    *pValue = m_samplerStages[Sampler].states[Type];
    return D3D_OK;
}
