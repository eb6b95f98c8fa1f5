#pragma once

#include "EffectDescription.h"

#include <string>

// Reads Direct3D 9 effect source. False, with a message naming the line, on anything it
// cannot read; the description is then incomplete and must not be used.
bool ParseEffect(const std::string& source, EffectDescription& description, std::string& error);
