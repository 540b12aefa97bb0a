// SPDX-License-Identifier: MIT
// Reading is bounded whatever the file: the heap the reader holds and the
// bytes it reads do not grow with the file's size.
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <new>
#include <variant>

#include <malloc.h>

#include <gtest/gtest.h>

#include "data/material.h"
#include "hostile_cases.h"
#include "test_support.h"

namespace {

std::atomic<std::size_t> liveBytes{0};
std::atomic<std::size_t> peakBytes{0};

void *counted(std::size_t size)
{
    void *p = std::malloc(size ? size : 1);
    if (!p)
        throw std::bad_alloc();
    const std::size_t live = liveBytes += malloc_usable_size(p);
    std::size_t peak = peakBytes;
    while (live > peak && !peakBytes.compare_exchange_weak(peak, live)) {
    }
    return p;
}

void uncounted(void *p) noexcept
{
    if (p) {
        liveBytes -= malloc_usable_size(p);
        std::free(p);
    }
}

} // namespace

void *operator new(std::size_t size)
{
    return counted(size);
}
void *operator new[](std::size_t size)
{
    return counted(size);
}
void operator delete(void *p) noexcept
{
    uncounted(p);
}
void operator delete[](void *p) noexcept
{
    uncounted(p);
}
void operator delete(void *p, std::size_t) noexcept
{
    uncounted(p);
}
void operator delete[](void *p, std::size_t) noexcept
{
    uncounted(p);
}

namespace quenrow {
namespace {

namespace fs = std::filesystem;
using test::TempDirectory;

// Bytes this process has read through read(2) so far; none if not available.
std::optional<unsigned long long> bytesRead()
{
    std::ifstream io("/proc/self/io");
    std::string key;
    unsigned long long value = 0;
    while (io >> key >> value)
        if (key == "rchar:")
            return value;
    return std::nullopt;
}

struct Cost {
    std::size_t heap = 0;                   // peak above what was live before
    std::optional<unsigned long long> read; // bytes read
};

template <class F>
Cost measure(F &&read)
{
    const auto readBefore = bytesRead();
    const std::size_t liveBefore = liveBytes;
    peakBytes = liveBefore;
    read();
    Cost cost;
    cost.heap = peakBytes - liveBefore;
    const auto readAfter = bytesRead();
    if (readBefore && readAfter)
        cost.read = *readAfter - *readBefore;
    return cost;
}

// Whatever the file, a preview and a load together hold no more than this: a
// load keeps the bytes it reads for its second pass, at most 139 lines of
// the longest length allowed.
constexpr std::size_t kHeapBound = 139 * (kMaxLineLength + 2) + 512 * 1024;
// Each of the three reads stops within 138 lines of kMaxLineLength.
constexpr unsigned long long kReadBound = 3ull * 138 * (kMaxLineLength + 2 + 16 * 1024);

// The largest file that still loads: every line as long as allowed, and 50 MB
// of junk after the table that is never read.
void writeLargestLoadable(const fs::path &file)
{
    const std::string base = test::readBytes(test::bundledDataDirectory() / test::kHostileBase);
    const auto lines = test::splitLines(base);
    std::ofstream out(file, std::ios::binary);
    // Blanks inserted at `at` stretch a line to the bound.
    auto widened = [](std::string line, std::size_t at) {
        line.insert(at, kMaxLineLength - line.size(), ' ');
        return line;
    };
    out << std::string(kMaxLineLength, 'T') << "\r\n";
    out << std::string(kMaxLineLength, 'N') << "\r\n";
    out << widened(lines[2], lines[2].size()) << "\r\n";
    for (int i = 3; i < 6; ++i)
        out << std::string(kMaxLineLength, 'H') << "\r\n";
    for (std::size_t i = 6; i < 138; ++i)
        out << widened(lines[i], lines[i].find(' ')) << "\r\n";
    const std::string junk(1 << 20, 'J');
    for (int i = 0; i < 50; ++i)
        out << junk;
}

struct BoundCase {
    const char *name;
    bool loads;
};

TEST(BoundedReading, HeapAndBytesReadStaySmallWhateverTheFile)
{
    TempDirectory dir;
    for (const auto &made : test::madeHostileCases())
        made.make(dir.path());
    writeLargestLoadable(dir.path() / "largest-loadable.ps");

    const BoundCase cases[] = {
        {"huge-first-line.ps", false},    {"huge-name-line.ps", false},
        {"huge-blank-density.ps", false}, {"title-over-limit.ps", false},
        {"largest-loadable.ps", true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path file = dir.path() / c.name;
        bool loaded = false;
        const Cost cost = measure([&] {
            const auto header = readMaterialHeader(file);
            const auto result = loadMaterial(file);
            loaded = std::holds_alternative<MaterialPtr>(result);
            if (!c.loads && !loaded) {
                EXPECT_EQ(std::get<ReadError>(result).cause, ReadFailure::LineTooLong);
                EXPECT_NE(describe(std::get<ReadError>(result)).find("longer than 65536"),
                          std::string::npos);
            }
        });
        EXPECT_EQ(loaded, c.loads);
        std::printf("%-24s file %10ju bytes, heap peak %7zu bytes, read %s bytes\n", c.name,
                    fs::file_size(file), cost.heap,
                    cost.read ? std::to_string(*cost.read).c_str() : "(unknown)");
        EXPECT_LT(cost.heap, kHeapBound);
        if (cost.read) {
            EXPECT_LT(*cost.read, kReadBound);
        }
    }
}

} // namespace
} // namespace quenrow
