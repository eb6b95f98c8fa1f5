// Linux stand-in for <unknwn.h>: the reference-counted base of every Direct3D and D3DX object.
#pragma once

#include "windows.h"

struct IUnknown {
    virtual ULONG WINAPI AddRef() = 0;
    virtual ULONG WINAPI Release() = 0;

protected:
    virtual ~IUnknown() {}
};
typedef IUnknown* LPUNKNOWN;
