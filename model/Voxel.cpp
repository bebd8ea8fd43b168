// VoxelList storage management (see Voxel.h). Growth is geometric so that
// building a full model stays linear; capacities stay multiples of the step.
#include "model/Voxel.h"

#include <algorithm>
#include <new>
#include <utility>

void VoxelList::Resize(int n) {
    Reserve(n);
    if (n > m_count) std::memset(m_data.get() + m_count, 0, size_t(n - m_count) * sizeof(Voxel));
    m_count = n;
}

void VoxelList::Reserve(int n) {
    if (n > m_capacity) Reallocate(RoundUp(n));
}

void VoxelList::Assign(const Voxel* voxels, int n) {
    m_count = 0;
    Reserve(n);
    if (n) std::memcpy(m_data.get(), voxels, size_t(n) * sizeof(Voxel));
    m_count = n;
}

void VoxelList::Trim() {
    int capacity = RoundUp(m_count);
    if (capacity != m_capacity) Reallocate(capacity);
}

void VoxelList::Swap(VoxelList& other) noexcept {
    std::swap(m_data, other.m_data);
    std::swap(m_count, other.m_count);
    std::swap(m_capacity, other.m_capacity);
    std::swap(m_growStep, other.m_growStep);
}

void VoxelList::Grow(int needed) { Reallocate(RoundUp(std::max(needed, m_capacity + m_capacity / 2))); }

void VoxelList::Reallocate(int capacity) {
    if (capacity == 0) {
        m_data.reset();
        m_capacity = 0;
        return;
    }
    std::unique_ptr<Voxel[], OMB_LargeFree> data(static_cast<Voxel*>(OMB_AllocLarge(size_t(capacity) * sizeof(Voxel))));
    if (!data) throw std::bad_alloc();
    if (m_count) std::memcpy(data.get(), m_data.get(), size_t(m_count) * sizeof(Voxel));
    m_data = std::move(data);
    m_capacity = capacity;
}
