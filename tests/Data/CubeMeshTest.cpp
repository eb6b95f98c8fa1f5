#include "DataFiles.h"
#include "XFileText.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <map>
#include <set>

namespace {

struct Vec3 {
    double x, y, z;
};
Vec3 Sub(const Vec3& a, const Vec3& b)
{
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
Vec3 Cross(const Vec3& a, const Vec3& b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
double Dot(const Vec3& a, const Vec3& b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

// The cube as the intro loads it from Data/cube.x.
class CubeMesh : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        const std::vector<uint8_t> bytes = ReadDataFile("cube.x");
        s_text.assign(bytes.begin(), bytes.end());
        s_parsed = ParseXFileText(s_text, s_objects);
    }

    const XObject* Mesh() const
    {
        for (const XObject& object : s_objects) {
            if (object.type == "Mesh")
                return &object;
        }
        return nullptr;
    }

    // Reads positions and triangles of the mesh; false when the counts do not add up.
    bool ReadGeometry(std::vector<Vec3>& positions, std::vector<std::array<int, 3>>& triangles) const
    {
        const XObject* mesh = Mesh();
        if (!mesh || mesh->numbers.empty())
            return false;
        const std::vector<double>& n = mesh->numbers;
        const size_t vertexCount = size_t(n[0]);
        size_t at = 1;
        if (n.size() < at + 3 * vertexCount + 1)
            return false;
        for (size_t v = 0; v < vertexCount; ++v, at += 3)
            positions.push_back({n[at], n[at + 1], n[at + 2]});
        const size_t faceCount = size_t(n[at++]);
        for (size_t f = 0; f < faceCount; ++f) {
            if (at + 4 > n.size() || n[at] != 3.0)
                return false;
            triangles.push_back({int(n[at + 1]), int(n[at + 2]), int(n[at + 3])});
            at += 4;
        }
        return at == n.size();
    }

    static std::string s_text;
    static bool s_parsed;
    static std::vector<XObject> s_objects;
};

std::string CubeMesh::s_text;
bool CubeMesh::s_parsed = false;
std::vector<XObject> CubeMesh::s_objects;

}  // namespace

TEST_F(CubeMesh, IsOneTextMeshWithNormalsTextureCoordinatesAndMaterials)
{
    ASSERT_FALSE(s_text.empty()) << "cannot read " << DataPath("cube.x");
    ASSERT_TRUE(s_parsed);
    const XObject* mesh = Mesh();
    ASSERT_NE(mesh, nullptr);
    EXPECT_NE(mesh->Child("MeshNormals"), nullptr);
    EXPECT_NE(mesh->Child("MeshTextureCoords"), nullptr);
    EXPECT_NE(mesh->Child("MeshMaterialList"), nullptr);
}

TEST_F(CubeMesh, HasBetweenTenAndFifteenThousandTrianglesOn16BitIndices)
{
    std::vector<Vec3> positions;
    std::vector<std::array<int, 3>> triangles;
    ASSERT_TRUE(ReadGeometry(positions, triangles));
    EXPECT_GE(triangles.size(), 10000u);
    EXPECT_LE(triangles.size(), 15000u);
    // The intro loads the mesh with 16-bit indices (D3DXMESH_MANAGED).
    EXPECT_LT(positions.size(), 65536u);
    for (const auto& t : triangles) {
        for (int i : t)
            ASSERT_TRUE(i >= 0 && size_t(i) < positions.size());
    }
}

TEST_F(CubeMesh, IsAbout27Point7UnitsAcrossAndCentred)
{
    std::vector<Vec3> positions;
    std::vector<std::array<int, 3>> triangles;
    ASSERT_TRUE(ReadGeometry(positions, triangles));
    Vec3 low = positions[0], high = positions[0];
    for (const Vec3& p : positions) {
        low = {std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z)};
        high = {std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z)};
    }
    const double extents[3] = {high.x - low.x, high.y - low.y, high.z - low.z};
    const double centres[3] = {high.x + low.x, high.y + low.y, high.z + low.z};
    for (int a = 0; a < 3; ++a) {
        EXPECT_NEAR(extents[a], 27.7, 0.05);
        EXPECT_NEAR(centres[a], 0.0, 1e-4);
    }
    // Box-like: the flat faces reach the bounding box over a wide area, the
    // corners are cut off by the rounding.
    size_t onFaces = 0;
    double farthest = 0.0;
    for (const Vec3& p : positions) {
        onFaces += std::fabs(std::fabs(p.x) - 13.85) < 1e-3 || std::fabs(std::fabs(p.y) - 13.85) < 1e-3 ||
                   std::fabs(std::fabs(p.z) - 13.85) < 1e-3;
        farthest = std::max(farthest, std::sqrt(Dot(p, p)));
    }
    EXPECT_GT(onFaces, positions.size() / 20);
    EXPECT_LT(farthest, 13.85 * std::sqrt(3.0) - 1.0);
    EXPECT_GT(farthest, 13.85 * 1.3);
}

