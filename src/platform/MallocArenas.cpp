#include "platform/MallocArenas.h"

#include <cstdlib>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

void LimitMallocArenas()
{
#if defined(__GLIBC__)
    if (const char* own = std::getenv("MALLOC_ARENA_MAX"); own && *own)
        return;
    mallopt(M_ARENA_MAX, 1);
#endif
}
