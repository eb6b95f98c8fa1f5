#include "Dxt1Decode.h"

#include <squish.h>

void DecodeDxt1Image(const unsigned char* blocks, int width, int height, unsigned char* rgba)
{
    squish::DecompressImage(rgba, width, height, blocks, squish::kDxt1);
}
