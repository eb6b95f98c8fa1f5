#include "BakedTextMeshes.h"

#include "GdiObjects.h"

#include <cstring>
#include <strings.h>

namespace {

const char MAGIC[8] = {'S', 'K', 'V', 'T', 'X', 'M', 'S', 'H'};
const size_t METRICS_BYTES = 6 * 4;
const size_t VERTEX_BYTES = 6 * 4;
const size_t INDEX_BYTES = 2;

class ByteWriter {
public:
    void Bytes(const void* data, size_t size)
    {
        const auto* bytes = static_cast<const uint8_t*>(data);
        m_out.insert(m_out.end(), bytes, bytes + size);
    }
    void U8(uint8_t value) { m_out.push_back(value); }
    void U16(uint16_t value)
    {
        U8(static_cast<uint8_t>(value));
        U8(static_cast<uint8_t>(value >> 8));
    }
    void U32(uint32_t value)
    {
        U16(static_cast<uint16_t>(value));
        U16(static_cast<uint16_t>(value >> 16));
    }
    void F32(float value)
    {
        uint32_t bits;
        std::memcpy(&bits, &value, 4);
        U32(bits);
    }
    std::vector<uint8_t>& Out() { return m_out; }

private:
    std::vector<uint8_t> m_out;
};

// Reads forward through the file; every read checks what is left first, and once one fails
// the rest fail too.
class ByteReader {
public:
    ByteReader(const uint8_t* data, size_t size) : m_cursor(data), m_left(data ? size : 0) {}

    bool Bytes(void* out, size_t size)
    {
        if (size > m_left)
            return Fail();
        std::memcpy(out, m_cursor, size);
        m_cursor += size;
        m_left -= size;
        return true;
    }
    bool U8(uint8_t* value) { return Bytes(value, 1); }
    bool U16(uint16_t* value)
    {
        uint8_t b[2];
        if (!Bytes(b, 2))
            return false;
        *value = static_cast<uint16_t>(b[0] | b[1] << 8);
        return true;
    }
    bool U32(uint32_t* value)
    {
        uint8_t b[4];
        if (!Bytes(b, 4))
            return false;
        *value = uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
        return true;
    }
    // A signed integer or a float, from the four bytes of its bits.
    template <typename T>
    bool Bits32(T* value)
    {
        static_assert(sizeof(T) == 4, "four bytes");
        uint32_t bits;
        if (!U32(&bits))
            return false;
        std::memcpy(value, &bits, 4);
        return true;
    }
    bool I32(int32_t* value) { return Bits32(value); }
    bool F32(float* value) { return Bits32(value); }
    // A count of items of itemSize bytes each that the rest of the file can hold.
    bool Count(size_t itemSize, uint32_t* count)
    {
        if (!U32(count))
            return false;
        if (*count > m_left / itemSize)
            return Fail();
        return true;
    }
    bool Zeros(size_t size)
    {
        for (size_t i = 0; i < size; ++i) {
            uint8_t b;
            if (!U8(&b))
                return false;
            if (b != 0)
                return Fail();
        }
        return true;
    }
    size_t Left() const { return m_left; }

private:
    bool Fail()
    {
        m_left = 0;
        return false;
    }

