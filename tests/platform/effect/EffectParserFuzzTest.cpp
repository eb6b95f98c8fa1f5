// Truncated and mutated effect sources must be refused or read, never crash or hang: the
// address flavour runs these under AddressSanitizer.
#include "TestEffects.h"
#include "effect/front/EffectCompiler.h"
#include "effect/front/EffectParser.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

const char* const SOURCES[] = {SCENE_EFFECT, DOWN_FILTER_EFFECT};

}  // namespace

TEST(EffectParserFuzz, EveryTruncationIsReadOrRefused)
{
    for (const char* source : SOURCES) {
        const std::string full = source;
        size_t accepted = 0;
        for (size_t n = 0; n < full.size(); ++n) {
            EffectDescription d;
            std::string error;
            if (ParseEffect(full.substr(0, n), d, error)) {
                ++accepted;
            } else {
                EXPECT_FALSE(error.empty()) << "a refusal says why, at length " << n;
            }
        }
        EXPECT_LT(accepted, full.size()) << "most truncations cut a construct in half";
    }
}

TEST(EffectParserFuzz, MutatedSourcesAreReadOrRefused)
{
    std::mt19937 random(1234);
    const char noise[] = "{}()<>[];:=,.\"'/*#\\\n\0x1aZ-+|";
    for (const char* source : SOURCES) {
        const std::string full = source;
        for (int round = 0; round < 3000; ++round) {
            std::string s = full;
            const int edits = 1 + static_cast<int>(random() % 4);
            for (int e = 0; e < edits; ++e) {
                const size_t at = random() % s.size();
                switch (random() % 3) {
                case 0: s[at] = noise[random() % (sizeof noise - 1)]; break;
                case 1: s.erase(at, 1 + random() % 8); break;
                default: s.insert(at, 1, noise[random() % (sizeof noise - 1)]); break;
                }
                if (s.empty())
                    s = "x";
            }
            EffectDescription d;
            std::string error;
            if (!ParseEffect(s, d, error)) {
                EXPECT_FALSE(error.empty());
            }
        }
    }
}

TEST(EffectParserFuzz, MutatedSourcesCompileOrFailWithMessages)
{
    // Through glslang and SPIRV-Cross as well, on fewer rounds: each costs a compile.
    std::mt19937 random(99);
    const std::string full = DOWN_FILTER_EFFECT;
    for (int round = 0; round < 60; ++round) {
        std::string s = full;
        const size_t at = random() % s.size();
        s.erase(at, 1 + random() % 6);
        CompiledEffectSource compiled;
        std::string messages;
        if (!CompileEffectSource(s, {}, compiled, messages)) {
            EXPECT_FALSE(messages.empty()) << "round " << round;
        }
    }
}
