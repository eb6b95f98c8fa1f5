// Bakes the scroller's glyph meshes: gen_textmeshes <output file>. Each of the scroller's
// requests (one per glyph, in its font, deviation and extrusion) is built by the outline
// builder, outcome, metrics and mesh, and written as the baked text-mesh file.
#include "BakedTextMeshes.h"
#include "FontMatch.h"
#include "ScrollerGlyphs.h"

#include <cstdio>
#include <cstring>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: gen_textmeshes <output.bin>\n");
        return 2;
    }
    HDC dc = CreateCompatibleDC(NULL);
    SelectObject(dc, CreateGlyphFont());
    LOGFONTA font;
    if (!GetSelectedFont(dc, &font, nullptr)) {
        std::fprintf(stderr, "gen_textmeshes: no outline font stands for the scroller's font\n");
        return 1;
    }

    std::vector<BakedTextEntry> entries;
    for (int glyph = 0; glyph < GLYPH_COUNT; ++glyph) {
        char text[2];
        GetGlyphText(glyph, text);
        BakedTextEntry entry;
        entry.request = MakeBakedTextRequest(font, text, GLYPH_DEVIATION, GLYPH_EXTRUSION);
        // The empty text is refused before any font is looked at, in either build.
        if (!text[0])
            continue;
        // The builder writes the metrics of each glyph it loads, even when it fails after; a
        // record that stays as filled here was not written.
        GLYPHMETRICSFLOAT metrics, unwritten;
        std::memset(&metrics, 0xff, sizeof metrics);
        unwritten = metrics;
        entry.status = BuildTextMesh(dc, text, GLYPH_DEVIATION, GLYPH_EXTRUSION, &entry.mesh,
                                     &metrics);
        if (std::memcmp(&metrics, &unwritten, sizeof metrics) != 0)
            entry.metrics.push_back(metrics);
        if (entry.mesh.vertices.size() > 0xffff) {
            std::fprintf(stderr,
                         "gen_textmeshes: glyph %d has more vertices than 16-bit indices reach\n",
                         glyph);
            return 1;
        }
        entries.push_back(entry);
    }

    const std::vector<uint8_t> bytes = WriteBakedTextMeshes(entries);
    std::FILE* file = std::fopen(argv[1], "wb");
    const bool written = file && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (!file || std::fclose(file) != 0 || !written) {
        std::fprintf(stderr, "gen_textmeshes: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
