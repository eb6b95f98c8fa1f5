#include "XFileParser.h"
#include "XFileSamples.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>

namespace {

bool Parse(const std::string& text, XMeshData* mesh)
{
    return ParseXFile(text.data(), text.size(), mesh);
}

// Whatever a parse gives must be usable without bounds checks.
void ExpectConsistent(const XMeshData& mesh)
{
    ASSERT_EQ(mesh.indices.size() % 3, 0u);
    ASSERT_EQ(mesh.attributes.size() * 3, mesh.indices.size());
    ASSERT_FALSE(mesh.materials.empty());
    for (uint32_t index : mesh.indices)
        ASSERT_LT(index, mesh.vertices.size());
    for (uint32_t attribute : mesh.attributes)
        ASSERT_LT(attribute, mesh.materials.size());
}

struct Corner {
    float x, y, z;
};

}  // namespace

TEST(XFileParser, CubeWithTwoMaterials)
{
    XMeshData mesh;
    ASSERT_TRUE(Parse(CUBE_TWO_MATERIALS, &mesh));
    ExpectConsistent(mesh);
    EXPECT_TRUE(mesh.hasNormals);
    EXPECT_TRUE(mesh.hasTexCoords);
    // Every corner of a cube meets three faces with three normals: 8 + 16 vertices.
    EXPECT_EQ(mesh.vertices.size(), 24u);
    EXPECT_EQ(mesh.indices.size(), 36u);
    ASSERT_EQ(mesh.materials.size(), 2u);

    const XMaterial& red = mesh.materials[0];
    EXPECT_FLOAT_EQ(red.diffuse[0], 1.0f);
    EXPECT_FLOAT_EQ(red.diffuse[1], 0.0f);
    EXPECT_FLOAT_EQ(red.diffuse[3], 1.0f);
    EXPECT_FLOAT_EQ(red.power, 8.0f);
    EXPECT_FLOAT_EQ(red.specular[0], 0.5f);
    EXPECT_EQ(red.textureFile, "red.png");
    const XMaterial& blue = mesh.materials[1];
    EXPECT_FLOAT_EQ(blue.diffuse[2], 1.0f);
    EXPECT_FLOAT_EQ(blue.diffuse[3], 0.5f);
    EXPECT_FLOAT_EQ(blue.power, 16.0f);
    EXPECT_FLOAT_EQ(blue.emissive[2], 0.3f);
    EXPECT_TRUE(blue.textureFile.empty());

    // Quads become two triangles each, keeping their material.
    for (size_t t = 0; t < 12; ++t)
        EXPECT_EQ(mesh.attributes[t], t < 6 ? 0u : 1u) << "triangle " << t;

    // Every triangle's vertices carry its face's normal, and that normal points away from
    // the cube's centre through the triangle.
    for (size_t t = 0; t < 12; ++t) {
        const XMeshVertex* v[3];
        for (int k = 0; k < 3; ++k)
            v[k] = &mesh.vertices[mesh.indices[3 * t + k]];
        for (int k = 1; k < 3; ++k)
            for (int c = 0; c < 3; ++c)
                EXPECT_EQ(v[k]->normal[c], v[0]->normal[c]) << "triangle " << t;
        float centre[3];
        for (int c = 0; c < 3; ++c)
            centre[c] = (v[0]->position[c] + v[1]->position[c] + v[2]->position[c]) / 3.0f - 0.5f;
        const float outward = centre[0] * v[0]->normal[0] + centre[1] * v[0]->normal[1] + centre[2] * v[0]->normal[2];
        EXPECT_GT(outward, 0.1f) << "triangle " << t;
    }

    // Texture coordinates follow positions, whichever copy of a corner is used.
    for (const XMeshVertex& v : mesh.vertices) {
        const bool back = v.position[2] == 1.0f;
        const float u = back ? 0.25f + 0.5f * v.position[0] : v.position[0];
        const float w = back ? 0.25f + 0.5f * v.position[1] : v.position[1];
        EXPECT_FLOAT_EQ(v.texCoord[0], u);
        EXPECT_FLOAT_EQ(v.texCoord[1], w);
    }
}

