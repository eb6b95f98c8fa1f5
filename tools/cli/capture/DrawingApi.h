#pragma once

#include <d3d9.h>

#include <string>

// What the device draws with, as the driver names it, for the bench line: the GL version
// of the stand-in's context on Linux, the adapter behind Direct3D 9 on Windows.
std::string DrawingApiName(IDirect3DDevice9* device);
