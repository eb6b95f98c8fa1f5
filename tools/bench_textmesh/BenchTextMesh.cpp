// Times building the text scroller's 96 one-character meshes from the "Impact" request
// (256 high, weight 900), deviation 0.001 and extrusion 0.4, as the scroller does at start-up.
//   bench_textmesh [rounds]
// The first round includes finding and opening the font; later rounds reuse it, as every
// call after the first does in the intro.
#include "ScrollerCharacters.h"
#include "TextMeshBuilder.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

double Milliseconds(std::chrono::steady_clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

}  // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    std::vector<double> times;
    size_t triangles = 0, vertices = 0;
    int built = 0;
    for (int round = 0; round < rounds; ++round) {
        const auto start = std::chrono::steady_clock::now();
        HDC dc = CreateCompatibleDC(NULL);
        HFONT font = CreateFontA(256, 0, 0, 0, 900, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0, 0, "Impact");
        HGDIOBJ previous = SelectObject(dc, font);
        GLYPHMETRICSFLOAT metrics = {};
        triangles = vertices = 0;
        built = 0;
        TextMeshBuilder builder;
        TextMesh mesh;
        for (int i = 0; i < SCROLLER_GLYPH_COUNT; ++i) {
            const char text[2] = {i < SCROLLER_GLYPH_COUNT - 1 ? SCROLLER_CHARACTERS[i] : '\0', '\0'};
            if (builder.Build(dc, text, 0.001f, 0.4f, &mesh, &metrics) == TextMeshStatus::Ok) {
                ++built;
                triangles += mesh.indices.size() / 3;
                vertices += mesh.vertices.size();
            }
        }
        times.push_back(Milliseconds(std::chrono::steady_clock::now() - start));
        SelectObject(dc, previous);
        DeleteObject(font);
        DeleteDC(dc);
    }
    std::vector<double> warm(times.begin() + 1, times.end());
    std::sort(warm.begin(), warm.end());
    std::printf("text meshes: %d of %d glyphs built (space and terminator have no outline), "
                "%zu vertices, %zu triangles\n",
                built, SCROLLER_GLYPH_COUNT, vertices, triangles);
    std::printf("first round (font lookup and open): %.2f ms\n", times[0]);
    if (!warm.empty())
        std::printf("later rounds: median %.2f ms, best %.2f ms over %zu rounds\n",
                    warm[warm.size() / 2], warm[0], warm.size());
    return 0;
}
