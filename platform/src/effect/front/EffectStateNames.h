#pragma once

// The names a Direct3D 9 effect uses for render states, sampler states and their values.
// Names compare without regard to case, as the effect compiler reads them.
#include <d3d9types.h>

#include <string>

// The render state of a pass assignment, or false for a name that is not one.
bool FindRenderState(const std::string& name, D3DRENDERSTATETYPE& state);
// The value of an assignment to that state: an enumerant of the state's kind, TRUE or
// FALSE, or a decimal or hexadecimal number. False when the value does
// not fit the state.
bool FindRenderStateValue(D3DRENDERSTATETYPE state, const std::string& word, DWORD& value);

bool FindSamplerState(const std::string& name, D3DSAMPLERSTATETYPE& state);
bool FindSamplerStateValue(D3DSAMPLERSTATETYPE state, const std::string& word, DWORD& value);

bool EqualsIgnoringCase(const std::string& a, const char* b);
