#pragma once

// The constant values of effect source: parameter and annotation initializers and the
// arithmetic on numbers they may hold, evaluated as the parser reads them.

#include "EffectTokenCursor.h"

#include <string>
#include <vector>

// An array parameter, and so an initializer, holds at most this many values.
const int MAX_PARAMETER_VALUES = 4096;

// { a, b, {c, d} }, float4(a, b, c, d), or one constant expression (numbers, true and
// false, unary + and -, + - * / and brackets), flattened in order into values.
bool ParseConstantInitializer(EffectTokenCursor& tokens, std::vector<float>& values);

// The text of a string literal, quotes taken off and \n, \t and \<c> escapes read.
std::string UnquoteString(const std::string& literal);
