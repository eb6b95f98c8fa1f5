#include "CGfxD3D.h"
#include <gtest/gtest.h>
TEST(InitFailure, Placeholder) {}
