// Bringing pages in ahead of their first write must leave what they hold
// alone, wherever the range starts and ends.
#include "fileio/page_prefault.h"

#include <gtest/gtest.h>

#include <algorithm>
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

namespace {

// Fresh memory none of whose pages is in yet, on either system, and which
// of its pages are in; a null block where the system cannot bring pages in
// ahead at all (an old Linux kernel; Windows without a larger working set).
class FreshBlock {
  public:
    explicit FreshBlock(size_t bytes) : bytes_(bytes) {
#if defined(_WIN32)
        SYSTEM_INFO system = {};
        GetSystemInfo(&system);
        page_ = system.dwPageSize;
        // As much as one request brings in at least.
        if (VirtualLock(Probe(), kPrefaultMinimum) && VirtualUnlock(Probe(), kPrefaultMinimum))
            block_ = static_cast<char*>(
                VirtualAlloc(nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
#elif defined(MADV_POPULATE_WRITE)
        page_ = static_cast<size_t>(sysconf(_SC_PAGESIZE));
        void* block =
            mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (block != MAP_FAILED && madvise(Probe(), page_, MADV_POPULATE_WRITE) == 0)
            block_ = static_cast<char*>(block);
        else if (block != MAP_FAILED)
            munmap(block, bytes);
#endif
    }
    ~FreshBlock() {
#if defined(_WIN32)
        if (block_)
            VirtualFree(block_, 0, MEM_RELEASE);
#else
        if (block_)
            munmap(block_, bytes_);
#endif
    }
    FreshBlock(const FreshBlock&) = delete;
    FreshBlock& operator=(const FreshBlock&) = delete;

    char* get() const {
        return block_;
    }
    std::vector<bool> Resident() const {
        const size_t pages = bytes_ / page_;
        std::vector<bool> in(pages);
#if defined(_WIN32)
        std::vector<PSAPI_WORKING_SET_EX_INFORMATION> info(pages);
        for (size_t i = 0; i < pages; ++i)
            info[i].VirtualAddress = block_ + i * page_;
        if (QueryWorkingSetEx(GetCurrentProcess(), info.data(),
                              static_cast<DWORD>(pages * sizeof info[0])))
            for (size_t i = 0; i < pages; ++i)
                in[i] = info[i].VirtualAttributes.Valid;
#elif defined(MADV_POPULATE_WRITE)
        std::vector<unsigned char> flags(pages);
        if (mincore(block_, bytes_, flags.data()) == 0)
            for (size_t i = 0; i < pages; ++i)
                in[i] = flags[i] & 1;
#endif
        return in;
    }

  private:
    // A page of its own to ask the system with, so that the block stays fresh.
    char* Probe() {
        return probe_.data() + page_ - reinterpret_cast<uintptr_t>(probe_.data()) % page_;
    }

    size_t bytes_;
    size_t page_ = 4096;
    std::vector<char> probe_ = std::vector<char>(kPrefaultMinimum + (size_t{64} << 10));
    char* block_ = nullptr;
};

} // namespace

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
}

TEST(PagePrefault, BringsInEveryWholePageOfTheRange) {
    const size_t bytes = size_t{4} << 20;
    const FreshBlock block(bytes);
    if (!block.get())
        GTEST_SKIP() << "this system cannot bring pages in ahead";
    const std::vector<bool> before = block.Resident();
    ASSERT_EQ(std::count(before.begin(), before.end(), true), 0);
    PrefaultPages(block.get() + 100, bytes - 200);
    const std::vector<bool> after = block.Resident();
    for (size_t i = 1; i + 1 < after.size(); ++i)
        EXPECT_TRUE(after[i]) << "page " << i;
}
