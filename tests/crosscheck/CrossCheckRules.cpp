// How closely the Windows build's figures must match the Linux stand-in's, and why.
#include "FigureComparison.h"

const std::vector<FigureRule>& CrossCheckRules()
{
    static const std::vector<FigureRule> RULES = {
        {"matrix.*", Tolerance::Ulps, 1},
        {"texture.*.pixels", Tolerance::Pixels, 2},
        {"texture.*.means", Tolerance::Absolute, 1},
        {"device.textured.*.pixels", Tolerance::Pixels, 2},
        {"device.corners.at.*", Tolerance::Absolute, 2},
        {"mesh.material.*", Tolerance::Ulps, 1},
        {"mesh.*", Tolerance::Absolute, 1e-5},
        {"glyph.*.result", Tolerance::Exact, 0},
        {"glyph.*.format", Tolerance::Exact, 0},
        {"glyph.*.counts", Tolerance::Report, 0},
        {"glyph.*", Tolerance::Absolute, 0.01},
    };
    return RULES;
}
