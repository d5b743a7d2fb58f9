#include "platform/largebuffers.h"

#include <cstdlib> // defines __GLIBC__ on the GNU C library

#if defined(__GLIBC__)
#include <malloc.h>
#endif

void GiveLargeBuffersTheirOwnMappings()
{
#if defined(__GLIBC__)
    constexpr int kOwnMappingFrom = 4 * 1024 * 1024;
    mallopt(M_MMAP_THRESHOLD, kOwnMappingFrom);
    // Fixing the limit also fixes how much freed memory the heap keeps for the next blocks,
    // at its small default; kept as the library's own moving limit would keep it, smaller
    // blocks made again and again (a transcript brought to its standard form, the pieces of
    // a saved file) reuse memory already touched.
    mallopt(M_TRIM_THRESHOLD, 2 * kOwnMappingFrom);
#endif
}
