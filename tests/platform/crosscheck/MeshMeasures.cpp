#include "MeshMeasures.h"

#include <cmath>
#include <cstring>

namespace {

struct Corner {
    float p[3];
    float n[3];
};

Corner Read(const void* vertices, uint32_t index, uint32_t stride, bool hasNormals)
{
    Corner c = {{0, 0, 0}, {0, 0, 0}};
    const unsigned char* at = static_cast<const unsigned char*>(vertices) + static_cast<size_t>(index) * stride;
    std::memcpy(c.p, at, sizeof c.p);
    if (hasNormals)
        std::memcpy(c.n, at + sizeof c.p, sizeof c.n);
    return c;
}

}  // namespace

MeshMeasures MeasureMesh(const void* vertices, uint32_t vertexCount, uint32_t stride, bool hasNormals,
                         const std::vector<uint32_t>& indices)
{
    MeshMeasures m;
    for (uint32_t i = 0; i < vertexCount; ++i) {
        const Corner c = Read(vertices, i, stride, hasNormals);
        for (int k = 0; k < 3; ++k) {
            m.min[k] = i == 0 || c.p[k] < m.min[k] ? c.p[k] : m.min[k];
            m.max[k] = i == 0 || c.p[k] > m.max[k] ? c.p[k] : m.max[k];
            m.positionSum[k] += c.p[k];
            m.normalSum[k] += c.n[k];
        }
    }
    // A face lies in a cap when all its corners are within a small part of the depth of it.
    const double slack = 1e-4 * (1.0 + std::fabs(double(m.max[2]) - m.min[2]));
    int frontCorners = 0, backCorners = 0;
    for (size_t f = 0; f + 2 < indices.size(); f += 3) {
        if (indices[f] >= vertexCount || indices[f + 1] >= vertexCount || indices[f + 2] >= vertexCount)
            continue;
        const Corner a = Read(vertices, indices[f], stride, hasNormals);
        const Corner b = Read(vertices, indices[f + 1], stride, hasNormals);
        const Corner c = Read(vertices, indices[f + 2], stride, hasNormals);
        double u[3], v[3];
        for (int k = 0; k < 3; ++k) {
            u[k] = double(b.p[k]) - a.p[k];
            v[k] = double(c.p[k]) - a.p[k];
        }
        const double cross[3] = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]};
        const double area = 0.5 * std::sqrt(cross[0] * cross[0] + cross[1] * cross[1] + cross[2] * cross[2]);
        const Corner* corners[3] = {&a, &b, &c};
        bool front = true, back = true;
        for (const Corner* k : corners) {
            front = front && std::fabs(double(k->p[2]) - m.max[2]) <= slack;
            back = back && std::fabs(double(k->p[2]) - m.min[2]) <= slack;
        }
        if (front && m.max[2] != m.min[2]) {
            m.frontArea += area;
            m.frontWinding += 0.5 * cross[2];
            for (const Corner* k : corners)
                m.frontNormalZ += k->n[2];
            frontCorners += 3;
        } else if (back && m.max[2] != m.min[2]) {
            m.backArea += area;
            m.backWinding += 0.5 * cross[2];
            for (const Corner* k : corners)
                m.backNormalZ += k->n[2];
            backCorners += 3;
        } else {
            m.wallArea += area;
        }
    }
    if (frontCorners)
        m.frontNormalZ /= frontCorners;
    if (backCorners)
        m.backNormalZ /= backCorners;
    return m;
}
