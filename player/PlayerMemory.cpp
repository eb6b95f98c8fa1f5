#include "PlayerMemory.h"

#include <cstdlib>

namespace {

long s_allocationsUntilFailure = -1;

}  // namespace

void* PlayerAllocZeroed(size_t bytes)
{
    if (s_allocationsUntilFailure == 0)
        return nullptr;
    if (s_allocationsUntilFailure > 0)
        --s_allocationsUntilFailure;
    return std::calloc(1, bytes ? bytes : 1);
}

void PlayerFree(void* memory)
{
    std::free(memory);
}

void SetPlayerAllocationFailure(long successes)
{
    s_allocationsUntilFailure = successes < 0 ? -1 : successes;
}
