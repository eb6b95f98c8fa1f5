#include "XFileParser.h"

#include "XFileTokenizer.h"
#include "XMeshMath.h"

#include <cstring>
#include <string_view>
#include <unordered_map>
#include <utility>

namespace {

// Frames nest; a hostile file must not be able to exhaust the stack.
constexpr int MAX_FRAME_DEPTH = 64;
constexpr uint32_t NO_INDEX = 0xffffffffu;

// One Mesh data object, in the space of the frame that holds it.
struct MeshPart {
    std::vector<Vec3> positions;
    std::vector<uint32_t> faceSizes;    // corners of each polygon
    std::vector<uint32_t> faceCorners;  // position index of each corner, polygon after polygon
    bool hasNormals = false;
    std::vector<Vec3> normals;
    std::vector<uint32_t> cornerNormals;  // normal index of each corner
    bool hasTexCoords = false;
    std::vector<float> texCoords;  // two per position
    bool hasMaterials = false;
    std::vector<uint32_t> faceMaterials;  // one per polygon
    std::vector<XMaterial> materials;
};

void TransformPart(MeshPart* part, const Matrix4& t)
{
    for (Vec3& p : part->positions)
        p = TransformPoint(p, t);
    const NormalTransform normalTransform = NormalTransformOf(t);
    for (Vec3& n : part->normals)
        n = TransformNormal(n, normalTransform);
}

XMaterial DefaultMaterial()
{
    XMaterial m;
    m.diffuse[0] = m.diffuse[1] = m.diffuse[2] = 0.5f;
    m.diffuse[3] = 1.0f;
    return m;
}

class Reader {
public:
    Reader(const char* begin, const char* end) : m_tokens(begin, end) {}

    bool ReadFile(std::vector<MeshPart>* parts);

private:
    bool ReadFloat(float* value);
    bool ReadCount(uint32_t* value);
    bool ReadFloats(float* values, size_t count);
    // `count` vectors of three floats.
    bool ReadVectors(uint32_t count, std::vector<Vec3>* vectors);
    // `count` indices, each below `limit`.
    bool ReadIndices(uint32_t count, uint32_t limit, std::vector<uint32_t>* indices);
    // After a data object's type word: an optional name, then the opening brace.
    bool ReadObjectOpening(std::string* name);
    // At what should be a data object's type word: refuses anything else, then reads the
    // object's opening.
    bool OpenObject(const XToken& type, std::string* name);
    // After an opening brace: everything up to and including the matching closing brace.
    bool SkipObjectBody();
    // Where a data object may start: a child object, a reference or the closing brace.
    // Reads the type word and the opening of a child object; false at the closing brace
    // (consumed) or on an error (m_failed set).
    bool NextChild(std::string_view* type, std::string* name);
    // "{ name }", the opening brace already read: the name it refers to.
    bool ReadReference(std::string_view* name);

    bool ReadFrame(int depth, std::vector<MeshPart>* parts);
    bool ReadMesh(MeshPart* part);
    bool ReadNormals(MeshPart* part);
    bool ReadTexCoords(MeshPart* part);
    bool ReadMaterialList(MeshPart* part);
    bool ReadMaterial(XMaterial* material);
    bool ReadTextureFilename(XMaterial* material);

    bool Fail()
    {
        m_failed = true;
        return false;
    }

    XFileTokenizer m_tokens;
    bool m_failed = false;
    std::vector<std::pair<std::string, XMaterial>> m_namedMaterials;
};

bool Reader::ReadFloat(float* value)
{
    const XToken t = m_tokens.Next();
    if (t.kind != XTokenKind::Word || !ParseXFloat(t.text, value))
        return Fail();
    return true;
}

bool Reader::ReadCount(uint32_t* value)
{
    const XToken t = m_tokens.Next();
    if (t.kind != XTokenKind::Word || !ParseXCount(t.text, value))
        return Fail();
    return true;
}

bool Reader::ReadFloats(float* values, size_t count)
{
    for (size_t i = 0; i < count; ++i)
        if (!ReadFloat(&values[i]))
            return false;
    return true;
}

bool Reader::ReadVectors(uint32_t count, std::vector<Vec3>* vectors)
{
    for (uint32_t i = 0; i < count; ++i) {
        Vec3 v;
        if (!ReadFloat(&v.x) || !ReadFloat(&v.y) || !ReadFloat(&v.z))
            return false;
        vectors->push_back(v);
    }
    return true;
}

bool Reader::ReadIndices(uint32_t count, uint32_t limit, std::vector<uint32_t>* indices)
{
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t index = 0;
        if (!ReadCount(&index) || index >= limit)
            return Fail();
        indices->push_back(index);
    }
    return true;
}

