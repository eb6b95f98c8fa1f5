// How closely the Windows build's figures must match the Linux stand-in's, and why. Known
// differences are measured and reported but do not fail the check; each says whose it is.
#include "FigureComparison.h"

const std::vector<FigureRule>& CrossCheckRules()
{
    static const std::vector<FigureRule> RULES = {
        // The same single-precision arithmetic in another order rounds at most once apart.
        {"matrix.*", Tolerance::Ulps, 1},

        // Decoding: DXT1's two interpolated colours (1/3 and 2/3 of the way) are rounded
        // differently by each decoder. The uncompressed logo is 586 texels wide: its texel
        // centres are not exact in binary, so a sample may take 1/256 of a neighbour.
        {"texture.101.file.pixels", Tolerance::Pixels, 1},
        {"texture.*.file.pixels", Tolerance::Pixels, 2},
        {"texture.*.file.means", Tolerance::Absolute, 0.1},
        // The loader's default scaling to powers of two: D3DX's documented default filter is
        // the triangle filter (as the stand-in does); wine scales by taking the nearest texel
        // ("Unhandled filter 0x80004" in its log).
        {"texture.*.pixels", Tolerance::Pixels, 3, true},
        {"texture.*.means", Tolerance::Absolute, 0.1, true},

        // Drawing: the DXT1 decoders' difference again, through a bilinear blend. Pixel centres
        // that lie exactly on the quad's diagonal (257 for the full-screen title) can take
        // their texture coordinates from either triangle, which each rasterizer rounds its
        // own way: a few of them may differ more.
        {"device.textured.*.pixels", Tolerance::Pixels, 2, false, 16},
        {"device.corners.at.*", Tolerance::Absolute, 1},

        // Wine's .x loader builds no attribute table (D3DX documents the table as made by
        // attribute-sorting optimisation); the stand-in sorts by attribute as it loads.
        {"mesh.attribute_table", Tolerance::Exact, 0, true},
        {"mesh.material.*", Tolerance::Ulps, 0},
        {"mesh.*", Tolerance::Absolute, 1e-5},

        // GDI names the face a replacement stands for by the requested name.
        {"font.family", Tolerance::Exact, 0, true},
        // Wine's cap triangulation gives up on parts of 'M' and 'W' (its log: "incomplete
        // triangulations of glyph (77)" and "(87)"), so their caps lack triangles.
        {"glyph.4d.areas", Tolerance::Relative, 0.02, true},
        {"glyph.4d.windings", Tolerance::Relative, 0.02, true},
        {"glyph.57.areas", Tolerance::Relative, 0.02, true},
        {"glyph.57.windings", Tolerance::Relative, 0.02, true},
        // Wine leaves the metrics of a glyph without outline (the space) untouched, and gives
        // '|' a black box 21 font units shorter than its own outline.
        {"glyph.20.metrics", Tolerance::Absolute, 0.003, true},
        {"glyph.7c.metrics", Tolerance::Absolute, 0.003, true},
        {"glyph.*.result", Tolerance::Exact, 0},
        {"glyph.*.format", Tolerance::Exact, 0},
        // Two flatteners that both keep within the deviation may split a curve at different
        // points and into different numbers of pieces.
        {"glyph.*.counts", Tolerance::Relative, 0.3},
        {"glyph.*.areas", Tolerance::Relative, 0.02},
        {"glyph.*.windings", Tolerance::Relative, 0.02},
        {"glyph.*.cap_normals", Tolerance::Absolute, 1e-6},
        // Metrics and boxes: GDI hints outlines at the size D3DX selects (the em square as
        // the cell height, about 1830 pixels per em for this font); the stand-in takes them
        // unhinted. Hinting moves points by up to 5 font units of 2048.
        {"glyph.*", Tolerance::Absolute, 0.003},
    };
    return RULES;
}