TEST_F(CubeMesh, IsClosedAndConsistentlyWoundOutwards)
{
    std::vector<Vec3> positions;
    std::vector<std::array<int, 3>> triangles;
    ASSERT_TRUE(ReadGeometry(positions, triangles));

    // Weld vertices that share a position (the patches meet on the same points).
    std::map<std::array<long long, 3>, int> ids;
    std::vector<int> weld(positions.size());
    for (size_t v = 0; v < positions.size(); ++v) {
        const std::array<long long, 3> key = {std::llround(positions[v].x * 1000.0),
                                              std::llround(positions[v].y * 1000.0),
                                              std::llround(positions[v].z * 1000.0)};
        weld[v] = ids.emplace(key, int(ids.size())).first->second;
    }
    // Every directed edge once, and its reverse once: a closed, oriented surface.
    std::map<std::pair<int, int>, int> directed;
    for (const auto& t : triangles) {
        for (int e = 0; e < 3; ++e) {
            const int a = weld[size_t(t[e])], b = weld[size_t(t[(e + 1) % 3])];
            ASSERT_NE(a, b) << "degenerate triangle";
            ++directed[{a, b}];
        }
    }
    size_t unmatched = 0, repeated = 0;
    for (const auto& edge : directed) {
        repeated += edge.second != 1;
        const auto reverse = directed.find({edge.first.second, edge.first.first});
        unmatched += reverse == directed.end() || reverse->second != 1;
    }
    EXPECT_EQ(unmatched, 0u);
    EXPECT_EQ(repeated, 0u);
    // A closed surface of genus 0: V - E + F = 2.
    const long long v = (long long)ids.size(), e = (long long)directed.size() / 2, f = (long long)triangles.size();
    EXPECT_EQ(v - e + f, 2);

    // Counter-clockwise seen from outside: each face's normal points away from the centre.
    size_t inward = 0;
    for (const auto& t : triangles) {
        const Vec3 n = Cross(Sub(positions[size_t(t[1])], positions[size_t(t[0])]),
                             Sub(positions[size_t(t[2])], positions[size_t(t[0])]));
        inward += Dot(n, positions[size_t(t[0])]) <= 0.0;
    }
    EXPECT_EQ(inward, 0u);
}

TEST_F(CubeMesh, NormalsAreUnitOutwardAndFollowTheFaces)
{
    std::vector<Vec3> positions;
    std::vector<std::array<int, 3>> triangles;
    ASSERT_TRUE(ReadGeometry(positions, triangles));
    const XObject* normals = Mesh()->Child("MeshNormals");
    ASSERT_NE(normals, nullptr);
    const std::vector<double>& n = normals->numbers;
    ASSERT_FALSE(n.empty());
    const size_t count = size_t(n[0]);
    ASSERT_EQ(count, positions.size());  // one normal per vertex
    ASSERT_EQ(n.size(), 1 + 3 * count + 1 + 4 * triangles.size());
    std::vector<Vec3> normal;
    for (size_t i = 0; i < count; ++i)
        normal.push_back({n[1 + 3 * i], n[2 + 3 * i], n[3 + 3 * i]});
    size_t at = 1 + 3 * count;
    ASSERT_EQ(size_t(n[at++]), triangles.size());
    for (const auto& t : triangles) {
        ASSERT_EQ(n[at], 3.0);
        for (int k = 0; k < 3; ++k)
            ASSERT_EQ(int(n[at + 1 + size_t(k)]), t[size_t(k)]) << "normal faces differ from the mesh faces";
        at += 4;
    }
    for (size_t i = 0; i < count; ++i) {
        EXPECT_NEAR(std::sqrt(Dot(normal[i], normal[i])), 1.0, 1e-5);
        EXPECT_GT(Dot(normal[i], positions[i]), 0.0);
    }
    // Smooth: the normals of a triangle's corners agree with its face normal.
    for (const auto& t : triangles) {
        Vec3 face = Cross(Sub(positions[size_t(t[1])], positions[size_t(t[0])]),
                          Sub(positions[size_t(t[2])], positions[size_t(t[0])]));
        const double length = std::sqrt(Dot(face, face));
        ASSERT_GT(length, 0.0);
        for (int k = 0; k < 3; ++k)
            EXPECT_GT(Dot(face, normal[size_t(t[size_t(k)])]) / length, 0.9);
    }
}

TEST_F(CubeMesh, TextureCoordinatesCoverEachVertexWithinTheUnitSquare)
{
    std::vector<Vec3> positions;
    std::vector<std::array<int, 3>> triangles;
    ASSERT_TRUE(ReadGeometry(positions, triangles));
    const XObject* uv = Mesh()->Child("MeshTextureCoords");
    ASSERT_NE(uv, nullptr);
    ASSERT_EQ(uv->numbers.size(), 1 + 2 * positions.size());
    ASSERT_EQ(size_t(uv->numbers[0]), positions.size());
    for (size_t i = 1; i < uv->numbers.size(); ++i) {
        EXPECT_GE(uv->numbers[i], 0.0);
        EXPECT_LE(uv->numbers[i], 1.0);
    }
}

TEST_F(CubeMesh, HasOneMidGreyMaterialWithoutSpecularColour)
{
    std::vector<Vec3> positions;
    std::vector<std::array<int, 3>> triangles;
    ASSERT_TRUE(ReadGeometry(positions, triangles));
    const XObject* list = Mesh()->Child("MeshMaterialList");
    ASSERT_NE(list, nullptr);
    const std::vector<double>& n = list->numbers;
    ASSERT_GE(n.size(), 2u);
    EXPECT_EQ(n[0], 1.0);  // materials
    ASSERT_EQ(size_t(n[1]), triangles.size());
    ASSERT_EQ(n.size(), 2 + triangles.size());
    for (size_t f = 0; f < triangles.size(); ++f)
        ASSERT_EQ(n[2 + f], 0.0);

    ASSERT_EQ(list->children.size(), 1u);
    const XObject& material = list->children[0];
    EXPECT_EQ(material.type, "Material");
    // diffuse RGBA, power, specular RGB, emissive RGB
    ASSERT_EQ(material.numbers.size(), 11u);
    const double expected[11] = {0.5882353, 0.5882353, 0.5882353, 1.0, 4.0, 0, 0, 0, 0, 0, 0};
    for (int i = 0; i < 11; ++i)
        EXPECT_FLOAT_EQ(float(material.numbers[size_t(i)]), float(expected[i])) << "field " << i;
}
