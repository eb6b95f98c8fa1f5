#include <cstdio>

// The intro's entry point. The window, the device and the demo are not built
// yet; until they are, the program says so and ends.
int main()
{
    std::printf("Skelvane: foundation only (strings, error box, math); the intro itself is not built yet.\n");
    return 0;
}