    const uint8_t* m_cursor;
    size_t m_left;
};

bool Refuse(std::string* error, const std::string& reason)
{
    if (error)
        *error = reason;
    return false;
}

bool ReadEntry(ByteReader& in, BakedTextEntry* entry, std::string* error)
{
    BakedTextRequest& r = entry->request;
    uint32_t textLength = 0;
    if (!in.Bytes(r.face, LF_FACESIZE) || !in.I32(&r.height) || !in.I32(&r.width) || !in.I32(&r.weight) ||
        !in.U8(&r.italic) || !in.U8(&r.charset) || !in.Zeros(2) || !in.F32(&r.deviation) || !in.F32(&r.extrusion) ||
        !in.Count(1, &textLength))
        return Refuse(error, "a request is cut short or malformed");
    if (r.face[LF_FACESIZE - 1] != '\0')
        return Refuse(error, "a face name is not terminated");
    r.text.assign(textLength, '\0');
    uint8_t status = 0;
    if (!in.Bytes(&r.text[0], textLength) || !in.U8(&status) || !in.Zeros(3))
        return Refuse(error, "an entry's text or status is cut short or malformed");
    if (r.text.find('\0') != std::string::npos)
        return Refuse(error, "an entry's text holds a zero byte");
    if (status > static_cast<uint8_t>(TextMeshStatus::NotBaked))
        return Refuse(error, "an entry has an unknown status");
    entry->status = static_cast<TextMeshStatus>(status);

    uint32_t count = 0;
    if (!in.Count(METRICS_BYTES, &count))
        return Refuse(error, "an entry's glyph metrics are cut short");
    if (count > textLength)
        return Refuse(error, "an entry has more glyph metrics than characters");
    entry->metrics.resize(count);
    for (GLYPHMETRICSFLOAT& m : entry->metrics)
        if (!in.F32(&m.gmfBlackBoxX) || !in.F32(&m.gmfBlackBoxY) || !in.F32(&m.gmfptGlyphOrigin.x) ||
            !in.F32(&m.gmfptGlyphOrigin.y) || !in.F32(&m.gmfCellIncX) || !in.F32(&m.gmfCellIncY))
            return Refuse(error, "an entry's glyph metrics are cut short");

    if (!in.Count(VERTEX_BYTES, &count))
        return Refuse(error, "an entry's vertices are cut short");
    entry->mesh.vertices.resize(count);
    for (TextVertex& v : entry->mesh.vertices)
        for (float* f : {&v.position[0], &v.position[1], &v.position[2], &v.normal[0], &v.normal[1], &v.normal[2]})
            if (!in.F32(f))
                return Refuse(error, "an entry's vertices are cut short");

    if (!in.Count(INDEX_BYTES, &count))
        return Refuse(error, "an entry's indices are cut short");
    if (count % 3 != 0)
        return Refuse(error, "an entry's index count is not a whole number of triangles");
    entry->mesh.indices.resize(count);
    for (uint32_t& index : entry->mesh.indices) {
        uint16_t value = 0;
        if (!in.U16(&value))
            return Refuse(error, "an entry's indices are cut short");
        if (value >= entry->mesh.vertices.size())
            return Refuse(error, "an entry's index points past its vertices");
        index = value;
    }
    return true;
}

}  // namespace

BakedTextRequest MakeBakedTextRequest(const LOGFONTA& font, const char* text, float deviation, float extrusion)
{
    BakedTextRequest request = {};
    const size_t nameLength = strnlen(font.lfFaceName, LF_FACESIZE - 1);
    std::memcpy(request.face, font.lfFaceName, nameLength);
    request.height = font.lfHeight;
    request.width = font.lfWidth;
    request.weight = font.lfWeight;
    request.italic = font.lfItalic;
    request.charset = font.lfCharSet;
    request.deviation = deviation;
    request.extrusion = extrusion;
    request.text = text ? text : "";
    return request;
}

const BakedTextEntry* FindBakedText(const std::vector<BakedTextEntry>& entries, const BakedTextRequest& request)
{
    for (const BakedTextEntry& entry : entries) {
        const BakedTextRequest& r = entry.request;
        if (strncasecmp(r.face, request.face, LF_FACESIZE) == 0 && r.height == request.height &&
            r.width == request.width && r.weight == request.weight && r.italic == request.italic &&
            r.charset == request.charset && std::memcmp(&r.deviation, &request.deviation, 4) == 0 &&
            std::memcmp(&r.extrusion, &request.extrusion, 4) == 0 && r.text == request.text)
            return &entry;
    }
    return nullptr;
}

