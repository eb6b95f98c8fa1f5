#pragma once

// The Direct3D 9 device over the part of OpenGL that OpenGL ES 3.0 and WebGL 2 share. It
// keeps a shadow copy of the Direct3D state and applies it to GL before each draw;
// everything it draws goes into framebuffer objects with Direct3D's conventions (top row
// first, depth 0..1, pixel centres at integers; its vertex programs turn Direct3D's clip
// volume into GL's), and Present copies the back buffer to the window, scaled to fit.
#include "DeviceChild.h"
#include "LlvmpipeFenceGuard.h"
#include "RefCounted.h"
#include "StreamingBuffer.h"
#include "effect/front/ShaderTranslator.h"

#include <SDL.h>
#include <d3d9.h>
#include "Gl.h"

#include <array>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class Surface;
class VertexDeclaration;
struct CompiledEffect;

// One shader stage, translated and compiled; the device links vertex and pixel stages in
// pairs as they are drawn with.
struct StageProgram {
    ShaderStage stage = ShaderStage::Vertex;
    GLuint glShader = 0;
    TranslatedShader shader;
    // Pixel stages: the vertex shader that feeds them pre-transformed (POSITIONT) vertices.
    GLuint preTransformedShader = 0;
};

const int SAMPLER_STAGES = 16;
const int SAMPLER_STATE_COUNT = 12;  // D3DSAMP_ADDRESSU (1) ... D3DSAMP_SRGBTEXTURE (11)

class Device final : public RefCounted<IDirect3DDevice9> {
public:
    static HRESULT Create(SDL_Window* window, const D3DPRESENT_PARAMETERS& parameters, Device** device);

    // ---- IDirect3DDevice9 ----
    HRESULT WINAPI Present(const RECT* pSourceRect, const RECT* pDestRect, HWND hDestWindowOverride,
                           const RGNDATA* pDirtyRegion) override;
    HRESULT WINAPI GetBackBuffer(UINT iSwapChain, UINT iBackBuffer, D3DBACKBUFFER_TYPE Type,
                                 IDirect3DSurface9** ppBackBuffer) override;
    HRESULT WINAPI CreateTexture(UINT Width, UINT Height, UINT Levels, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool,
                                 IDirect3DTexture9** ppTexture, HANDLE* pSharedHandle) override;
    HRESULT WINAPI GetRenderTargetData(IDirect3DSurface9* pRenderTarget, IDirect3DSurface9* pDestSurface) override;
    HRESULT WINAPI CreateOffscreenPlainSurface(UINT Width, UINT Height, D3DFORMAT Format, D3DPOOL Pool,
                                               IDirect3DSurface9** ppSurface, HANDLE* pSharedHandle) override;
    HRESULT WINAPI SetRenderTarget(DWORD RenderTargetIndex, IDirect3DSurface9* pRenderTarget) override;
    HRESULT WINAPI GetRenderTarget(DWORD RenderTargetIndex, IDirect3DSurface9** ppRenderTarget) override;
    HRESULT WINAPI BeginScene() override;
    HRESULT WINAPI EndScene() override;
    HRESULT WINAPI Clear(DWORD Count, const D3DRECT* pRects, DWORD Flags, D3DCOLOR Color, float Z,
                         DWORD Stencil) override;
    HRESULT WINAPI SetRenderState(D3DRENDERSTATETYPE State, DWORD Value) override;
    HRESULT WINAPI GetRenderState(D3DRENDERSTATETYPE State, DWORD* pValue) override;
    HRESULT WINAPI GetTexture(DWORD Stage, IDirect3DBaseTexture9** ppTexture) override;
    HRESULT WINAPI SetTexture(DWORD Stage, IDirect3DBaseTexture9* pTexture) override;
    HRESULT WINAPI GetSamplerState(DWORD Sampler, D3DSAMPLERSTATETYPE Type, DWORD* pValue) override;
    HRESULT WINAPI SetSamplerState(DWORD Sampler, D3DSAMPLERSTATETYPE Type, DWORD Value) override;
    HRESULT WINAPI DrawPrimitiveUP(D3DPRIMITIVETYPE PrimitiveType, UINT PrimitiveCount,
                                   const void* pVertexStreamZeroData, UINT VertexStreamZeroStride) override;
    HRESULT WINAPI CreateVertexDeclaration(const D3DVERTEXELEMENT9* pVertexElements,
                                           IDirect3DVertexDeclaration9** ppDecl) override;
    HRESULT WINAPI SetVertexDeclaration(IDirect3DVertexDeclaration9* pDecl) override;
    HRESULT WINAPI GetVertexDeclaration(IDirect3DVertexDeclaration9** ppDecl) override;

