#include "XFileWriter.h"

#include <cstdio>
#include <cstring>

namespace {

// Fixed-point text without a minus sign on zero, so that the output does not
// depend on the sign of rounding noise.
std::string Number(double value, int decimals)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    if (text[0] == '-') {
        bool zero = true;
        for (const char* c = text + 1; *c; ++c) {
            if (*c != '0' && *c != '.')
                zero = false;
        }
        if (zero)
            return std::string(text + 1);
    }
    return text;
}

void AppendFaces(std::string& out, const TriangleMesh& mesh, const char* indent)
{
    const size_t faces = mesh.indices.size() / 3;
    out += indent + std::to_string(faces) + ";\n";
    for (size_t f = 0; f < faces; ++f) {
        out += indent;
        out += "3;" + std::to_string(mesh.indices[3 * f]) + "," +
               std::to_string(mesh.indices[3 * f + 1]) + "," +
               std::to_string(mesh.indices[3 * f + 2]) + ";";
        out += f + 1 < faces ? ",\n" : ";\n";
    }
}

// One array entry per vertex: the count, then the vertex's components of the
// given field (position, normal or texture coordinate) as "x;y;z;".
template <size_t N>
void AppendPerVertex(std::string& out, const TriangleMesh& mesh, double (MeshVertex::*field)[N],
                     const char* indent)
{
    const size_t count = mesh.vertices.size();
    out += indent + std::to_string(count) + ";\n";
    for (size_t v = 0; v < count; ++v) {
        const double* value = mesh.vertices[v].*field;
        out += indent;
        for (size_t c = 0; c < N; ++c)
            out += Number(value[c], 6) + ";";
        out += v + 1 < count ? ",\n" : ";\n";
    }
}

} // namespace

std::string WriteXFileText(const TriangleMesh& mesh, const char* meshName,
                           const XMaterial& material)
{
    const size_t vertexCount = mesh.vertices.size();
    const size_t faceCount = mesh.indices.size() / 3;
    std::string out;
    out.reserve(vertexCount * 120 + faceCount * 60);
    out += "xof 0303txt 0032\n\n";
    out += "Mesh ";
    out += meshName;
    out += " {\n";

    AppendPerVertex(out, mesh, &MeshVertex::position, " ");
    AppendFaces(out, mesh, " ");

    out += "\n MeshNormals {\n";
    AppendPerVertex(out, mesh, &MeshVertex::normal, "  ");
    AppendFaces(out, mesh, "  ");
    out += " }\n";

    out += "\n MeshTextureCoords {\n";
    AppendPerVertex(out, mesh, &MeshVertex::uv, "  ");
    out += " }\n";

    out += "\n MeshMaterialList {\n";
    out += "  1;\n";
    out += "  " + std::to_string(faceCount) + ";\n";
    for (size_t f = 0; f < faceCount; ++f)
        out += f + 1 < faceCount ? "  0,\n" : "  0;\n";
    out += "\n  Material {\n";
    out += "   " + Number(material.diffuse[0], 7) + ";" + Number(material.diffuse[1], 7) + ";" +
           Number(material.diffuse[2], 7) + ";" + Number(material.diffuse[3], 7) + ";;\n";
    out += "   " + Number(material.power, 7) + ";\n";
    out += "   " + Number(material.specular[0], 7) + ";" + Number(material.specular[1], 7) + ";" +
           Number(material.specular[2], 7) + ";;\n";
    out += "   " + Number(material.emissive[0], 7) + ";" + Number(material.emissive[1], 7) + ";" +
           Number(material.emissive[2], 7) + ";;\n";
    out += "  }\n";
    out += " }\n";
    out += "}\n";
    return out;
}
