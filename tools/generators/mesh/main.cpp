// Writes the intro's cube mesh: gen_mesh <output .x file>.
#include "RoundedBox.h"
#include "XFileWriter.h"

#include <cstdio>

namespace {

// About 27.7 units across with edges rounded to a quarter of the half extent:
// soft enough to catch the light on every tumble, still clearly a box.
const RoundedBoxShape CUBE_SHAPE = {13.85, 3.6, 8, 12};

// Mid grey (150/255), no specular highlight.
const XMaterial CUBE_MATERIAL = {{150.0 / 255.0, 150.0 / 255.0, 150.0 / 255.0, 1.0},
                                 4.0,
                                 {0.0, 0.0, 0.0},
                                 {0.0, 0.0, 0.0}};

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: gen_mesh <output.x>\n");
        return 2;
    }
    const TriangleMesh mesh = BuildRoundedBox(CUBE_SHAPE);
    if (mesh.vertices.empty()) {
        std::fprintf(stderr, "gen_mesh: the cube shape cannot be built\n");
        return 1;
    }
    const std::string text = WriteXFileText(mesh, "Cube", CUBE_MATERIAL);
    std::FILE* file = std::fopen(argv[1], "wb");
    if (!file) {
        std::fprintf(stderr, "gen_mesh: cannot write %s\n", argv[1]);
        return 1;
    }
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    if (std::fclose(file) != 0 || !written) {
        std::fprintf(stderr, "gen_mesh: cannot write %s\n", argv[1]);
        return 1;
    }
    std::printf("gen_mesh: %zu vertices, %zu triangles\n", mesh.vertices.size(),
                mesh.indices.size() / 3);
    return 0;
}
