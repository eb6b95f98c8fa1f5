#include "EmbeddedResources.h"

#include <windows.h>

#include <cctype>
#include <cstdlib>
#include <cstring>

namespace {

const EmbeddedResource* s_pTable = nullptr;
int s_count = 0;

// A resource name or type as Windows accepts it: a number made with
// MAKEINTRESOURCE, "#" and decimal digits, or a name (compared without case).
struct ResourceKey {
    bool valid;
    bool numeric;
    unsigned number;
    const char* name;
};

ResourceKey ParseKey(LPCSTR key)
{
    if (!key)
        return {false, false, 0, nullptr};
    if (IS_INTRESOURCE(key))
        return {true, true, static_cast<unsigned>(reinterpret_cast<ULONG_PTR>(key)), nullptr};
    if (key[0] == '#') {
        if (!key[1])
            return {false, false, 0, nullptr};
        unsigned long number = 0;
        for (const char* c = key + 1; *c; ++c) {
            if (!std::isdigit(static_cast<unsigned char>(*c)))
                return {false, false, 0, nullptr};
            number = number * 10 + static_cast<unsigned long>(*c - '0');
            if (number > 0xFFFF)
                return {false, false, 0, nullptr};
        }
        return {true, true, static_cast<unsigned>(number), nullptr};
    }
    return {true, false, 0, key};
}

bool SameName(const char* a, const char* b)
{
    for (; *a && *b; ++a, ++b)
        if (std::toupper(static_cast<unsigned char>(*a)) != std::toupper(static_cast<unsigned char>(*b)))
            return false;
    return *a == *b;
}

bool TypeMatches(const EmbeddedResource& resource, const ResourceKey& type)
{
    if (type.numeric)
        return !resource.typeName && resource.typeId == type.number;
    return resource.typeName && SameName(resource.typeName, type.name);
}

bool IsOwnModule(HMODULE module)
{
    return !module || module == GetModuleHandleA(NULL);
}

const EmbeddedResource* AsResource(HRSRC handle)
{
    const EmbeddedResource* resource = reinterpret_cast<const EmbeddedResource*>(handle);
    if (!resource || !s_pTable || resource < s_pTable || resource >= s_pTable + s_count)
        return nullptr;
    return resource;
}

}  // namespace

void RegisterEmbeddedResources(const EmbeddedResource* table, int count)
{
    s_pTable = table;
    s_count = table ? count : 0;
}

HRSRC WINAPI FindResourceA(HMODULE module, LPCSTR name, LPCSTR type)
{
    const ResourceKey nameKey = ParseKey(name);
    const ResourceKey typeKey = ParseKey(type);
    // Every embedded resource has a numeric id; named ones are never found.
    if (!IsOwnModule(module) || !nameKey.valid || !nameKey.numeric || !typeKey.valid)
        return nullptr;
    for (int i = 0; i < s_count; ++i) {
        const EmbeddedResource& resource = s_pTable[i];
        if (resource.id == nameKey.number && TypeMatches(resource, typeKey))
            return reinterpret_cast<HRSRC>(const_cast<EmbeddedResource*>(&resource));
    }
    return nullptr;
}

// The bytes are part of the image, so "loading" hands out their address.
HGLOBAL WINAPI LoadResource(HMODULE module, HRSRC resource)
{
    const EmbeddedResource* found = AsResource(resource);
    if (!IsOwnModule(module) || !found)
        return nullptr;
    return const_cast<unsigned char*>(found->begin);
}

DWORD WINAPI SizeofResource(HMODULE module, HRSRC resource)
{
    const EmbeddedResource* found = AsResource(resource);
    if (!IsOwnModule(module) || !found)
        return 0;
    return static_cast<DWORD>(found->end - found->begin);
}

LPVOID WINAPI LockResource(HGLOBAL resourceData)
{
    return resourceData;
}
