#pragma once

#include "ResourceScript.h"

// Checks that LoadResourceData finds a scripted resource under its id and type with
// exactly the bytes of its file (RCDATA is the predefined numeric type 10, not a name).
void ExpectEmbedded(const ScriptedResource& resource);
