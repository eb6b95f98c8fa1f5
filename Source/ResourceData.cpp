#include "ResourceData.h"

#include "CString.h"

#include <windows.h>

const void* LoadResourceData(int id, const char* type, int* size)
{
    // "#103" is the string form of the numeric id 103.
    char name[260];
    name[0] = 0;
    FormatString(name, "#%d", id);

    HMODULE module = GetModuleHandleA(NULL);
    HRSRC resource = FindResourceA(module, name, type);
    if (!resource)
        return nullptr;
    HGLOBAL loaded = LoadResource(module, resource);
    if (!loaded)
        return nullptr;
    if (size)
        *size = static_cast<int>(SizeofResource(module, resource));
    return LockResource(loaded);
}
