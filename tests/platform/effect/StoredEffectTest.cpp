// The stored form of translated effects: what is written reads back as it was, and a
// damaged store is refused, never half read.
#include "TestEffects.h"
#include "effect/front/StoredEffect.h"

#include <gtest/gtest.h>

namespace {

std::vector<StoredEffect> TranslatedSceneEffect()
{
    StoredEffect e;
    e.key = EffectKey(SCENE_EFFECT, {{"LIGHTS", "2"}});
    std::string messages;
    EXPECT_TRUE(CompileEffectSource(SCENE_EFFECT, {}, e.effect, messages)) << messages;
    return {e};
}

}  // namespace

TEST(StoredEffect, ReadsBackWhatWasWritten)
{
    const std::vector<StoredEffect> written = TranslatedSceneEffect();
    const std::string bytes = WriteEffectStore(written);
    std::vector<StoredEffect> read;
    std::string message;
    ASSERT_TRUE(ReadEffectStore(bytes, read, message)) << message;
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(read[0].key, written[0].key);
    const CompiledEffectSource& a = written[0].effect;
    const CompiledEffectSource& b = read[0].effect;
    ASSERT_EQ(b.shaders.size(), a.shaders.size());
    for (size_t i = 0; i < a.shaders.size(); ++i) {
        EXPECT_EQ(b.shaders[i].glsl, a.shaders[i].glsl);
        EXPECT_EQ(b.shaderStages[i], a.shaderStages[i]);
        EXPECT_EQ(b.shaders[i].uniforms.size, a.shaders[i].uniforms.size);
        EXPECT_EQ(b.shaders[i].uniforms.members.size(), a.shaders[i].uniforms.members.size());
    }
    ASSERT_EQ(b.description.parameters.size(), a.description.parameters.size());
    for (size_t i = 0; i < a.description.parameters.size(); ++i)
        EXPECT_EQ(b.description.parameters[i].defaults, a.description.parameters[i].defaults);
    EXPECT_EQ(b.passes.size(), a.passes.size());
    // Everything the store holds comes back: writing what was read gives the same bytes.
    EXPECT_EQ(WriteEffectStore(read), bytes);
}

TEST(StoredEffect, KeyTakesTheSourceAsReadAndItsMacros)
{
    EXPECT_EQ(EffectSourceText("\xEF\xBB\xBF"
                               "float f;\0\0",
                               13),
              "float f;");
    EXPECT_NE(EffectKey("float f;", {}), EffectKey("float f;", {{"A", "1"}}));
    EXPECT_NE(EffectKey("float f;", {{"A", "1"}}), EffectKey("float f;", {{"A", "2"}}));
    const std::string refusal = UntranslatedEffectMessage("float f;", {});
    EXPECT_EQ(refusal.rfind("effect(1,1): error X", 0), 0u) << refusal;
    EXPECT_EQ(refusal, UntranslatedEffectMessage("float f;", {})) << "the same effect is named alike";
    EXPECT_NE(refusal, UntranslatedEffectMessage("float g;", {}));
}

TEST(StoredEffect, DamagedStoresAreRefused)
{
    const std::string bytes = WriteEffectStore(TranslatedSceneEffect());
    std::vector<StoredEffect> read;
    std::string message;
    for (size_t length = 0; length < bytes.size(); length += 7) {
        EXPECT_FALSE(ReadEffectStore(bytes.substr(0, length), read, message)) << length;
        EXPECT_TRUE(read.empty());
    }
    EXPECT_FALSE(ReadEffectStore(bytes + "x", read, message));
    std::string hugeCount = bytes;
    hugeCount.replace(hugeCount.find("\n1 \n") + 1, 1, "60000");
    EXPECT_FALSE(ReadEffectStore(hugeCount, read, message));
    EXPECT_FALSE(ReadEffectStore("skelvane-effect-store 2\n0 \n", read, message));
    EXPECT_EQ(message, "not an effect store");
}
