#include "ProgramInfo.h"

#include "SkvVersion.h"

#include <cstring>

std::string VersionLine(const char* name)
{
    std::string line = std::string(name) + " " + SKV_VERSION;
    if (*SKV_COMMIT)
        line += std::string(" (commit ") + SKV_COMMIT + ")";
    return line;
}

void PrintUsage(const char* usage, FILE* out)
{
    const size_t length = std::strlen(usage);
    std::fputs(usage, out);
    if (length > 0 && usage[length - 1] != '\n')
        std::fputc('\n', out);
    std::fputs("  --help, --version  prints this text, or the version\n", out);
}

bool AnswerVersionOrHelp(int argc, const char* const* argv, const char* name, const char* usage, FILE* out)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::fprintf(out, "%s\n", VersionLine(name).c_str());
            return true;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            PrintUsage(usage, out);
            return true;
        }
    }
    return false;
}
