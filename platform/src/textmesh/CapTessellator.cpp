#include "CapTessellator.h"

#include <GL/glu.h>

#include <cstdint>

namespace {

// What the callbacks see of one tessellation.
struct Run {
    std::vector<CapPoint>* points;
    std::vector<uint32_t>* triangles;
    bool failed;
};

// Vertex data travels through GLU as pointers; an index plus one never reads as null.
void* ToData(size_t index)
{
    return reinterpret_cast<void*>(static_cast<uintptr_t>(index) + 1);
}

uint32_t FromData(void* data)
{
    return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(data) - 1);
}

void CALLBACK OnBegin(GLenum, void*) {}

// Registering an edge-flag callback makes GLU hand out separate triangles only.
void CALLBACK OnEdgeFlag(GLboolean, void*) {}

void CALLBACK OnVertex(void* data, void* run)
{
    static_cast<Run*>(run)->triangles->push_back(FromData(data));
}

void CALLBACK OnCombine(GLdouble coords[3], void* [4], GLfloat[4], void** out, void* run)
{
    Run* r = static_cast<Run*>(run);
    r->points->push_back({static_cast<float>(coords[0]), static_cast<float>(coords[1])});
    *out = ToData(r->points->size() - 1);
}

void CALLBACK OnError(GLenum, void* run)
{
    static_cast<Run*>(run)->failed = true;
}

}  // namespace

CapTessellator::CapTessellator() : m_tess(gluNewTess())
{
    GLUtesselator* tess = static_cast<GLUtesselator*>(m_tess);
    if (!tess)
        return;
    gluTessCallback(tess, GLU_TESS_BEGIN_DATA, reinterpret_cast<_GLUfuncptr>(&OnBegin));
    gluTessCallback(tess, GLU_TESS_EDGE_FLAG_DATA, reinterpret_cast<_GLUfuncptr>(&OnEdgeFlag));
    gluTessCallback(tess, GLU_TESS_VERTEX_DATA, reinterpret_cast<_GLUfuncptr>(&OnVertex));
    gluTessCallback(tess, GLU_TESS_COMBINE_DATA, reinterpret_cast<_GLUfuncptr>(&OnCombine));
    gluTessCallback(tess, GLU_TESS_ERROR_DATA, reinterpret_cast<_GLUfuncptr>(&OnError));
    // TrueType fills by non-zero winding; holes run against their outer contour.
    gluTessProperty(tess, GLU_TESS_WINDING_RULE, GLU_TESS_WINDING_NONZERO);
    gluTessNormal(tess, 0.0, 0.0, 1.0);
}

CapTessellator::~CapTessellator()
{
    if (m_tess)
        gluDeleteTess(static_cast<GLUtesselator*>(m_tess));
}

bool CapTessellator::Tessellate(const std::vector<GlyphContour>& contours, std::vector<CapPoint>* points,
                                std::vector<uint32_t>* triangles)
{
    GLUtesselator* tess = static_cast<GLUtesselator*>(m_tess);
    points->clear();
    triangles->clear();
    if (!tess)
        return false;

    Run run{points, triangles, false};
    gluTessBeginPolygon(tess, &run);
    for (const GlyphContour& contour : contours) {
        gluTessBeginContour(tess);
        for (const OutlinePoint& p : contour.points) {
            points->push_back({p.x, p.y});
            GLdouble coords[3] = {p.x, p.y, 0.0};
            gluTessVertex(tess, coords, ToData(points->size() - 1));
        }
        gluTessEndContour(tess);
    }
    gluTessEndPolygon(tess);

    if (run.failed || triangles->size() % 3 != 0) {
        triangles->clear();
        return false;
    }
    // GLU's own turning follows the winding of each region; make every triangle face +z.
    for (size_t t = 0; t < triangles->size(); t += 3) {
        const CapPoint& a = (*points)[(*triangles)[t]];
        const CapPoint& b = (*points)[(*triangles)[t + 1]];
        const CapPoint& c = (*points)[(*triangles)[t + 2]];
        const double area = (double(b.x) - a.x) * (double(c.y) - a.y) - (double(b.y) - a.y) * (double(c.x) - a.x);
        if (area < 0.0) {
            const uint32_t swap = (*triangles)[t + 1];
            (*triangles)[t + 1] = (*triangles)[t + 2];
            (*triangles)[t + 2] = swap;
        }
    }
    return true;
}
