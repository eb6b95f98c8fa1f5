#include "RoundedBox.h"

#include <algorithm>
#include <cmath>

namespace {

const double QUARTER_PI = 0.78539816339744830962;

struct FaceFrame {
    int normalAxis;
    double normalSign;
    int uAxis; // the two tangent axes, ordered so that u x v points outwards
    int vAxis;
};

// u x v = outward normal for every face.
const FaceFrame FACES[6] = {
    {0, +1.0, 1, 2}, {0, -1.0, 2, 1}, {1, +1.0, 2, 0},
    {1, -1.0, 0, 2}, {2, +1.0, 0, 1}, {2, -1.0, 1, 0},
};

// Length of a 3-vector summed in a fixed order of magnitudes, so that the
// same point reached from two faces (with its components permuted) gets the
// same bits.
double SymmetricLength(const double v[3])
{
    double squares[3] = {v[0] * v[0], v[1] * v[1], v[2] * v[2]};
    std::sort(squares, squares + 3);
    return std::sqrt(squares[0] + squares[1] + squares[2]);
}

// Grid coordinates along one face axis, as points on the cube surface of the
// same half extent: the rounded band near each edge is sampled at equal
// angles, the flat middle at equal distances. Also returns each point's arc
// length along the rounded surface, for the texture coordinates.
void AxisSamples(const RoundedBoxShape& shape, std::vector<double>& cubeCoordinate,
                 std::vector<double>& arcLength)
{
    const double inner = shape.halfExtent - shape.radius;
    const int bands = shape.bandSegments;
    const int flats = shape.flatSegments;
    const double bandArc = shape.radius * QUARTER_PI;
    cubeCoordinate.clear();
    arcLength.clear();
    for (int k = 0; k <= bands; ++k) {
        const double angle = QUARTER_PI * (bands - k) / bands;
        cubeCoordinate.push_back(-(inner + shape.radius * std::tan(angle)));
        arcLength.push_back(bandArc * k / bands);
    }
    for (int k = 1; k <= flats; ++k) {
        cubeCoordinate.push_back(-inner + 2.0 * inner * k / flats);
        arcLength.push_back(bandArc + 2.0 * inner * k / flats);
    }
    for (int k = 1; k <= bands; ++k) {
        const double angle = QUARTER_PI * k / bands;
        cubeCoordinate.push_back(inner + shape.radius * std::tan(angle));
        arcLength.push_back(bandArc + 2.0 * inner + bandArc * k / bands);
    }
    // The end points must be exactly the cube's edges, whatever tan(pi/4) rounds to.
    cubeCoordinate.front() = -shape.halfExtent;
    cubeCoordinate.back() = shape.halfExtent;
}

} // namespace

TriangleMesh BuildRoundedBox(const RoundedBoxShape& shape)
{
    TriangleMesh mesh;
    if (!(shape.halfExtent > 0.0) || !(shape.radius > 0.0) || shape.radius > shape.halfExtent ||
        shape.flatSegments < 1 || shape.bandSegments < 1)
        return mesh;

    std::vector<double> coordinate;
    std::vector<double> arc;
    AxisSamples(shape, coordinate, arc);
    const int points = static_cast<int>(coordinate.size());
    const double totalArc = arc.back();
    const double inner = shape.halfExtent - shape.radius;

    for (const FaceFrame& face : FACES) {
        const uint32_t base = static_cast<uint32_t>(mesh.vertices.size());
        for (int j = 0; j < points; ++j) {
            for (int i = 0; i < points; ++i) {
                double cube[3];
                cube[face.normalAxis] = face.normalSign * shape.halfExtent;
                cube[face.uAxis] = coordinate[i];
                cube[face.vAxis] = coordinate[j];
                // The nearest point of the inner box, and the direction from it
                // to the cube point, give the rounded surface point and its normal.
                double centre[3];
                double direction[3];
                for (int a = 0; a < 3; ++a) {
                    centre[a] = std::clamp(cube[a], -inner, inner);
                    direction[a] = cube[a] - centre[a];
                }
                const double length = SymmetricLength(direction);
                MeshVertex vertex;
                for (int a = 0; a < 3; ++a) {
                    vertex.normal[a] = direction[a] / length;
                    vertex.position[a] = centre[a] + shape.radius * vertex.normal[a];
                }
                vertex.uv[0] = arc[i] / totalArc;
                vertex.uv[1] = 1.0 - arc[j] / totalArc;
                mesh.vertices.push_back(vertex);
            }
        }
        for (int j = 0; j + 1 < points; ++j) {
            for (int i = 0; i + 1 < points; ++i) {
                const uint32_t a = base + static_cast<uint32_t>(j * points + i);
                const uint32_t b = a + 1;
                const uint32_t c = a + static_cast<uint32_t>(points) + 1;
                const uint32_t d = a + static_cast<uint32_t>(points);
                // Split each quad along the diagonal that points at the face
                // centre, so that the four quarters of a face mirror each other.
                const bool leftHalf = 2 * i + 1 < points - 1;
                const bool lowerHalf = 2 * j + 1 < points - 1;
                if (leftHalf == lowerHalf) {
                    mesh.indices.insert(mesh.indices.end(), {a, b, c, a, c, d});
                } else {
                    mesh.indices.insert(mesh.indices.end(), {a, b, d, b, c, d});
                }
            }
        }
    }
    return mesh;
}
