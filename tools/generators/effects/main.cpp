// gen_effects OUT.store FILE.fx...: translates every pass of each effect file, with the
// macros the intro gives them (none), and writes the store the stand-in embeds. The files
// are stored in the order of their names, so the same files always give the same bytes.
#include "effect/front/StoredEffect.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: gen_effects OUT.store FILE.fx...\n");
        return 2;
    }
    std::vector<std::string> files(argv + 2, argv + argc);
    std::sort(files.begin(), files.end(), [](const std::string& a, const std::string& b) {
        return a.substr(a.find_last_of('/') + 1) < b.substr(b.find_last_of('/') + 1);
    });
    std::vector<StoredEffect> effects;
    for (const std::string& file : files) {
        std::ifstream in(file, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)),
                                std::istreambuf_iterator<char>());
        if (!in.good() && !in.eof()) {
            std::fprintf(stderr, "gen_effects: cannot read %s\n", file.c_str());
            return 1;
        }
        StoredEffect e;
        const std::string source = EffectSourceText(bytes.data(), bytes.size());
        e.key = EffectKey(source, {});
        std::string messages;
        if (!CompileEffectSource(source, {}, e.effect, messages)) {
            std::fprintf(stderr, "%s: %s\n", file.c_str(), messages.c_str());
            return 1;
        }
        effects.push_back(std::move(e));
    }
    const std::string store = WriteEffectStore(effects);
    std::ofstream out(argv[1], std::ios::binary);
    out.write(store.data(), static_cast<std::streamsize>(store.size()));
    if (!out.good()) {
        std::fprintf(stderr, "gen_effects: cannot write %s\n", argv[1]);
        return 1;
    }
    std::printf("%zu effects, %zu bytes\n", effects.size(), store.size());
    return 0;
}
