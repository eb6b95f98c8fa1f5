// The device as the intro drives it: clears of the back buffer and of a scene target, the
// white overlay of the frame's end at several levels, flat quads with four corner colours,
// quads one pixel wide and at fractions of a pixel (where their pixels land), and the title
// and logo pictures drawn as the intro draws textured quads (from the files' own sizes, so
// that only the drawing is compared, not the loader's scaling); all read back.
#include "Sections.h"

#include <cstdio>

namespace {

const D3DCOLOR BACKGROUND = 0xFF204080;

std::vector<double> Channels(uint32_t p)
{
    return {double(p >> 24), double((p >> 16) & 0xFF), double((p >> 8) & 0xFF), double(p & 0xFF)};
}

// Pixels that differ from the one at (0, 0).
double NotLike00(const Image& image)
{
    double n = 0;
    for (uint32_t p : image.pixels)
        n += p != image.pixels[0];
    return n;
}

// The states a flat quad of the intro sets, as its drawing sets them.
void SetFlatQuadStates(IDirect3DDevice9* d)
{
    d->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    d->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    d->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    d->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    d->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
}

// Corner order of a flat quad: top-left, top-right, bottom-left, bottom-right.
void FlatQuad(float x, float y, float w, float h, const D3DCOLOR c[4], PosColVertex* q)
{
    const PosColVertex v[4] = {{x, y, 0.0f, 1.0f, c[0]},
                               {x + w, y, 0.0f, 1.0f, c[1]},
                               {x, y + h, 0.0f, 1.0f, c[2]},
                               {x + w, y + h, 0.0f, 1.0f, c[3]}};
    for (int i = 0; i < 4; ++i)
        q[i] = v[i];
}

bool DrawFlatQuad(CrossCheckDevice& device, float x, float y, float w, float h, const D3DCOLOR c[4])
{
    IDirect3DDevice9* d = device.Device();
    if (FAILED(d->BeginScene()))
        return false;
    SetFlatQuadStates(d);
    PosColVertex quad[4];
    FlatQuad(x, y, w, h, c, quad);
    const bool ok = device.DrawFlat(quad);
    d->EndScene();
    d->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
    return ok;
}

// Corner order of a textured quad: bottom-left, top-left, bottom-right, top-right.
bool DrawTexturedQuad(CrossCheckDevice& device, IDirect3DTexture9* texture, float x, float y, float w, float h,
                      D3DCOLOR c)
{
    IDirect3DDevice9* d = device.Device();
    if (FAILED(d->BeginScene()))
        return false;
    const PosColTexVertex quad[4] = {{x, y + h, 0.0f, 1.0f, c, 0.0f, 1.0f},
                                     {x, y, 0.0f, 1.0f, c, 0.0f, 0.0f},
                                     {x + w, y + h, 0.0f, 1.0f, c, 1.0f, 1.0f},
                                     {x + w, y, 0.0f, 1.0f, c, 1.0f, 0.0f}};
    d->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    d->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    d->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    d->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    const bool ok = device.DrawTextured(texture, quad);
    d->EndScene();
    return ok;
}

// Quads of a pixel and less, each alone in a 32 x 32 cell: where do their pixels land?
struct SmallQuad {
    const char* name;
    float x, y, w, h;  // within the cell
};
const SmallQuad SMALL_QUADS[] = {
    {"whole", 8.0f, 8.0f, 1.0f, 1.0f},
    {"quarter", 8.25f, 8.25f, 1.0f, 1.0f},
    {"half", 8.5f, 8.5f, 1.0f, 1.0f},
    {"three_quarters", 8.75f, 8.75f, 1.0f, 1.0f},
    {"just_below_half", 8.49f, 8.49f, 1.0f, 1.0f},
    {"just_above_half", 8.51f, 8.51f, 1.0f, 1.0f},
    {"half_wide_on_centre", 7.75f, 7.75f, 0.5f, 0.5f},
    {"half_wide_off_centre", 8.25f, 8.25f, 0.5f, 0.5f},
    {"column", 8.0f, 2.0f, 1.0f, 20.0f},
    {"row", 2.0f, 8.0f, 20.0f, 1.0f},
    {"three_by_two", 8.0f, 8.0f, 3.0f, 2.0f},
    {"edge_to_edge", 8.5f, 8.5f, 2.0f, 2.0f},
};
const int CELL = 32;

class DeviceRun {
public:
    DeviceRun(CrossCheckDevice& device, FigureSheet& sheet, const std::string& imageDir)
        : m_device(device), m_d(device.Device()), m_sheet(sheet), m_imageDir(imageDir)
    {
    }