bool Reader::ReadObjectOpening(std::string* name)
{
    XToken t = m_tokens.Next();
    if (t.kind == XTokenKind::Word) {
        if (name)
            name->assign(t.text);
        t = m_tokens.Next();
    }
    if (t.kind != XTokenKind::OpenBrace)
        return Fail();
    return true;
}

bool Reader::OpenObject(const XToken& type, std::string* name)
{
    if (type.kind != XTokenKind::Word)
        return Fail();
    // A number where an object should start means the data above was miscounted.
    float ignored;
    if (ParseXFloat(type.text, &ignored))
        return Fail();
    return ReadObjectOpening(name);
}

bool Reader::SkipObjectBody()
{
    int depth = 1;
    while (depth > 0) {
        const XToken t = m_tokens.Next();
        switch (t.kind) {
        case XTokenKind::OpenBrace: ++depth; break;
        case XTokenKind::CloseBrace: --depth; break;
        case XTokenKind::End:
        case XTokenKind::Error: return Fail();
        default: break;
        }
    }
    return true;
}

bool Reader::ReadReference(std::string_view* name)
{
    const XToken word = m_tokens.Next();
    if (word.kind != XTokenKind::Word || m_tokens.Next().kind != XTokenKind::CloseBrace)
        return Fail();
    *name = word.text;
    return true;
}

bool Reader::NextChild(std::string_view* type, std::string* name)
{
    for (;;) {
        const XToken t = m_tokens.Next();
        if (t.kind == XTokenKind::CloseBrace)
            return false;
        if (t.kind == XTokenKind::OpenBrace) {
            std::string_view ignored;
            if (!ReadReference(&ignored))
                return false;
            continue;
        }
        *type = t.text;
        name->clear();
        return OpenObject(t, name);
    }
}

bool Reader::ReadFile(std::vector<MeshPart>* parts)
{
    for (;;) {
        const XToken t = m_tokens.Next();
        if (t.kind == XTokenKind::End)
            return true;
        if (t.kind == XTokenKind::Word && t.text == "template") {
            if (!ReadObjectOpening(nullptr) || !SkipObjectBody())
                return false;
            continue;
        }
        std::string name;
        if (!OpenObject(t, &name))
            return false;
        if (t.text == "Mesh") {
            parts->emplace_back();
            if (!ReadMesh(&parts->back()))
                return false;
        } else if (t.text == "Frame") {
            if (!ReadFrame(1, parts))
                return false;
        } else if (t.text == "Material") {
            XMaterial material;
            if (!ReadMaterial(&material))
                return false;
            m_namedMaterials.emplace_back(name, std::move(material));
        } else if (!SkipObjectBody()) {
            return false;
        }
    }
}

bool Reader::ReadFrame(int depth, std::vector<MeshPart>* parts)
{
    if (depth > MAX_FRAME_DEPTH)
        return Fail();
    // The transform may come after the children, so they are gathered in the frame's own
    // space first and moved into the parent's when the frame closes.
    std::vector<MeshPart> children;
    Matrix4 local = IdentityMatrix();
    std::string_view type;
    std::string name;
    while (NextChild(&type, &name)) {
        if (type == "FrameTransformMatrix") {
            if (!ReadFloats(&local.m[0][0], 16) || m_tokens.Next().kind != XTokenKind::CloseBrace)
                return Fail();
        } else if (type == "Mesh") {
            children.emplace_back();
            if (!ReadMesh(&children.back()))
                return false;
        } else if (type == "Frame") {
            if (!ReadFrame(depth + 1, &children))
                return false;
        } else if (!SkipObjectBody()) {
            return false;
        }
    }
    if (m_failed)
        return false;
    for (MeshPart& part : children) {
        TransformPart(&part, local);
        parts->push_back(std::move(part));
    }
    return true;
}

bool Reader::ReadMesh(MeshPart* part)
{
    uint32_t vertexCount = 0;
    // Counts only bound loops that stop at the first missing number, so a huge count in a
    // short file fails quickly instead of reserving memory for it.
    if (!ReadCount(&vertexCount) || !ReadVectors(vertexCount, &part->positions))
        return false;
    uint32_t faceCount = 0;
    if (!ReadCount(&faceCount))
        return false;
    for (uint32_t f = 0; f < faceCount; ++f) {
        uint32_t corners = 0;
        if (!ReadCount(&corners) || corners < 3 || !ReadIndices(corners, vertexCount, &part->faceCorners))
            return Fail();
        part->faceSizes.push_back(corners);
    }

    std::string_view type;
    std::string name;
    while (NextChild(&type, &name)) {
        bool ok;
        if (type == "MeshNormals")
            ok = ReadNormals(part);
        else if (type == "MeshTextureCoords")
            ok = ReadTexCoords(part);
        else if (type == "MeshMaterialList")
            ok = ReadMaterialList(part);
        else
            ok = SkipObjectBody();
        if (!ok)
            return false;
    }
    return !m_failed;
}