TextMeshStatus BuildBakedTextMesh(const std::vector<BakedTextEntry>& entries, HDC dc, const char* text, float deviation,
                                  float extrusion, TextMesh* mesh, GLYPHMETRICSFLOAT* metrics)
{
    mesh->vertices.clear();
    mesh->indices.clear();
    if (!dc || !text || !text[0])
        return TextMeshStatus::InvalidArguments;
    LOGFONTA font;
    if (!GetSelectedLogFont(dc, &font))
        return TextMeshStatus::NoOutlineFont;
    const BakedTextEntry* entry = FindBakedText(entries, MakeBakedTextRequest(font, text, deviation, extrusion));
    if (!entry)
        return TextMeshStatus::NotBaked;
    if (metrics)
        for (size_t i = 0; i < entry->metrics.size(); ++i)
            metrics[i] = entry->metrics[i];
    *mesh = entry->mesh;
    return entry->status;
}

std::vector<uint8_t> WriteBakedTextMeshes(const std::vector<BakedTextEntry>& entries)
{
    ByteWriter out;
    out.Bytes(MAGIC, sizeof MAGIC);
    out.U32(BAKED_TEXT_VERSION);
    out.U32(static_cast<uint32_t>(entries.size()));
    for (const BakedTextEntry& entry : entries) {
        const BakedTextRequest& r = entry.request;
        char face[LF_FACESIZE] = {};
        std::memcpy(face, r.face, strnlen(r.face, LF_FACESIZE - 1));
        out.Bytes(face, LF_FACESIZE);
        out.U32(static_cast<uint32_t>(r.height));
        out.U32(static_cast<uint32_t>(r.width));
        out.U32(static_cast<uint32_t>(r.weight));
        out.U8(r.italic);
        out.U8(r.charset);
        out.U16(0);
        out.F32(r.deviation);
        out.F32(r.extrusion);
        out.U32(static_cast<uint32_t>(r.text.size()));
        out.Bytes(r.text.data(), r.text.size());
        out.U32(static_cast<uint32_t>(entry.status));  // the status byte and three zero bytes
        out.U32(static_cast<uint32_t>(entry.metrics.size()));
        for (const GLYPHMETRICSFLOAT& m : entry.metrics)
            for (float f : {m.gmfBlackBoxX, m.gmfBlackBoxY, m.gmfptGlyphOrigin.x, m.gmfptGlyphOrigin.y, m.gmfCellIncX,
                            m.gmfCellIncY})
                out.F32(f);
        out.U32(static_cast<uint32_t>(entry.mesh.vertices.size()));
        for (const TextVertex& v : entry.mesh.vertices)
            for (float f : {v.position[0], v.position[1], v.position[2], v.normal[0], v.normal[1], v.normal[2]})
                out.F32(f);
        out.U32(static_cast<uint32_t>(entry.mesh.indices.size()));
        for (uint32_t index : entry.mesh.indices)
            out.U16(static_cast<uint16_t>(index));
    }
    return std::move(out.Out());
}

bool ReadBakedTextMeshes(const uint8_t* data, size_t size, std::vector<BakedTextEntry>* entries, std::string* error)
{
    entries->clear();
    ByteReader in(data, size);
    char magic[sizeof MAGIC];
    uint32_t version = 0;
    uint32_t count = 0;
    if (!in.Bytes(magic, sizeof magic) || std::memcmp(magic, MAGIC, sizeof MAGIC) != 0)
        return Refuse(error, "not a baked text-mesh file");
    if (!in.U32(&version) || version != BAKED_TEXT_VERSION)
        return Refuse(error, "a baked text-mesh file of another version (this build reads version " +
                                 std::to_string(BAKED_TEXT_VERSION) + ")");
    // Each entry takes at least its 76 bytes of fixed fields and counts.
    if (!in.Count(76, &count))
        return Refuse(error, "the entry count does not fit the file");
    entries->resize(count);
    for (BakedTextEntry& entry : *entries)
        if (!ReadEntry(in, &entry, error)) {
            entries->clear();
            return false;
        }
    if (in.Left() != 0) {
        entries->clear();
        return Refuse(error, "bytes follow the last entry");
    }
    return true;
}
