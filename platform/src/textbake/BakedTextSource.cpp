// D3DXCreateText's meshes in a build without a font engine: taken from the baked file compiled
// into the program (Data/TextMeshes.bin), for the requests it holds; any other request fails.
#include "BakedTextMeshes.h"

#include <cstdio>

extern const unsigned char SKV_BAKED_TEXT_MESHES[];
extern const size_t SKV_BAKED_TEXT_MESHES_SIZE;

namespace {

const std::vector<BakedTextEntry>* BakedEntries()
{
    // Read once; a file that does not read is said once and leaves every request unbaked.
    static const std::vector<BakedTextEntry>* entries = [] {
        auto* read = new std::vector<BakedTextEntry>;
        std::string error;
        if (!ReadBakedTextMeshes(SKV_BAKED_TEXT_MESHES, SKV_BAKED_TEXT_MESHES_SIZE, read, &error))
            std::fprintf(stderr, "The baked text meshes are unusable: %s.\n", error.c_str());
        return read;
    }();
    return entries;
}

}  // namespace

TextMeshStatus BuildTextMesh(HDC dc, const char* text, float deviation, float extrusion, TextMesh* mesh,
                             GLYPHMETRICSFLOAT* metrics)
{
    return BuildBakedTextMesh(*BakedEntries(), dc, text, deviation, extrusion, mesh, metrics);
}
