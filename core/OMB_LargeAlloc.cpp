// Large buffers in transparent huge pages (see OMB_LargeAlloc.h).
#include "core/OMB_LargeAlloc.h"

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace {

constexpr size_t kHugePage = size_t(2) << 20;

}  // namespace

void* OMB_AllocLarge(size_t bytes) {
    if (bytes < kHugePage) return std::malloc(bytes ? bytes : 1);
    // Whole huge pages, so that the last one is not shared with other data.
    const size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
    if (rounded < bytes) return nullptr;
    void* p = std::aligned_alloc(kHugePage, rounded);
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    // Only advice: where the kernel refuses, the memory stays ordinary.
    if (p) madvise(p, rounded, MADV_HUGEPAGE);
#endif
    return p;
}
