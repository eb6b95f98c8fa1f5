// Composes the intro's music and writes it as an XM module:
// gen_music <output .xm file>.
#include "Arrangement.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: gen_music <output.xm>\n");
        return 2;
    }
    XmModule module;
    ComposeTune(module);
    if (!WriteXmFile(module, argv[1])) {
        std::fprintf(stderr, "gen_music: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
