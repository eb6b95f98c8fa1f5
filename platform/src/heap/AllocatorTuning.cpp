#include "AllocatorTuning.h"

#include <malloc.h>

namespace {

// Blocks up to this size come from the heap, not from a mapping of their own
// (glibc's largest mmap threshold on 64-bit systems).
const int MMAP_THRESHOLD = 32 << 20;
// The heap's free top is given back only beyond this.
const int TRIM_THRESHOLD = 128 << 20;

}  // namespace

void KeepFreedMemoryForReuse()
{
#if defined(__GLIBC__)
    static bool s_bDone = false;
    if (s_bDone)
        return;
    s_bDone = true;
    mallopt(M_MMAP_THRESHOLD, MMAP_THRESHOLD);
    mallopt(M_TRIM_THRESHOLD, TRIM_THRESHOLD);
#endif
}
