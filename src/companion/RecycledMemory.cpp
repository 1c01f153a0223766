#include "companion/RecycledMemory.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <mutex>
#include <new>

#if __has_include(<sanitizer/asan_interface.h>)
#include <sanitizer/asan_interface.h>
#endif
#ifndef ASAN_POISON_MEMORY_REGION
#define ASAN_POISON_MEMORY_REGION(addr, size) ((void)(addr), (void)(size))
#define ASAN_UNPOISON_MEMORY_REGION(addr, size) ((void)(addr), (void)(size))
#endif

namespace isotri::gen::recycled {

namespace {

// A large block starts with its size, so that it is kept whole whatever part of it was asked
// for; the header keeps the rest aligned for any element.
constexpr std::size_t kHeader = alignof(std::max_align_t);

struct Block {
    std::byte* start;  // at the header
    std::size_t size;  // usable, after the header
};

// Set once the store is gone at exit: blocks dropped later, by objects that outlive it, go
// straight back to the heap.
std::atomic<bool> storeGone{false};

class Store {
  public:
    ~Store() {
        Release();
        storeGone = true;
    }

    // The smallest kept block that fits without wasting more than the request itself.
    std::byte* Find(std::size_t bytes) {
        std::lock_guard<std::mutex> lock(mutex_);
        auto best = blocks_.end();
        for (auto it = blocks_.begin(); it != blocks_.end(); ++it) {
            if (it->size >= bytes && it->size <= 2 * bytes &&
                (best == blocks_.end() || it->size < best->size)) {
                best = it;
            }
        }
        if (best == blocks_.end()) {
            return nullptr;
        }
        std::byte* start = best->start;
        ASAN_UNPOISON_MEMORY_REGION(start + kHeader, best->size);
        kept_ -= best->size;
        blocks_.erase(best);
        return start;
    }

    void Keep(std::byte* start, std::size_t size) noexcept {
        std::lock_guard<std::mutex> lock(mutex_);
        // The largest blocks go first when the store is full: they are the likeliest one-offs.
        while (kept_ + size > kKeptLimit && !blocks_.empty()) {
            auto largest =
                std::max_element(blocks_.begin(), blocks_.end(),
                                 [](const Block& a, const Block& b) { return a.size < b.size; });
            if (largest->size < size) {
                break;
            }
            Free(*largest);
            kept_ -= largest->size;
            blocks_.erase(largest);
        }
        if (kept_ + size > kKeptLimit || blocks_.size() == blocks_.capacity()) {
            std::free(start);
            return;
        }
        // A kept block is out of bounds to the sanitizer until it is handed out again.
        ASAN_POISON_MEMORY_REGION(start + kHeader, size);
        blocks_.push_back({start, size});
        kept_ += size;
    }

    void Release() noexcept {
        std::lock_guard<std::mutex> lock(mutex_);
        for (const Block& b : blocks_) {
            Free(b);
        }
        blocks_.clear();
        kept_ = 0;
    }

    std::size_t Kept() noexcept {
        std::lock_guard<std::mutex> lock(mutex_);
        return kept_;
    }

  private:
    static void Free(const Block& b) noexcept {
        ASAN_UNPOISON_MEMORY_REGION(b.start + kHeader, b.size);
        std::free(b.start);
    }

    std::mutex mutex_;
    // Reserved up front, so that keeping a block never allocates.
    std::vector<Block> blocks_ = [] {
        std::vector<Block> v;
        v.reserve(64);
        return v;
    }();
    std::size_t kept_ = 0;
};

Store& TheStore() {
    static Store store;
    return store;
}

}  // namespace

void* Take(std::size_t bytes) {
    if (bytes < kSmallest) {
        return ::operator new(bytes);
    }
    std::byte* start = storeGone ? nullptr : TheStore().Find(bytes);
    if (start == nullptr) {
        if (bytes > static_cast<std::size_t>(-1) - kHeader) {
            throw std::bad_alloc();
        }
        start = static_cast<std::byte*>(std::malloc(kHeader + bytes));
        if (start == nullptr) {
            throw std::bad_alloc();
        }
        *reinterpret_cast<std::size_t*>(start) = bytes;
    }
    return start + kHeader;
}

void Give(void* block, std::size_t bytes) noexcept {
    if (block == nullptr) {
        return;
    }
    if (bytes < kSmallest) {
        ::operator delete(block);
        return;
    }
    std::byte* start = static_cast<std::byte*>(block) - kHeader;
    if (storeGone) {
        std::free(start);
        return;
    }
    TheStore().Keep(start, *reinterpret_cast<std::size_t*>(start));
}

std::size_t Kept() noexcept {
    return storeGone ? 0 : TheStore().Kept();
}

void ReleaseKept() noexcept {
    if (!storeGone) {
        TheStore().Release();
    }
}

}  // namespace isotri::gen::recycled
