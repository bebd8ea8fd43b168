// Voxel and VoxelList: the only store of a model's filled cells. A voxel is
// four bytes x, y, z (z up) and colorIndex (1..255, 0 never stored); files and
// undo snapshots copy these bytes unchanged. The list is unordered: removing a
// voxel moves the last one into its place.
#pragma once

#include <cstdint>
#include <cstring>
#include <memory>

#include "core/OMB_LargeAlloc.h"

// A plain record (no initialisers) so that large lists allocate without
// touching every byte; write Voxel{} for a zero voxel.
struct Voxel {
    uint8_t x;
    uint8_t y;
    uint8_t z;
    uint8_t colorIndex;

    // The little-endian word x | y << 8 | z << 16 | colorIndex << 24.
    uint32_t Word() const {
        return uint32_t(x) | uint32_t(y) << 8 | uint32_t(z) << 16 | uint32_t(colorIndex) << 24;
    }
    static Voxel FromWord(uint32_t w) {
        return Voxel{uint8_t(w), uint8_t(w >> 8), uint8_t(w >> 16), uint8_t(w >> 24)};
    }
    bool SameCell(const Voxel& o) const { return x == o.x && y == o.y && z == o.z; }
    bool operator==(const Voxel& o) const { return Word() == o.Word(); }
    bool operator!=(const Voxel& o) const { return !(*this == o); }
};
static_assert(sizeof(Voxel) == 4, "voxels are stored and copied as 4 bytes");

// Growable array whose capacity is always a multiple of its grow step.
class VoxelList {
public:
    static constexpr int kDefaultGrowStep = 16;

    explicit VoxelList(int growStep = kDefaultGrowStep) : m_growStep(growStep > 0 ? growStep : 1) {}
    VoxelList(const VoxelList& other) : m_growStep(other.m_growStep) { Assign(other.Data(), other.Count()); }
    VoxelList& operator=(const VoxelList& other) {
        if (this != &other) Assign(other.Data(), other.Count());
        return *this;
    }
    VoxelList(VoxelList&& other) noexcept { Swap(other); }
    // Moves the contents; this list keeps its own grow step.
    VoxelList& operator=(VoxelList&& other) noexcept {
        if (this != &other) {
            int step = m_growStep;
            Swap(other);
            m_growStep = step;
            if (m_capacity % m_growStep) Reallocate(RoundUp(m_capacity));
        }
        return *this;
    }

    int Count() const { return m_count; }
    int Capacity() const { return m_capacity; }
    int GrowStep() const { return m_growStep; }
    bool Empty() const { return m_count == 0; }
    Voxel* Data() { return m_data.get(); }
    const Voxel* Data() const { return m_data.get(); }
    Voxel& operator[](int i) { return m_data[i]; }
    const Voxel& operator[](int i) const { return m_data[i]; }
    Voxel* begin() { return m_data.get(); }
    Voxel* end() { return m_data.get() + m_count; }
    const Voxel* begin() const { return m_data.get(); }
    const Voxel* end() const { return m_data.get() + m_count; }

    void Add(const Voxel& v) {
        if (m_count == m_capacity) Grow(m_count + 1);
        m_data[m_count++] = v;
    }
    // Makes room for n more voxels at the end (growing geometrically like
    // Add) and returns the first of them, unset: readers fill them in place
    // and Truncate gives back the ones they did not use.
    Voxel* Extend(int n) {
        if (m_count + n > m_capacity) Grow(m_count + n);
        Voxel* first = m_data.get() + m_count;
        m_count += n;
        return first;
    }
    // The last voxel takes the place of voxel i.
    void RemoveAt(int i) { m_data[i] = m_data[--m_count]; }
    void Clear() { m_count = 0; }
    // Keeps the first n voxels (n <= Count()).
    void Truncate(int n) { m_count = n; }
    // Count becomes n; new voxels are zero.
    void Resize(int n);
    void Reserve(int n);
    void Assign(const Voxel* voxels, int n);
    // Capacity becomes the count rounded up to the grow step.
    void Trim();
    void Swap(VoxelList& other) noexcept;

private:
    int RoundUp(int n) const { return (n + m_growStep - 1) / m_growStep * m_growStep; }
    void Grow(int needed);
    void Reallocate(int capacity);

    std::unique_ptr<Voxel[], OMB_LargeFree> m_data;
    int m_count = 0;
    int m_capacity = 0;
    int m_growStep = kDefaultGrowStep;
};
