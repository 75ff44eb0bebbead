#pragma once

#include <QtGlobal>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace platform {

// A reply of many rows is written into one buffer that grows to megabytes and is freed once the
// reply is sent. The C library gives blocks that big their own mapping and hands freed memory
// back to the system, raising both limits only as it sees bigger blocks freed: until then each
// reply maps, faults in and unmaps its buffer afresh (the first replies of a run took twice the
// time of the later ones). The limits are set once to where they would settle, so freed memory
// up to that size is kept for the next reply. Called at the start of the server.
inline void KeepMemoryForReplies()
{
#if defined(__GLIBC__)
    constexpr int kOwnMappingFrom = 32 * 1024 * 1024;  // the largest the library itself would go to
    mallopt(M_MMAP_THRESHOLD, kOwnMappingFrom);
    mallopt(M_TRIM_THRESHOLD, 2 * kOwnMappingFrom);
#endif
}

}  // namespace platform