    bool Setup()
    {
        return SUCCEEDED(m_d->GetRenderTarget(0, &m_backBuffer)) &&
               SUCCEEDED(m_d->CreateTexture(CrossCheckDevice::WIDTH, CrossCheckDevice::HEIGHT, 1, D3DUSAGE_RENDERTARGET,
                                            D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &m_target, nullptr)) &&
               SUCCEEDED(m_target->GetSurfaceLevel(0, &m_targetSurface));
    }

    ~DeviceRun()
    {
        if (m_backBuffer) {
            m_d->SetRenderTarget(0, m_backBuffer);
            m_backBuffer->Release();
        }
        if (m_targetSurface)
            m_targetSurface->Release();
        if (m_target)
            m_target->Release();
    }

    void Clears()
    {
        Image image;
        Bind(m_backBuffer);
        m_d->Clear(0, nullptr, D3DCLEAR_TARGET, 0x80336699, 0.0f, 0);
        if (Read(m_backBuffer, "device.clear.back_buffer", image))
            Add("device.clear.back_buffer", image);
        Bind(m_targetSurface);
        m_d->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF102030, 0.0f, 0);
        m_d->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
        if (Read(m_targetSurface, "device.clear.scene_target", image))
            Add("device.clear.scene_target", image);
        // The render target that GetRenderTarget hands back is the one bound.
        IDirect3DSurface9* bound = nullptr;
        m_d->GetRenderTarget(0, &bound);
        m_sheet.Add("device.get_render_target", {double(bound == m_targetSurface)});
        if (bound)
            bound->Release();
    }

    void Overlay()
    {
        const int LEVELS[] = {255, 254, 200, 128, 127, 64, 1, 0};
        for (IDirect3DSurface9* surface : {m_targetSurface, m_backBuffer}) {
            const std::string where = surface == m_backBuffer ? "back_buffer" : "scene_target";
            for (int level : LEVELS) {
                if (surface == m_backBuffer && level != 128)
                    continue;
                const std::string key = "device.overlay." + where + "." + std::to_string(level);
                Bind(surface);
                m_d->Clear(0, nullptr, D3DCLEAR_TARGET, BACKGROUND, 0.0f, 0);
                const D3DCOLOR c = (static_cast<D3DCOLOR>(255 - level) << 24) | 0x00FFFFFF;
                const D3DCOLOR corners[4] = {c, c, c, c};
                Image image;
                if (!DrawFlatQuad(m_device, 0.0f, 0.0f, 1024.0f, 768.0f, corners))
                    m_sheet.Fail(key, "draw");
                else if (Read(surface, key, image))
                    Add(key, image);
            }
        }
    }

