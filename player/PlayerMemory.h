#pragma once

// Every allocation the player makes goes through here, so that tests can make
// any one of them fail and check that nothing leaks and nothing crashes.

#include <cstddef>

// Zero-filled memory, or null.
void* PlayerAllocZeroed(size_t bytes);
void PlayerFree(void* memory);

// Tests only: the next `successes` allocations succeed and every later one
// fails; a negative count (the default) never fails.
void SetPlayerAllocationFailure(long successes);
