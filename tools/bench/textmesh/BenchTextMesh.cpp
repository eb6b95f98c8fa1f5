// Times building the text scroller's 96 one-character meshes from the "Impact" request
// (256 high, weight 900), deviation 0.001 and extrusion 0.4, as the scroller does at start-up.
//   bench_textmesh [rounds]
// Two figures: the mesh builder alone, and D3DXCreateTextA on a device (the builder plus the
// mesh object and its device copy), the latter when a display is at hand. The first round
// includes finding and opening the font; later rounds reuse it, as every call after the
// first does in the intro.
#include "DeviceWindow.h"
#include "ScrollerCharacters.h"
#include "TextMeshBuilder.h"

#include <d3dx9.h>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

namespace {

double Milliseconds(std::chrono::steady_clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

void GlyphText(int glyph, char text[2])
{
    text[0] = glyph < SCROLLER_GLYPH_COUNT - 1 ? SCROLLER_CHARACTERS[glyph] : '\0';
    text[1] = '\0';
}

// Runs one round per call with a fresh context and font; prints the first and the rest.
void Measure(const char* what, int rounds, const std::function<int(HDC)>& buildAll)
{
    std::vector<double> times;
    int built = 0;
    for (int round = 0; round < rounds; ++round) {
        HDC dc = CreateCompatibleDC(NULL);
        HFONT font = CreateFontA(256, 0, 0, 0, 900, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0, 0, "Impact");
        HGDIOBJ previous = SelectObject(dc, font);
        const auto start = std::chrono::steady_clock::now();
        built = buildAll(dc);
        times.push_back(Milliseconds(std::chrono::steady_clock::now() - start));
        SelectObject(dc, previous);
        DeleteObject(font);
        DeleteDC(dc);
    }
    std::vector<double> warm(times.begin() + 1, times.end());
    std::sort(warm.begin(), warm.end());
    std::printf("%s: %d of %d glyphs give a mesh; first round %.2f ms", what, built, SCROLLER_GLYPH_COUNT, times[0]);
    if (!warm.empty())
        std::printf(", later rounds median %.2f ms (best %.2f, %zu rounds)", warm[warm.size() / 2], warm[0],
                    warm.size());
    std::printf("\n");
}

}  // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;

    size_t vertices = 0, triangles = 0;
    Measure("mesh builder", rounds, [&](HDC dc) {
        TextMeshBuilder builder;
        TextMesh mesh;
        GLYPHMETRICSFLOAT metrics = {};
        int built = 0;
        vertices = triangles = 0;
        for (int i = 0; i < SCROLLER_GLYPH_COUNT; ++i) {
            char text[2];
            GlyphText(i, text);
            if (builder.Build(dc, text, 0.001f, 0.4f, &mesh, &metrics) == TextMeshStatus::Ok) {
                ++built;
                vertices += mesh.vertices.size();
                triangles += mesh.indices.size() / 3;
            }
        }
        return built;
    });
    std::printf("  (%zu vertices, %zu triangles in all; space and terminator have no outline)\n", vertices, triangles);

    DeviceWindow host;
    IDirect3DDevice9* device = std::getenv("DISPLAY") && host.Open(64, 64) ? host.CreateDevice(64, 64) : nullptr;
    if (!device) {
        std::printf("D3DXCreateTextA: no display or device here, not measured\n");
        return 0;
    }
    Measure("D3DXCreateTextA on the device", rounds, [&](HDC dc) {
        ID3DXMesh* meshes[SCROLLER_GLYPH_COUNT] = {};
        GLYPHMETRICSFLOAT metrics = {};
        int built = 0;
        for (int i = 0; i < SCROLLER_GLYPH_COUNT; ++i) {
            char text[2];
            GlyphText(i, text);
            if (SUCCEEDED(D3DXCreateTextA(device, dc, text, 0.001f, 0.4f, &meshes[i], nullptr, &metrics)))
                ++built;
        }
        for (ID3DXMesh* mesh : meshes)
            if (mesh)
                mesh->Release();
        return built;
    });
    device->Release();
    return 0;
}