bool Reader::ReadNormals(MeshPart* part)
{
    if (part->hasNormals)
        return Fail();
    uint32_t normalCount = 0;
    if (!ReadCount(&normalCount) || !ReadVectors(normalCount, &part->normals))
        return false;
    // The normals have faces of their own, corner for corner with the mesh's faces.
    uint32_t faceCount = 0;
    if (!ReadCount(&faceCount) || faceCount != part->faceSizes.size())
        return Fail();
    for (uint32_t f = 0; f < faceCount; ++f) {
        uint32_t corners = 0;
        if (!ReadCount(&corners) || corners != part->faceSizes[f] ||
            !ReadIndices(corners, normalCount, &part->cornerNormals))
            return Fail();
    }
    part->hasNormals = true;
    std::string_view type;
    std::string name;
    while (NextChild(&type, &name))
        if (!SkipObjectBody())
            return false;
    return !m_failed;
}

bool Reader::ReadTexCoords(MeshPart* part)
{
    uint32_t count = 0;
    if (part->hasTexCoords || !ReadCount(&count) || count != part->positions.size())
        return Fail();
    part->texCoords.resize(size_t(count) * 2);
    if (!ReadFloats(part->texCoords.data(), part->texCoords.size()))
        return false;
    part->hasTexCoords = true;
    return m_tokens.Next().kind == XTokenKind::CloseBrace || Fail();
}

bool Reader::ReadMaterialList(MeshPart* part)
{
    uint32_t materialCount = 0;
    uint32_t indexCount = 0;
    if (part->hasMaterials || !ReadCount(&materialCount) || !ReadCount(&indexCount))
        return Fail();
    for (uint32_t i = 0; i < indexCount; ++i) {
        uint32_t index = 0;
        if (!ReadCount(&index) || index >= materialCount)
            return Fail();
        // Indices past the face count are tolerated and dropped.
        if (part->faceMaterials.size() < part->faceSizes.size())
            part->faceMaterials.push_back(index);
    }
    // A shorter list leaves the rest of the faces with its last material.
    const uint32_t fill = part->faceMaterials.empty() ? 0 : part->faceMaterials.back();
    part->faceMaterials.resize(part->faceSizes.size(), fill);

    for (;;) {
        const XToken t = m_tokens.Next();
        if (t.kind == XTokenKind::CloseBrace)
            break;
        if (t.kind == XTokenKind::OpenBrace) {
            // A reference to a material defined earlier at the top of the file.
            std::string_view name;
            if (!ReadReference(&name))
                return false;
            const XMaterial* found = nullptr;
            for (const auto& named : m_namedMaterials)
                if (named.first == name)
                    found = &named.second;
            if (!found)
                return Fail();
            part->materials.push_back(*found);
            continue;
        }
        if (!OpenObject(t, nullptr))
            return false;
        if (t.text == "Material") {
            part->materials.emplace_back();
            if (!ReadMaterial(&part->materials.back()))
                return false;
        } else if (!SkipObjectBody()) {
            return false;
        }
    }
    if (part->materials.size() < materialCount)
        return Fail();
    part->materials.resize(materialCount);
    part->hasMaterials = materialCount > 0;
    return true;
}

bool Reader::ReadMaterial(XMaterial* material)
{
    if (!ReadFloats(material->diffuse, 4) || !ReadFloat(&material->power) || !ReadFloats(material->specular, 3) ||
        !ReadFloats(material->emissive, 3))
        return false;
    std::string_view type;
    std::string name;
    while (NextChild(&type, &name)) {
        const bool ok = (type == "TextureFilename" || type == "TextureFileName") ? ReadTextureFilename(material)
                                                                                 : SkipObjectBody();
        if (!ok)
            return false;
    }
    return !m_failed;
}

bool Reader::ReadTextureFilename(XMaterial* material)
{
    const XToken t = m_tokens.Next();
    if (t.kind != XTokenKind::String || m_tokens.Next().kind != XTokenKind::CloseBrace)
        return Fail();
    material->textureFile.assign(t.text);
    return true;
}

