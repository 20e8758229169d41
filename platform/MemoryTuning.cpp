#include "platform/MemoryTuning.h"

#include <cstdlib> // names the C library (__GLIBC__)

#if defined(__GLIBC__)
#include <malloc.h>
#endif

void KeepTransferBuffersInProcess()
{
#if defined(__GLIBC__)
    constexpr int kLimitBytes = 4 * 1024 * 1024;
    // Blocks below this size come from the heap, not from maps of their own.
    mallopt(M_MMAP_THRESHOLD, kLimitBytes);
    // Free memory at the top of a heap is given back only beyond this size.
    mallopt(M_TRIM_THRESHOLD, kLimitBytes);
#endif
}
