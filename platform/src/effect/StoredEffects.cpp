#include "StoredEffects.h"

#include "effect/front/StoredEffect.h"

#include <cstddef>
#include <mutex>
#include <unordered_map>

extern const unsigned char SKV_EFFECT_STORE[];
extern const size_t SKV_EFFECT_STORE_SIZE;

namespace {

struct Store {
    std::vector<StoredEffect> effects;
    std::unordered_map<std::string, size_t> byKey;
};

const Store& EmbeddedStore()
{
    static Store s_store;
    static std::once_flag s_once;
    std::call_once(s_once, [] {
        const std::string bytes(reinterpret_cast<const char*>(SKV_EFFECT_STORE), SKV_EFFECT_STORE_SIZE);
        std::string message;
        // A store that does not read leaves every effect to the translator (or to refusal).
        if (!ReadEffectStore(bytes, s_store.effects, message))
            return;
        for (size_t i = 0; i < s_store.effects.size(); ++i)
            s_store.byKey[s_store.effects[i].key] = i;
    });
    return s_store;
}

}  // namespace

const CompiledEffectSource* FindStoredEffect(const std::string& key)
{
    const Store& store = EmbeddedStore();
    const auto at = store.byKey.find(key);
    return at == store.byKey.end() ? nullptr : &store.effects[at->second].effect;
}
