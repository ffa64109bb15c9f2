// Memory the program no longer needs goes back to the system at a moment of
// rest: cached drawings of closed windows, and freed blocks even when a block
// still in use sits above them.
#include <gtest/gtest.h>

#include <QPixmap>
#include <QPixmapCache>
#include <fstream>
#include <string>
#include <vector>

#include "support/FreeMemory.h"

namespace {

long residentKb() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    return -1;
}

}  // namespace

TEST(FreeMemory, DrawingsCachedForClosedWindowsAreDropped) {
    QPixmap drawn(64, 64);
    drawn.fill(Qt::yellow);
    QPixmapCache::insert(QStringLiteral("bevel of a closed window"), drawn);
    QPixmap found;
    ASSERT_TRUE(QPixmapCache::find(QStringLiteral("bevel of a closed window"), &found));
    releaseFreeMemory();
    EXPECT_FALSE(QPixmapCache::find(QStringLiteral("bevel of a closed window"), &found));
}

// Under AddressSanitizer another allocator, which keeps freed blocks on
// purpose, stands in for the one this is about.
#ifndef __SANITIZE_ADDRESS__
TEST(FreeMemory, FreedBlocksBelowOneInUseLeaveTheResidentSet) {
    releaseFreeMemory();
    // Blocks small enough to come from the heap, each written so that it is
    // resident; the last stays in use and keeps the heap from shrinking by itself.
    constexpr size_t kBlock = 16 * 1024, kBlocks = 2048;
    std::vector<char*> blocks;
    for (size_t i = 0; i < kBlocks; ++i) {
        blocks.push_back(new char[kBlock]);
        for (size_t b = 0; b < kBlock; b += 512) blocks.back()[b] = char(i + b);
    }
    char* kept = new char[64];
    kept[0] = 1;
    for (char* block : blocks) delete[] block;
    const long before = residentKb();
    releaseFreeMemory();
    const long after = residentKb();
    EXPECT_GT(before - after, long(kBlock * kBlocks / 1024 / 2)) << before << " kB before, " << after << " kB after";
    delete[] kept;
}
#endif
