#include "app/memoryreuse.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

void keepFreedMemoryForReuse()
{
#if defined(__GLIBC__)
    // Blocks below 32 MiB come from the heap rather than a mapping of their
    // own, which is unmapped again when freed (a picture of 4000 x 3000 is
    // larger and still gets one) ...
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
    // ... and up to 64 MiB free at the heap's top stay with the program.
    mallopt(M_TRIM_THRESHOLD, 64 * 1024 * 1024);
#endif
}
