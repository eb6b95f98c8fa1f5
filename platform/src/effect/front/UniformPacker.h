#pragma once

// Writes parameter values into a stage's uniform block as its layout places them.
#include "ShaderTranslator.h"

#include <cstddef>

// values: the parameter's values row by row, array element after array element, as the
// effect keeps them (count of them). Whatever the member does not hold is left out;
// writes never go past blockSize.
void PackUniformMember(const UniformMember& member, const float* values, size_t count, unsigned char* block,
                       size_t blockSize);
