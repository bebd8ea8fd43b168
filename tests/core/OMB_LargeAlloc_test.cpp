// Large buffers: usable whatever their size, whole huge pages from 2 MiB on,
// and a request that cannot be sized fails as std::allocator does.
#include "core/OMB_LargeAlloc.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(LargeAlloc, BuffersOfEverySizeAndVectorsAreUsable) {
    for (size_t bytes : {size_t(0), size_t(1), size_t(4096), (size_t(2) << 20) - 1, size_t(2) << 20, size_t(5) << 20}) {
        void* p = OMB_AllocLarge(bytes);
        ASSERT_NE(p, nullptr) << bytes;
        EXPECT_TRUE(bytes < (size_t(2) << 20) || reinterpret_cast<uintptr_t>(p) % (size_t(2) << 20) == 0) << bytes;
        std::memset(p, 0xAB, bytes);
        std::free(p);
    }
    // Vectors behave; a request that cannot be sized throws.
    OMB_LargeVector<uint32_t> grid(size_t(126) * 126 * 126, 7);
    EXPECT_TRUE(grid.front() == 7 && grid.back() == 7);
    EXPECT_THROW(OMB_LargeAllocator<uint64_t>().allocate(SIZE_MAX / 4), std::bad_alloc);
}
