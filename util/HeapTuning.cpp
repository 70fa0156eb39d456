#include "HeapTuning.h"

#if __has_include(<malloc.h>)
#include <malloc.h>
#endif

namespace lumora
{

void KeepFreedHeapForReuse()
{
#if defined(M_MMAP_THRESHOLD) && defined(M_TRIM_THRESHOLD)
    // Blocks under 16 MiB come from the heap and stay there; at most 32 MiB of free heap is kept. Only a reply near
    // the 16 MiB cap still goes to the system and back.
    mallopt(M_MMAP_THRESHOLD, 16 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 32 * 1024 * 1024);
#endif
}

} // namespace lumora