bool HasTextHeader(const char* data, size_t size)
{
    // "xof " major minor (two digits each) "txt " float size ("0032" or "0064").
    if (size < 16 || std::memcmp(data, "xof ", 4) != 0)
        return false;
    for (int i = 4; i < 8; ++i)
        if (data[i] < '0' || data[i] > '9')
            return false;
    if (std::memcmp(data + 8, "txt ", 4) != 0)
        return false;
    return std::memcmp(data + 12, "0032", 4) == 0 || std::memcmp(data + 12, "0064", 4) == 0;
}

void Merge(std::vector<MeshPart>& parts, XMeshData* mesh)
{
    for (const MeshPart& part : parts) {
        mesh->hasNormals = mesh->hasNormals || part.hasNormals;
        mesh->hasTexCoords = mesh->hasTexCoords || part.hasTexCoords;
    }
    const bool anyMaterials = [&] {
        for (const MeshPart& part : parts)
            if (part.hasMaterials)
                return true;
        return false;
    }();
    uint32_t defaultMaterial = NO_INDEX;

    for (const MeshPart& part : parts) {
        const uint32_t base = static_cast<uint32_t>(mesh->vertices.size());
        const uint32_t materialBase = static_cast<uint32_t>(mesh->materials.size());
        mesh->materials.insert(mesh->materials.end(), part.materials.begin(), part.materials.end());
        if (!part.hasMaterials && anyMaterials && defaultMaterial == NO_INDEX) {
            defaultMaterial = static_cast<uint32_t>(mesh->materials.size());
            mesh->materials.push_back(DefaultMaterial());
        }

        for (size_t i = 0; i < part.positions.size(); ++i) {
            XMeshVertex v;
            v.position[0] = part.positions[i].x;
            v.position[1] = part.positions[i].y;
            v.position[2] = part.positions[i].z;
            if (part.hasTexCoords) {
                v.texCoord[0] = part.texCoords[2 * i];
                v.texCoord[1] = part.texCoords[2 * i + 1];
            }
            mesh->vertices.push_back(v);
        }

        // A position keeps its own vertex for the first normal it meets; every other normal
        // it is used with gets a copy of the vertex, added after the file's vertices.
        std::vector<uint32_t> normalOfVertex(part.positions.size(), NO_INDEX);
        std::unordered_map<uint64_t, uint32_t> copies;
        std::vector<uint32_t> polygon;
        size_t corner = 0;
        for (size_t f = 0; f < part.faceSizes.size(); ++f) {
            polygon.clear();
            for (uint32_t c = 0; c < part.faceSizes[f]; ++c, ++corner) {
                const uint32_t p = part.faceCorners[corner];
                uint32_t vertex = base + p;
                if (part.hasNormals) {
                    const uint32_t n = part.cornerNormals[corner];
                    if (normalOfVertex[p] == NO_INDEX) {
                        normalOfVertex[p] = n;
                        std::memcpy(mesh->vertices[vertex].normal, &part.normals[n], sizeof(Vec3));
                    } else if (normalOfVertex[p] != n) {
                        const uint64_t key = (uint64_t(p) << 32) | n;
                        const auto found = copies.find(key);
                        if (found != copies.end()) {
                            vertex = found->second;
                        } else {
                            XMeshVertex copy = mesh->vertices[vertex];
                            std::memcpy(copy.normal, &part.normals[n], sizeof(Vec3));
                            vertex = static_cast<uint32_t>(mesh->vertices.size());
                            mesh->vertices.push_back(copy);
                            copies.emplace(key, vertex);
                        }
                    }
                }
                polygon.push_back(vertex);
            }
            const uint32_t attribute = part.hasMaterials ? materialBase + part.faceMaterials[f]
                                       : anyMaterials    ? defaultMaterial
                                                         : 0;
            // Polygons become fans around their first corner.
            for (size_t k = 1; k + 1 < polygon.size(); ++k) {
                mesh->indices.push_back(polygon[0]);
                mesh->indices.push_back(polygon[k]);
                mesh->indices.push_back(polygon[k + 1]);
                mesh->attributes.push_back(attribute);
            }
        }
    }
    if (mesh->materials.empty())
        mesh->materials.push_back(DefaultMaterial());
}

}  // namespace

bool ParseXFile(const void* data, size_t size, XMeshData* mesh)
{
    if (!mesh)
        return false;
    *mesh = XMeshData();
    if (!data)
        return false;
    const char* text = static_cast<const char*>(data);
    if (!HasTextHeader(text, size))
        return false;

    std::vector<MeshPart> parts;
    Reader reader(text + 16, text + size);
    if (!reader.ReadFile(&parts) || parts.empty())
        return false;
    Merge(parts, mesh);
    if (mesh->vertices.empty() || mesh->indices.empty()) {
        *mesh = XMeshData();
        return false;
    }
    return true;
}
