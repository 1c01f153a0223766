// Memory for the large tables of one drawing, kept for the next drawing once the tables are
// dropped. Pictures are drawn again and again with tables of the same sizes, and memory given
// back to the system would be faulted in afresh, page by page, each time. The memory is kept for
// the whole process, as a drawing's tables may be made on one thread and dropped on another.
#pragma once

#include <cstddef>
#include <new>
#include <type_traits>
#include <utility>
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
    // Elements made without a value are left as the memory holds them: each table sets what
    // it reads, and a large table zeroed whole would spend the time and the cache on rows of
    // the grid that lie outside the triangle.
    template <class U>
    void construct(U* p) noexcept(std::is_nothrow_default_constructible_v<U>) {
        ::new (static_cast<void*>(p)) U;
    }
    template <class U, class... Args>
    void construct(U* p, Args&&... args) {
        ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }
    template <class U>
    bool operator==(const RecyclingAllocator<U>&) const noexcept {
        return true;
    }
};

template <class T>
using Recycled = std::vector<T, RecyclingAllocator<T>>;

}  // namespace isotri::gen