TEST(XFileParser, PolygonsBecomeFansInTheFilesWinding)
{
    const std::string pentagon = R"(xof 0303txt 0032
# a comment of the other kind
Mesh pentagon {   // trailing comment
 5;
 0;0;0;, 2.0e0;0;0;, +3;1;0;, 1;2;0;, -1.;1;0;;
 1;
 5;0,1,2,3,4;;
})";
    XMeshData mesh;
    ASSERT_TRUE(Parse(pentagon, &mesh));
    ExpectConsistent(mesh);
    const std::vector<uint32_t> fan = {0, 1, 2, 0, 2, 3, 0, 3, 4};
    EXPECT_EQ(mesh.indices, fan);
    EXPECT_FALSE(mesh.hasNormals);
    EXPECT_FALSE(mesh.hasTexCoords);
    // No material list: one default material for everything.
    ASSERT_EQ(mesh.materials.size(), 1u);
    EXPECT_GT(mesh.materials[0].diffuse[3], 0.0f);
}

TEST(XFileParser, FramesTransformTheirMeshesAndMaterialsResolveByName)
{
    XMeshData mesh;
    ASSERT_TRUE(Parse(NESTED_FRAMES, &mesh));
    ExpectConsistent(mesh);
    ASSERT_EQ(mesh.vertices.size(), 6u);
    ASSERT_EQ(mesh.indices.size(), 6u);

    // First mesh: moved by the outer frame.
    EXPECT_FLOAT_EQ(mesh.vertices[1].position[0], 11.0f);
    EXPECT_FLOAT_EQ(mesh.vertices[2].position[1], 1.0f);
    // Second mesh: its own frame's transform (applied after the children were read),
    // then the outer frame's.
    EXPECT_FLOAT_EQ(mesh.vertices[3].position[0], 10.0f);
    EXPECT_FLOAT_EQ(mesh.vertices[3].position[1], 5.0f);
    EXPECT_FLOAT_EQ(mesh.vertices[4].position[0], 12.0f);
    EXPECT_FLOAT_EQ(mesh.vertices[5].position[1], 6.0f);
    // The normal (1, 1, 0) under a stretch of x by 2 leans towards y, still unit length.
    const float* n = mesh.vertices[3].normal;
    EXPECT_NEAR(n[0], 1.0f / std::sqrt(5.0f), 1e-5f);
    EXPECT_NEAR(n[1], 2.0f / std::sqrt(5.0f), 1e-5f);
    EXPECT_NEAR(n[2], 0.0f, 1e-6f);

    // The named material for the first mesh; the second, without a list, gets the default.
    ASSERT_EQ(mesh.materials.size(), 2u);
    EXPECT_FLOAT_EQ(mesh.materials[0].diffuse[1], 0.4f);
    EXPECT_EQ(mesh.attributes[0], 0u);
    EXPECT_EQ(mesh.attributes[1], 1u);
}

TEST(XFileParser, ShortMaterialListRepeatsItsLastEntry)
{
    const std::string text = R"(xof 0303txt 0032
Mesh {
 4; 0;0;0;, 1;0;0;, 1;1;0;, 0;1;0;;
 3; 3;0,1,2;, 3;0,2,3;, 3;1,2,3;;
 MeshMaterialList {
  2; 2; 0, 1;;
  Material { 1;1;1;1;; 1; 0;0;0;; 0;0;0;; }
  Material { 0;0;0;1;; 1; 0;0;0;; 0;0;0;; }
 }
})";
    XMeshData mesh;
    ASSERT_TRUE(Parse(text, &mesh));
    const std::vector<uint32_t> expected = {0, 1, 1};
    EXPECT_EQ(mesh.attributes, expected);
}

