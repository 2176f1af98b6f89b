#include <gtest/gtest.h>

#include "document/GrowArray.h"
#include "document/Heap.h"

namespace {

struct HeapGuard {
    ~HeapGuard() { heapHooks.reset(); }
};

TEST(GrowArray, InitAndGrowKeepContentsAndZeroTheTail)
{
    GrowArray array;
    auto* block = static_cast<unsigned char*>(array.initArray(3, 2, 4));
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(array.ok, 1);
    EXPECT_EQ(array.capacity, 3);
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(block[i], 0);
    block[11] = 7;
    block = static_cast<unsigned char*>(array.growArray());
    EXPECT_EQ(array.capacity, 5);
    EXPECT_EQ(block[11], 7);
    for (int i = 12; i < 20; ++i)
        EXPECT_EQ(block[i], 0);
}

TEST(GrowArray, FailuresClearOkAndKeepTheBlock)
{
    HeapGuard guard;
    GrowArray array;
    heapHooks.failAt = 1;
    EXPECT_EQ(array.initArray(10, 10, 8), nullptr);
    EXPECT_EQ(array.ok, 0);
    EXPECT_EQ(array.capacity, 0);

    void* block = array.initArray(10, 10, 8);
    ASSERT_NE(block, nullptr);
    heapHooks.failAt = 1;
    EXPECT_EQ(array.growArray(), block);
    EXPECT_EQ(array.ok, 0);
    EXPECT_EQ(array.capacity, 10);
}

TEST(GrowArray, AbsurdSizesFailInsteadOfOverflowing)
{
    GrowArray array;
    array.initArray(1, INT32_MAX, 4);
    array.growArray();
    EXPECT_EQ(array.ok, 0);
    EXPECT_EQ(array.capacity, 1);
}

} // namespace
