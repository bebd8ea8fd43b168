// OMB_LargeAlloc: memory for the buffers that grow with the model box (the
// voxel lists, the lookup grid, the dense grids of the commands and mesh
// writers: megabytes each). Fresh memory is paid for on first touch, one
// page fault per 4 KiB page; on virtual machines a fault costs some 15 us,
// so a fresh 8 MB buffer costs tens of milliseconds before any work is
// done. Buffers of 2 MiB and more are therefore aligned to 2 MiB and offered
// to the kernel as transparent huge pages (one fault per 2 MiB) where the
// kernel allows it; elsewhere they are ordinary memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <vector>

// Uninitialised memory for `bytes` bytes, freed with std::free; null when
// out of memory.
void* OMB_AllocLarge(size_t bytes);

// A standard allocator over OMB_AllocLarge; it throws std::bad_alloc when
// out of memory, as std::allocator does.
template <typename T>
struct OMB_LargeAllocator {
    using value_type = T;
    OMB_LargeAllocator() = default;
    template <typename U>
    OMB_LargeAllocator(const OMB_LargeAllocator<U>&) {}

    T* allocate(size_t n) {
        void* p = n <= SIZE_MAX / sizeof(T) ? OMB_AllocLarge(n * sizeof(T)) : nullptr;
        if (!p) throw std::bad_alloc();
        return static_cast<T*>(p);
    }
    void deallocate(T* p, size_t) { std::free(p); }
    template <typename U>
    bool operator==(const OMB_LargeAllocator<U>&) const {
        return true;
    }
    template <typename U>
    bool operator!=(const OMB_LargeAllocator<U>&) const {
        return false;
    }
};

template <typename T>
using OMB_LargeVector = std::vector<T, OMB_LargeAllocator<T>>;

// Deleter of a unique_ptr over OMB_AllocLarge memory.
struct OMB_LargeFree {
    void operator()(void* p) const { std::free(p); }
};
