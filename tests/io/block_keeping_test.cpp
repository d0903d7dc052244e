// The allocator settings a run of conversions works under.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <unistd.h>

#include "io/block_keeping.h"
#include "support/memory.h"

using namespace pixora;
using pixora::testing::ResidentMiB;

namespace {

using pixora::testing::kSanitizerAllocator;

// Blocks of a codec buffer's size, written so their pages are resident,
// then freed newest first.
void TakeAndFree(int count, std::size_t size) {
    std::vector<void*> blocks;
    for (int i = 0; i < count; ++i) {
        blocks.push_back(std::malloc(size));
        std::memset(blocks.back(), i + 1, size);
    }
    for (auto it = blocks.rbegin(); it != blocks.rend(); ++it)
        std::free(*it);
}

} // namespace

TEST(KeepBlocksBetweenFiles, KeepsFreedBlocksDuringTheRunAndGivesThemBackAfter) {
    if (kSanitizerAllocator) GTEST_SKIP() << "the sanitizer's allocator takes no such settings";
    const long base = ResidentMiB();
    ASSERT_GT(base, 0);
    {
        const TKeepBlocksBetweenFiles keep;
        TakeAndFree(64, 1 << 20);
        // The next file finds them on the heap instead of as fresh pages.
        EXPECT_GE(ResidentMiB(), base + 48);
    }
    // An editor that ran a batch does not go on holding what it freed.
    EXPECT_LE(ResidentMiB(), base + 16);
}
