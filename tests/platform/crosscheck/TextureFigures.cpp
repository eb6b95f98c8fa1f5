// The intro's three DDS images through the D3DX loader: as the intro loads them (sizes made
// powers of two, the image scaled to fill them) and at the file's own size unscaled, which
// shows the decoding alone. For each, sizes, levels and format, and the top level as a
// shader reads it, drawn one texel to one pixel into a 32-bit ARGB target and read back.
#include "Sections.h"

#include <cstdio>

namespace {

const WORD TEXTURE_RESOURCES[] = {101, 125, 126};

// The pass quad of the post-processing: half a pixel up and left, so texel centres land on
// pixel centres and every sample takes one texel. The target is read in strips no taller
// than the device's depth buffer, which must be at least as large as any target bound.
bool ReadTopLevel(CrossCheckDevice& device, IDirect3DTexture9* texture, UINT width, UINT height, Image& image)
{
    const UINT strip = height < 512 ? height : 512;
    IDirect3DDevice9* d = device.Device();
    IDirect3DTexture9* target = nullptr;
    if (FAILED(d->CreateTexture(width, strip, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &target,
                                nullptr)))
        return false;
    IDirect3DSurface9* surface = nullptr;
    IDirect3DSurface9* saved = nullptr;
    bool ok = SUCCEEDED(target->GetSurfaceLevel(0, &surface)) && SUCCEEDED(d->GetRenderTarget(0, &saved));
    image.width = static_cast<int>(width);
    image.height = static_cast<int>(height);
    image.pixels.assign(static_cast<size_t>(width) * height, 0);
    for (UINT top = 0; ok && top < height; top += strip) {
        ok = SUCCEEDED(d->SetRenderTarget(0, surface)) &&
             SUCCEEDED(d->Clear(0, nullptr, D3DCLEAR_TARGET, 0x00000000, 0.0f, 0)) && SUCCEEDED(d->BeginScene());
        if (!ok)
            break;
        const float x0 = -0.5f, x1 = static_cast<float>(width) - 0.5f;
        const float y0 = -0.5f - static_cast<float>(top), y1 = y0 + static_cast<float>(height);
        const PosColTexVertex quad[4] = {{x0, y0, 0.5f, 1.0f, 0xFFFFFFFF, 0.0f, 0.0f},
                                         {x1, y0, 0.5f, 1.0f, 0xFFFFFFFF, 1.0f, 0.0f},
                                         {x0, y1, 0.5f, 1.0f, 0xFFFFFFFF, 0.0f, 1.0f},
                                         {x1, y1, 0.5f, 1.0f, 0xFFFFFFFF, 1.0f, 1.0f}};
        d->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
        d->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        d->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
        ok = device.DrawTextured(texture, quad);
        d->EndScene();
        d->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
        Image part;
        ok = ok && device.Read(surface, part);
        for (UINT y = 0; ok && y < strip && top + y < height; ++y)
            for (UINT x = 0; x < width; ++x)
                image.pixels[static_cast<size_t>(top + y) * width + x] = part.At(static_cast<int>(x),
                                                                                 static_cast<int>(y));
    }
    if (saved) {
        d->SetRenderTarget(0, saved);
        saved->Release();
    }
    if (surface)
        surface->Release();
    target->Release();
    return ok;
}

void AddTexture(CrossCheckDevice& device, FigureSheet& sheet, const std::string& imageDir, const std::string& key,
                HRESULT hr, IDirect3DTexture9* texture)
{
    if (FAILED(hr) || !texture) {
        char code[16];
        std::snprintf(code, sizeof code, "0x%08lx", static_cast<unsigned long>(hr));
        sheet.Fail(key + ".load", code);
        return;
    }
    D3DSURFACE_DESC top;
    texture->GetLevelDesc(0, &top);
    sheet.Add(key + ".size", {double(top.Width), double(top.Height), double(texture->GetLevelCount()),
                              double(top.Format), double(top.Pool)});
    std::vector<double> levels;
    for (DWORD level = 0; level < texture->GetLevelCount(); ++level) {
        D3DSURFACE_DESC desc;
        texture->GetLevelDesc(level, &desc);
        levels.push_back(desc.Width);
        levels.push_back(desc.Height);
    }
    sheet.Add(key + ".levels", levels);
    Image image;
    if (ReadTopLevel(device, texture, top.Width, top.Height, image)) {
        sheet.Add(key + ".means", Thumbnail(image, 1));
        AddImage(sheet, key + ".pixels", image, imageDir);
    } else {
        sheet.Fail(key + ".pixels", "read-back");
    }
}

}  // namespace

HRESULT LoadUnscaledTexture(CrossCheckDevice& device, WORD id, D3DXIMAGE_INFO* info, IDirect3DTexture9** texture)
{
    *texture = nullptr;
    HRSRC resource = FindResourceA(nullptr, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(10));
    HGLOBAL loaded = resource ? LoadResource(nullptr, resource) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    const DWORD size = resource ? SizeofResource(nullptr, resource) : 0;
    if (!data || !size)
        return E_FAIL;
    return D3DXCreateTextureFromFileInMemoryEx(device.Device(), data, size, D3DX_DEFAULT_NONPOW2, D3DX_DEFAULT_NONPOW2,
                                               1, 0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED, D3DX_FILTER_NONE, D3DX_DEFAULT, 0,
                                               info, nullptr, texture);
}

void AddTextureFigures(CrossCheckDevice& device, FigureSheet& sheet, const std::string& imageDir)
{
    for (WORD id : TEXTURE_RESOURCES) {
        const std::string key = "texture." + std::to_string(id);
        IDirect3DTexture9* texture = nullptr;
        HRESULT hr = D3DXCreateTextureFromResourceA(device.Device(), nullptr, MAKEINTRESOURCEA(id), &texture);
        AddTexture(device, sheet, imageDir, key, hr, texture);
        if (texture)
            texture->Release();

        D3DXIMAGE_INFO info = {};
        hr = LoadUnscaledTexture(device, id, &info, &texture);
        sheet.Add(key + ".file.info",
                  {double(info.Width), double(info.Height), double(info.Depth), double(info.MipLevels),
                   double(info.Format), double(info.ResourceType), double(info.ImageFileFormat)});
        AddTexture(device, sheet, imageDir, key + ".file", hr, texture);
        if (texture)
            texture->Release();
    }
}
