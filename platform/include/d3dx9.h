// Linux stand-in for the parts of <d3dx9.h> the intro uses, split as the SDK splits it.
#pragma once

#include "windows.h"
#include "d3d9.h"
#include "d3dx9math.h"
#include "d3dx9core.h"
#include "d3dx9mesh.h"
#include "d3dx9shape.h"
#include "d3dx9tex.h"
#include "d3dx9effect.h"
