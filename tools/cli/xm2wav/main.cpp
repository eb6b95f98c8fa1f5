#include "Xm2Wav.h"

int main(int argc, char** argv)
{
    return RunXm2Wav(argc, argv, stdout, stderr);
}
