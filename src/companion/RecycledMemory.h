// Memory for the large tables of one drawing, kept for the next drawing once the tables are
// dropped. Pictures are drawn again and again with tables of the same sizes, and memory given
// back to the system would be faulted in afresh, page by page, each time. The memory is kept for
// the whole process, as a drawing's tables may be made on one thread and dropped on another.
#pragma once

#include <cstddef>
#include <vector>

namespace isotri::gen {

namespace recycled {

// Blocks under this size come from the heap as usual.
constexpr std::size_t kSmallest = 32 * 1024;
// What is kept at most between drawings.
constexpr std::size_t kKeptLimit = 64 * 1024 * 1024;

void* Take(std::size_t bytes);
void Give(void* block, std::size_t bytes) noexcept;
// Bytes kept now.
std::size_t Kept() noexcept;
// Gives every kept block back to the heap.
void ReleaseKept() noexcept;

}  // namespace recycled

template <class T>
struct RecyclingAllocator {
    using value_type = T;
    RecyclingAllocator() = default;
    template <class U>
    RecyclingAllocator(const RecyclingAllocator<U>&) noexcept {}
    T* allocate(std::size_t n) { return static_cast<T*>(recycled::Take(n * sizeof(T))); }
    void deallocate(T* p, std::size_t n) noexcept { recycled::Give(p, n * sizeof(T)); }
    template <class U>
    bool operator==(const RecyclingAllocator<U>&) const noexcept {
        return true;
    }
};

template <class T>
using Recycled = std::vector<T, RecyclingAllocator<T>>;

}  // namespace isotri::gen