TEST(XFileParser, RefusesWhatItCannotRead)
{
    XMeshData mesh;
    EXPECT_FALSE(ParseXFile(nullptr, 0, &mesh));
    EXPECT_FALSE(ParseXFile("xof", 3, &mesh));
    EXPECT_FALSE(Parse("xof 0303bin 0032 whatever", &mesh)) << "binary files are not read";
    EXPECT_FALSE(Parse("xof 0303tzip0032 whatever", &mesh));
    EXPECT_FALSE(Parse("xof 0303txt 0032\n", &mesh)) << "no mesh at all";
    EXPECT_FALSE(Parse("xof 0303txt 0032\nMesh { 0; 0;; }", &mesh)) << "an empty mesh";

    const char* broken[] = {
        // a face index past the vertices
        "xof 0303txt 0032\nMesh { 3; 0;0;0;,1;0;0;,0;1;0;; 1; 3;0,1,3;; }",
        // a face of two corners
        "xof 0303txt 0032\nMesh { 3; 0;0;0;,1;0;0;,0;1;0;; 1; 2;0,1;; }",
        // normals for a different number of faces
        "xof 0303txt 0032\nMesh { 3; 0;0;0;,1;0;0;,0;1;0;; 1; 3;0,1,2;; MeshNormals { 1; 0;0;1;; 2; 3;0,0,0;, "
        "3;0,0,0;; } }",
        // a normal face with another corner count
        "xof 0303txt 0032\nMesh { 3; 0;0;0;,1;0;0;,0;1;0;; 1; 3;0,1,2;; MeshNormals { 1; 0;0;1;; 1; 4;0,0,0,0;; } }",
        // texture coordinates for fewer vertices
        "xof 0303txt 0032\nMesh { 3; 0;0;0;,1;0;0;,0;1;0;; 1; 3;0,1,2;; MeshTextureCoords { 2; 0;0;, 1;1;; } }",
        // a material index past the list
        "xof 0303txt 0032\nMesh { 3; 0;0;0;,1;0;0;,0;1;0;; 1; 3;0,1,2;; MeshMaterialList { 1; 1; 1;; Material { "
        "1;1;1;1;; 1; 0;0;0;; 0;0;0;; } } }",
        // fewer materials than announced
        "xof 0303txt 0032\nMesh { 3; 0;0;0;,1;0;0;,0;1;0;; 1; 3;0,1,2;; MeshMaterialList { 2; 1; 0;; Material { "
        "1;1;1;1;; 1; 0;0;0;; 0;0;0;; } } }",
        // a reference to a material nobody defined
        "xof 0303txt 0032\nMesh { 3; 0;0;0;,1;0;0;,0;1;0;; 1; 3;0,1,2;; MeshMaterialList { 1; 1; 0;; { Nowhere } } }",
        // a count far beyond the data
        "xof 0303txt 0032\nMesh { 4294967295; 0;0;0;; 1; 3;0,0,0;; }",
        // a negative count, a fraction for a count, garbage for a coordinate
        "xof 0303txt 0032\nMesh { -3; 0;0;0;,1;0;0;,0;1;0;; 1; 3;0,1,2;; }",
        "xof 0303txt 0032\nMesh { 3.5; 0;0;0;,1;0;0;,0;1;0;; 1; 3;0,1,2;; }",
        "xof 0303txt 0032\nMesh { 3; 0;0;0;,1;zero;0;,0;1;0;; 1; 3;0,1,2;; }",
        // too many numbers where the children should start
        "xof 0303txt 0032\nMesh { 3; 0;0;0;,1;0;0;,0;1;0;; 1; 3;0,1,2;; 7; }",
        // unclosed string and GUID
        "xof 0303txt 0032\nMesh { 3; 0;0;0;,1;0;0;,0;1;0;; 1; 3;0,1,2;; MeshMaterialList { 1; 1; 0;; Material { "
        "1;1;1;1;; 1; 0;0;0;; 0;0;0;; TextureFilename { \"a.png } } } }",
        "xof 0303txt 0032\ntemplate T { <1234 }",
        // a frame transform with too few numbers
        "xof 0303txt 0032\nFrame { FrameTransformMatrix { 1,0,0,0; } Mesh { 3; 0;0;0;,1;0;0;,0;1;0;; 1; 3;0,1,2;; } }",
        // not closed
        "xof 0303txt 0032\nFrame { Mesh { 3; 0;0;0;,1;0;0;,0;1;0;; 1; 3;0,1,2;; }",
    };
    for (const char* text : broken) {
        EXPECT_FALSE(Parse(text, &mesh)) << text;
        EXPECT_TRUE(mesh.vertices.empty() && mesh.indices.empty()) << text;
    }
}

TEST(XFileParser, DeepNestingIsRefusedNotRecursedInto)
{
    std::string text = "xof 0303txt 0032\n";
    for (int i = 0; i < 100000; ++i)
        text += "Frame {";
    text += "Mesh { 3; 0;0;0;,1;0;0;,0;1;0;; 1; 3;0,1,2;; }";
    for (int i = 0; i < 100000; ++i)
        text += "}";
    XMeshData mesh;
    EXPECT_FALSE(Parse(text, &mesh));

    // Unknown objects nest without limit: they are skipped without recursion.
    std::string skipped = "xof 0303txt 0032\n";
    for (int i = 0; i < 100000; ++i)
        skipped += "Anything {";
    for (int i = 0; i < 100000; ++i)
        skipped += "}";
    skipped += "Mesh { 3; 0;0;0;,1;0;0;,0;1;0;; 1; 3;0,1,2;; }";
    EXPECT_TRUE(Parse(skipped, &mesh));
}

