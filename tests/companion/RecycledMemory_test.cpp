#include "companion/RecycledMemory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <thread>

namespace isotri::gen {
namespace {

// Each case starts from a store that keeps nothing.
class RecycledMemory : public ::testing::Test {
  protected:
    void SetUp() override { recycled::ReleaseKept(); }
    void TearDown() override { recycled::ReleaseKept(); }
};

TEST_F(RecycledMemory, ALargeBlockDroppedIsHandedToTheNextTableOfItsSize) {
    const std::size_t count = 100'000;
    const void* first = nullptr;
    {
        Recycled<double> table(count, 1.0);
        first = table.data();
    }
    EXPECT_GE(recycled::Kept(), count * sizeof(double));
    Recycled<double> again(count, 2.0);
    EXPECT_EQ(again.data(), first);
    EXPECT_EQ(again[count - 1], 2.0);
    EXPECT_EQ(recycled::Kept(), 0u);
}

TEST_F(RecycledMemory, BlocksAreNotHandedToRequestsMuchSmallerOrLarger) {
    const void* large = nullptr;
    {
        Recycled<char> table(1'000'000);
        large = table.data();
    }
    Recycled<char> small(100'000);
    EXPECT_NE(static_cast<const void*>(small.data()), large);
    Recycled<char> larger(1'000'001);
    EXPECT_NE(static_cast<const void*>(larger.data()), large);
}

TEST_F(RecycledMemory, SmallTablesKeepNothingAndTablesDroppedOnAnotherThreadServeThisOne) {
    { Recycled<int> small(16); }
    EXPECT_EQ(recycled::Kept(), 0u);
    const void* there = nullptr;
    std::thread([&] {
        Recycled<int> table(1'000'000);
        there = table.data();
    }).join();
    EXPECT_GE(recycled::Kept(), 4'000'000u);
    Recycled<int> here(1'000'000);
    EXPECT_EQ(static_cast<const void*>(here.data()), there);
}

TEST_F(RecycledMemory, WhatIsKeptStaysWithinItsLimit) {
    std::size_t most = 0;
    // Tables of ever new sizes, each dropped: none is asked for again.
    for (std::size_t bytes = 1 << 20; bytes <= std::size_t(48) << 20; bytes += 3 << 20) {
        {
            Recycled<std::uint8_t> table;
            table.reserve(bytes);  // untouched: the pages are never faulted in
        }
        most = std::max(most, recycled::Kept());
    }
    EXPECT_LE(most, recycled::kKeptLimit);
    EXPECT_GT(most, 0u);
}

// Plain numbers made without a value keep what the memory holds, which the tables rely on
// filling; anything with a value of its own, given or by its constructor, still gets it.
TEST_F(RecycledMemory, ElementsWithAValueGetIt) {
    struct Pair {
        int a = -1, b = -1;
    };
    {
        Recycled<Pair> pairs;
        pairs.resize(100'000);
        pairs.resize(150'000);
        EXPECT_EQ(pairs.front().a, -1);
        EXPECT_EQ(pairs.back().b, -1);
    }
    Recycled<int> given(100'000, 7);
    EXPECT_EQ(given.front(), 7);
    EXPECT_EQ(given.back(), 7);
    given.assign(given.size(), 0);
    EXPECT_EQ(given[50'000], 0);
}

}  // namespace
}  // namespace isotri::gen
