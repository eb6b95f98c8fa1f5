// skv_crosscheck: runs the intro's Direct3D 9 and D3DX calls on the intro's own resources and
// prints figures, so that the Windows build (run on a second implementation of Direct3D 9 and
// D3DX) can be compared with the Linux stand-in.
//
//   skv_crosscheck --figures DIR           writes DIR/figures.txt and the read-back images
//   skv_crosscheck --compare REF OTHER     compares two such folders; exit 1 on a difference
#include "FigureComparison.h"
#include "ImageFiles.h"
#include "Sections.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

int WriteFigures(const std::string& dir)
{
    FigureSheet sheet;
    AddMatrixFigures(sheet);
    CrossCheckDevice device;
    if (device.Create()) {
        AddTextureFigures(device, sheet, dir);
        AddMeshFigures(device, sheet);
        AddTextMeshFigures(device, sheet);
        AddDeviceFigures(device, sheet, dir);
    } else {
        sheet.Fail("device.create", "no window or device (is there a display?)");
    }
    device.Destroy();
    if (!WriteTextFile(dir + "/figures.txt", sheet.Text())) {
        std::fprintf(stderr, "cannot write %s/figures.txt\n", dir.c_str());
        return 2;
    }
    for (const std::string& line : sheet.Lines())
        if (line.find(" FAILED ") != std::string::npos)
            std::fprintf(stderr, "%s\n", line.c_str());
    std::printf("%d figures written to %s/figures.txt, %d steps failed\n", static_cast<int>(sheet.Lines().size()),
                dir.c_str(), sheet.Failures());
    return sheet.Failures() == 0 ? 0 : 1;
}

const char* KindName(Tolerance kind)
{
    switch (kind) {
    case Tolerance::Exact: return "exact";
    case Tolerance::Absolute: return "absolute";
    case Tolerance::Relative: return "relative";
    case Tolerance::Ulps: return "ulps";
    default: return "per channel";
    }
}

int Compare(const std::string& referenceDir, const std::string& otherDir)
{
    std::string reference, other;
    if (!ReadTextFile(referenceDir + "/figures.txt", reference) || !ReadTextFile(otherDir + "/figures.txt", other)) {
        std::fprintf(stderr, "cannot read %s/figures.txt or %s/figures.txt\n", referenceDir.c_str(), otherDir.c_str());
        return 2;
    }
    const ImageFolders folders = {referenceDir, otherDir};
    const Comparison c = CompareFigures(ParseFigures(reference), ParseFigures(other), CrossCheckRules(), &folders);
    std::printf("%-32s %-12s %9s %6s %10s\n", "figures", "tolerance", "allowed", "count", "largest");
    for (const RuleUse& use : c.uses)
        std::printf("%-32s %-12s %9g %6d %10g%s\n", use.rule->pattern.c_str(), KindName(use.rule->kind),
                    use.rule->amount, use.figures, use.largest, use.rule->known ? "  (known difference)" : "");
    for (const std::string& line : c.known)
        std::printf("known: %s\n", line.c_str());
    for (const std::string& line : c.differences)
        std::printf("DIFFERS: %s\n", line.c_str());
    std::printf("%d figures compared, %d differ\n", c.compared, static_cast<int>(c.differences.size()));
    return c.differences.empty() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--figures") == 0)
        return WriteFigures(argv[2]);
    if (argc == 4 && std::strcmp(argv[1], "--compare") == 0)
        return Compare(argv[2], argv[3]);
    std::fprintf(stderr, "usage: %s --figures DIR | --compare REFERENCE_DIR OTHER_DIR\n", argv[0]);
    return 2;
}
