// Bringing pages in ahead of their first write must leave what they hold
// alone, wherever the range starts and ends.
#include "fileio/page_prefault.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#if defined(_WIN32)
#include <windows.h>
#include <psapi.h>
#else
#include <sys/mman.h>
#include <unistd.h>
#endif

TEST(PagePrefault, LeavesContentsAsTheyAre) {
    std::vector<uint32_t> words(size_t{3} << 18);
    for (size_t i = 0; i < words.size(); ++i)
        words[i] = static_cast<uint32_t>(i * 2654435761u);
    const std::vector<uint32_t> before = words;
    PrefaultPages(reinterpret_cast<char*>(words.data()) + 3, words.size() * sizeof(uint32_t) - 5);
    EXPECT_EQ(words, before);

    std::u16string text(u"abc");
    text.reserve(size_t{1} << 20);
    PrefaultSpare(text);
    EXPECT_EQ(text, u"abc");

    // Brought in on another thread while this one writes the range.
    std::vector<uint32_t> filled(before.size());
    {
        const PrefaultAlongside alongside(filled.data(), filled.size() * sizeof(uint32_t));
        for (size_t i = 0; i < filled.size(); ++i)
            filled[i] = static_cast<uint32_t>(i * 2654435761u);
    }
    EXPECT_TRUE(std::equal(filled.begin(), filled.end(), before.begin()));
}

#if !defined(_WIN32) && defined(MADV_POPULATE_WRITE)
TEST(PagePrefault, BringsInEveryWholePageOfTheRange) {
    const auto page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    const size_t bytes = size_t{4} << 20;
    void* block = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(block, MAP_FAILED);
    // Kernels before 5.14 lack the request; there nothing comes in ahead.
    if (madvise(block, page, MADV_POPULATE_WRITE) != 0) {
        munmap(block, bytes);
        GTEST_SKIP() << "this kernel cannot populate pages ahead";
    }
    auto* first = static_cast<char*>(block);
    PrefaultPages(first + 100, bytes - 200);
    std::vector<unsigned char> resident(bytes / page);
    ASSERT_EQ(mincore(block, bytes, resident.data()), 0);
    for (size_t i = 1; i + 1 < resident.size(); ++i)
        EXPECT_TRUE(resident[i] & 1) << "page " << i;
    munmap(block, bytes);
}
#endif

#if defined(_WIN32)
// Under Wine and on Windows alike: the pages are in once they are in the
// working set. Windows grants little to lock unless asked for a larger
// working set; there nothing comes in ahead.
TEST(PagePrefault, BringsInEveryWholePageOfTheRangeOnWindows) {
    std::vector<char> probe(kPrefaultMinimum);
    if (!VirtualLock(probe.data(), probe.size()) || !VirtualUnlock(probe.data(), probe.size()))
        GTEST_SKIP() << "this system locks too little to bring pages in ahead";
    SYSTEM_INFO system = {};
    GetSystemInfo(&system);
    const size_t page = system.dwPageSize;
    const size_t bytes = size_t{4} << 20;
    auto* block =
        static_cast<char*>(VirtualAlloc(nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    ASSERT_NE(block, nullptr);
    std::vector<PSAPI_WORKING_SET_EX_INFORMATION> pages(bytes / page);
    const auto inner = [&] { // the pages wholly inside the range
        for (size_t i = 0; i < pages.size(); ++i)
            pages[i].VirtualAddress = block + i * page;
        EXPECT_TRUE(QueryWorkingSetEx(GetCurrentProcess(), pages.data(),
                                      static_cast<DWORD>(pages.size() * sizeof pages[0])));
        return std::count_if(pages.begin() + 1, pages.end() - 1,
                             [](const auto& p) { return p.VirtualAttributes.Valid != 0; });
    };
    EXPECT_EQ(inner(), 0);
    PrefaultPages(block + 100, bytes - 200);
    EXPECT_EQ(inner(), static_cast<std::ptrdiff_t>(pages.size() - 2));
    VirtualFree(block, 0, MEM_RELEASE);
}
#endif
