#include "FreeTypeLock.h"

std::mutex& FreeTypeLock()
{
    static std::mutex mutex;
    return mutex;
}
