#include "DrawingApi.h"

std::string DrawingApiName(IDirect3DDevice9* device)
{
    std::string name = "Direct3D 9";
    IDirect3D9* d3d = nullptr;
    if (device && SUCCEEDED(device->GetDirect3D(&d3d))) {
        D3DADAPTER_IDENTIFIER9 adapter = {};
        if (SUCCEEDED(d3d->GetAdapterIdentifier(D3DADAPTER_DEFAULT, 0, &adapter)))
            name += std::string(" on ") + adapter.Description;
        d3d->Release();
    }
    return name;
}