    // ---- for the layer's own parts (effects, D3DX loaders, meshes) ----
    void AddChild(DeviceChild* child);
    void RemoveChild(DeviceChild* child);

    // The shaders of the current pass; null leaves that stage without a program.
    void SetStagePrograms(const StageProgram* vertex, const StageProgram* pixel);
    const StageProgram* GetVertexProgram() const { return m_vertexProgram; }
    const StageProgram* GetPixelProgram() const { return m_pixelProgram; }
    // Keeps a stage's parameter block for the draws that follow; it goes into the stream
    // with the next draw and is bound at binding.
    bool SetUniformBlock(int binding, const void* data, size_t size);
    // Compiles a stage from translated GLSL (vertex stages get Direct3D's pixel-centre
    // offset and clip volume); shaders are cached by source, so one text compiles once per
    // device.
    bool LinkStage(ShaderStage stage, const TranslatedShader& shader, StageProgram& out, std::string& log);
    // Links the program a pass draws with (a pixel stage alone: with its pre-transformed
    // vertex shader), so that a failure shows when the effect is made, not at a draw.
    bool LinkPair(const StageProgram* vertex, const StageProgram& pixel, std::string& log);
    // Draws with an indexed vertex array the caller has set up (meshes): applies the state,
    // binds the programs for untransformed vertices and issues the draw.
    bool DrawIndexedTriangles(GLuint vertexArray, UINT firstIndex, UINT indexCount);

    std::shared_ptr<CompiledEffect> FindCompiledEffect(const std::string& key) const;
    void StoreCompiledEffect(const std::string& key, std::shared_ptr<CompiledEffect> effect);

    GLuint DepthBuffer() const { return m_depthBuffer; }
    bool IsCurrent() const;
    const LlvmpipeFenceGuard& FenceGuard() const { return m_fenceGuard; }

private:
    Device() = default;
    ~Device();
    bool Initialize(SDL_Window* window, const D3DPRESENT_PARAMETERS& parameters);
    // A linked program and where its device-set uniforms are.
    struct LinkedProgram {
        GLuint program = 0;
        GLint placement = -1;  // skv_PixelOffset or skv_TargetSize
    };
    void ApplyState();
    bool BindPrograms(bool preTransformed);
    const LinkedProgram* Link(GLuint vertexShader, const StageProgram& pixel, std::string& log);
    bool UploadUniformBlocks(size_t reserve);
    void BindSamplers();
    GLuint SamplerObject(const DWORD* states);
    GLuint CompileShader(GLenum type, const std::string& glsl, std::string& log);
    void UseFramebufferSize(UINT width, UINT height);
    void BindRenderTarget();

    SDL_Window* m_window = nullptr;
    SDL_GLContext m_context = nullptr;
    D3DPRESENT_PARAMETERS m_parameters = {};
    std::vector<DeviceChild*> m_children;

    Surface* m_backBuffer = nullptr;
    GLuint m_backBufferTexture = 0;
    GLuint m_backBufferFramebuffer = 0;
    GLuint m_depthBuffer = 0;

    Surface* m_renderTarget = nullptr;
    VertexDeclaration* m_declaration = nullptr;
    bool m_inScene = false;

    std::array<DWORD, 256> m_renderStates = {};
    bool m_renderStatesDirty = true;
    struct SamplerStage {
        IDirect3DBaseTexture9* texture = nullptr;
        DWORD states[SAMPLER_STATE_COUNT] = {};
    };
    SamplerStage m_samplerStages[SAMPLER_STAGES];

    const StageProgram* m_vertexProgram = nullptr;
    const StageProgram* m_pixelProgram = nullptr;
    GLuint m_boundProgram = 0;
    UINT m_targetWidth = 0;
    UINT m_targetHeight = 0;

    LlvmpipeFenceGuard m_fenceGuard;
    StreamingBuffer m_stream;
    GLint m_uniformAlignment = 256;
    // Each stage's parameters as last set, and whether the stream holds them.
    struct UniformBlock {
        std::vector<unsigned char> data;
        bool written = false;
    };
    UniformBlock m_uniformBlocks[2];
    std::vector<unsigned char> m_vertexScratch;
    std::unordered_map<std::string, GLuint> m_shaders;
    std::map<std::pair<GLuint, GLuint>, LinkedProgram> m_linkedPrograms;
    std::vector<std::pair<std::array<DWORD, SAMPLER_STATE_COUNT>, GLuint>> m_samplerObjects;
    std::unordered_map<std::string, std::shared_ptr<CompiledEffect>> m_compiledEffects;
};

// The stand-in's own device behind an interface pointer (the only kind there is).
inline Device* AsDevice(IDirect3DDevice9* device)
{
    return static_cast<Device*>(device);
}