TEST(XFileParser, EveryTruncationFailsCleanly)
{
    const std::string full = CUBE_TWO_MATERIALS;
    XMeshData mesh;
    // Cutting anywhere inside the mesh object leaves it unclosed.
    const size_t meshEnd = full.rfind('}');
    for (size_t length = 0; length < meshEnd; ++length) {
        const std::string cut = full.substr(0, length);
        // A fresh copy, so the sanitizer sees any read past the cut.
        std::vector<char> bytes(cut.begin(), cut.end());
        EXPECT_FALSE(ParseXFile(bytes.data(), bytes.size(), &mesh)) << "cut at " << length;
    }
    EXPECT_TRUE(Parse(full, &mesh));
}

TEST(XFileParser, MutationsNeverBreakTheResult)
{
    const std::string samples[] = {CUBE_TWO_MATERIALS, NESTED_FRAMES};
    const char replacements[] = {'{', '}', ';', ',', '"', '<', '>', '9', '-', '.', 'e', ' ', 'x', '\0', '\xff'};
    std::mt19937 random(20240611u);
    int accepted = 0;
    for (const std::string& sample : samples) {
        for (int round = 0; round < 3000; ++round) {
            std::vector<char> bytes(sample.begin(), sample.end());
            const int edits = 1 + static_cast<int>(random() % 4);
            for (int e = 0; e < edits; ++e) {
                const size_t at = random() % bytes.size();
                switch (random() % 3) {
                case 0: bytes[at] = replacements[random() % sizeof replacements]; break;
                case 1: bytes.erase(bytes.begin() + static_cast<long>(at)); break;
                default:
                    bytes.insert(bytes.begin() + static_cast<long>(at), replacements[random() % sizeof replacements]);
                    break;
                }
            }
            XMeshData mesh;
            if (ParseXFile(bytes.data(), bytes.size(), &mesh)) {
                ++accepted;
                ExpectConsistent(mesh);
            } else {
                EXPECT_TRUE(mesh.vertices.empty());
            }
        }
    }
    // Most single edits land in numbers or white space and leave a readable file.
    EXPECT_GT(accepted, 0);
}

TEST(XFileParser, ShippedCubeReads)
{
    std::FILE* file = std::fopen(SKV_DATA_DIR "/cube.x", "rb");
    if (!file)
        GTEST_SKIP() << "no Data/cube.x in this tree";
    std::string text;
    char chunk[65536];
    for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, file)) > 0;)
        text.append(chunk, n);
    std::fclose(file);

    XMeshData mesh;
    ASSERT_TRUE(Parse(text, &mesh));
    ExpectConsistent(mesh);
    EXPECT_TRUE(mesh.hasNormals);
    EXPECT_TRUE(mesh.hasTexCoords);
    EXPECT_LE(mesh.vertices.size(), 65536u) << "the intro loads it with 16-bit indices";
    // The cube scene draws every subset with its material's colours.
    ASSERT_GE(mesh.materials.size(), 1u);
    for (uint32_t attribute : mesh.attributes)
        EXPECT_LT(attribute, mesh.materials.size());
    // A box: centred on the origin, with unit normals.
    float lo[3] = {1e9f, 1e9f, 1e9f}, hi[3] = {-1e9f, -1e9f, -1e9f};
    for (const XMeshVertex& v : mesh.vertices) {
        for (int k = 0; k < 3; ++k) {
            lo[k] = std::min(lo[k], v.position[k]);
            hi[k] = std::max(hi[k], v.position[k]);
        }
        const float length = std::sqrt(v.normal[0] * v.normal[0] + v.normal[1] * v.normal[1] +
                                       v.normal[2] * v.normal[2]);
        EXPECT_NEAR(length, 1.0f, 1e-3f);
    }
    for (int k = 0; k < 3; ++k)
        EXPECT_NEAR(lo[k], -hi[k], 0.01f * (hi[k] - lo[k]));
}