    void CornerColours()
    {
        const D3DCOLOR corners[4] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF};
        Bind(m_targetSurface);
        m_d->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 0.0f, 0);
        Image image;
        if (!DrawFlatQuad(m_device, 100.0f, 100.0f, 256.0f, 128.0f, corners)) {
            m_sheet.Fail("device.corners", "draw");
            return;
        }
        if (!Read(m_targetSurface, "device.corners", image))
            return;
        m_sheet.Add("device.corners.covered", CoveredBox(image, 0xFF000000, 0, 0, image.width, image.height));
        for (int y = 100; y < 228; y += 21)
            for (int x = 100; x < 356; x += 51)
                m_sheet.Add("device.corners.at." + std::to_string(x) + "." + std::to_string(y),
                            Channels(image.At(x, y)));
    }

    void PixelCentres()
    {
        Bind(m_targetSurface);
        m_d->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 0.0f, 0);
        const D3DCOLOR white[4] = {0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF};
        int cell = 0;
        for (const SmallQuad& q : SMALL_QUADS) {
            const float cx = static_cast<float>(cell * CELL);
            if (!DrawFlatQuad(m_device, cx + q.x, q.y, q.w, q.h, white))
                m_sheet.Fail(std::string("device.centres.") + q.name, "draw");
            ++cell;
        }
        Image image;
        if (!Read(m_targetSurface, "device.centres", image))
            return;
        cell = 0;
        for (const SmallQuad& q : SMALL_QUADS) {
            std::vector<double> box = CoveredBox(image, 0xFF000000, cell * CELL, 0, (cell + 1) * CELL, CELL);
            for (int i = 0; i < 4; i += 2)
                if (box[i] >= 0)
                    box[i] -= cell * CELL;  // x within the cell
            m_sheet.Add(std::string("device.centres.") + q.name, box);
            ++cell;
        }
    }

    void TexturedQuads()
    {
        struct Picture {
            WORD id;
            const char* name;
            float x, y, w, h;
            D3DCOLOR colour;
        };
        const Picture PICTURES[] = {{126, "title", 0.0f, 0.0f, 1024.0f, 768.0f, 0xFFFFFFFF},
                                    {101, "logo", 219.0f, 288.0f, 586.0f, 192.0f, 0x80FFFFFF}};
        for (const Picture& p : PICTURES) {
            const std::string key = std::string("device.textured.") + p.name;
            IDirect3DTexture9* texture = nullptr;
            D3DXIMAGE_INFO info;
            if (FAILED(LoadUnscaledTexture(m_device, p.id, &info, &texture))) {
                m_sheet.Fail(key, "load");
                continue;
            }
            Bind(m_targetSurface);
            m_d->Clear(0, nullptr, D3DCLEAR_TARGET, BACKGROUND, 0.0f, 0);
            Image image;
            if (!DrawTexturedQuad(m_device, texture, p.x, p.y, p.w, p.h, p.colour))
                m_sheet.Fail(key, "draw");
            else if (Read(m_targetSurface, key, image)) {
                m_sheet.Add(key + ".covered", CoveredBox(image, BACKGROUND, 0, 0, image.width, image.height));
                AddImage(m_sheet, key + ".pixels", image, m_imageDir);
            }
            texture->Release();
        }
    }

private:
    void Bind(IDirect3DSurface9* surface) { m_d->SetRenderTarget(0, surface); }

    bool Read(IDirect3DSurface9* surface, const std::string& key, Image& image)
    {
        if (m_device.Read(surface, image))
            return true;
        m_sheet.Fail(key, "read-back");
        return false;
    }

    // A uniform picture: its size, the pixel at the centre and how many pixels differ from (0, 0).
    void Add(const std::string& key, const Image& image)
    {
        std::vector<double> values = {double(image.width), double(image.height)};
        for (double c : Channels(image.At(image.width / 2, image.height / 2)))
            values.push_back(c);
        values.push_back(NotLike00(image));
        m_sheet.Add(key, values);
    }

    CrossCheckDevice& m_device;
    IDirect3DDevice9* m_d;
    FigureSheet& m_sheet;
    std::string m_imageDir;
    IDirect3DSurface9* m_backBuffer = nullptr;
    IDirect3DTexture9* m_target = nullptr;
    IDirect3DSurface9* m_targetSurface = nullptr;
};

}  // namespace

void AddDeviceFigures(CrossCheckDevice& device, FigureSheet& sheet, const std::string& imageDir)
{
    DeviceRun run(device, sheet, imageDir);
    if (!run.Setup()) {
        sheet.Fail("device.setup", "render targets");
        return;
    }
    run.Clears();
    run.Overlay();
    run.CornerColours();
    run.PixelCentres();
    run.TexturedQuads();
}
