#pragma once

#include "XmWriter.h"

// Where the looping body starts: the last pattern jumps back here with B0A.
const int BODY_POSITION = 10;

// Composes the whole tune into the module: header values, instruments,
// patterns and the order list.
void ComposeTune(XmModule& module);
