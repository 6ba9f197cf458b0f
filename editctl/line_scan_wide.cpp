#include "editctl/line_scan_wide.h"

#include "editctl/characters.h"
#include "fileio/text_units.h"

#include <algorithm>
#include <atomic>
#include <bit>

#if defined(__x86_64__)
#include <immintrin.h>
#define TESSARY_WIDE_LINE_SCAN 1
#endif

#if TESSARY_WIDE_LINE_SCAN

namespace {

std::atomic<bool> wideWanted{true};

#define WIDE_SCAN_TARGET __attribute__((target("avx512f,avx512bw,avx512vl,popcnt,bmi")))

WIDE_SCAN_TARGET __attribute__((always_inline)) inline __m512i Set(int unit) {
    return _mm512_set1_epi16(static_cast<short>(unit));
}

} // namespace

bool WideLineScanUsable() {
    static const bool present = __builtin_cpu_supports("avx512f") &&
                                __builtin_cpu_supports("avx512bw") &&
                                __builtin_cpu_supports("popcnt") && __builtin_cpu_supports("bmi");
    return present && wideWanted.load(std::memory_order_relaxed);
}

void UseWideLineScan(bool use) {
    wideWanted.store(use, std::memory_order_relaxed);
}

// Breaks, tabs and the other units below kCr + 1 are told apart only in the
// steps that have one; likewise the units from U+0300 on.
WIDE_SCAN_TARGET bool ScanLineWide(const char16_t* text, int64_t length, LineScan& scan) {
    LineScan s = scan;
    for (; s.at + 32 <= length; s.at += 32) {
        // 2 KB ahead, as the narrower scan fetches.
        __builtin_prefetch(text + std::min(s.at + 1024, length));
        const __m512i u = _mm512_loadu_si512(text + s.at);
        const uint32_t low = _mm512_cmplt_epu16_mask(u, Set(kCr + 1));
        const uint32_t high = _mm512_cmpge_epu16_mask(u, Set(kFirstWideOrMark));
        if ((low | high) == 0)
            continue;
        const uint32_t breaks = _mm512_mask_cmpeq_epi16_mask(low, u, Set(kCr)) |
                                _mm512_mask_cmpeq_epi16_mask(low, u, Set(kLf));
        const uint32_t before = breaks != 0 ? (1u << std::countr_zero(breaks)) - 1 : ~0u;
        if ((low & before) != 0)
            s.tabs += std::popcount(_mm512_mask_cmpeq_epi16_mask(low & before, u, Set(kTab)));
        if ((high & before) != 0) {
            const uint32_t surrogates =
                _mm512_cmpeq_epi16_mask(_mm512_and_si512(u, Set(0xF800)), Set(0xD800));
            s.wide += std::popcount(
                _mm512_mask_cmpge_epu16_mask(high & before & ~surrogates, u, Set(kFirstWide)));
            s.hasComplex = true;
        }
        if (breaks != 0) {
            s.at += std::countr_zero(breaks);
            scan = s;
            return true;
        }
    }
    scan = s;
    return false;
}

// Each step of thirty-two units is loaded and sorted once, for all the
// lines ending in it; the last step is loaded only as far as `length`.
WIDE_SCAN_TARGET size_t ScanLinesWide(const char16_t* text, int64_t length, int64_t start,
                                      LineScan* lines, size_t most) {
    size_t found = 0;
    LineScan s{.at = start};
    for (int64_t base = start; base < length && found < most; base += 32) {
        const auto valid =
            static_cast<__mmask32>(length - base >= 32 ? ~0u : (1u << (length - base)) - 1);
        const __m512i u = _mm512_maskz_loadu_epi16(valid, text + base);
        const uint32_t low = _mm512_mask_cmplt_epu16_mask(valid, u, Set(kCr + 1));
        const uint32_t breaks = _mm512_mask_cmpeq_epi16_mask(low, u, Set(kCr)) |
                                _mm512_mask_cmpeq_epi16_mask(low, u, Set(kLf));
        const uint32_t tabs = _mm512_mask_cmpeq_epi16_mask(low, u, Set(kTab));
        const uint32_t complex = _mm512_mask_cmpge_epu16_mask(valid, u, Set(kFirstWideOrMark));
        const uint32_t surrogates =
            _mm512_cmpeq_epi16_mask(_mm512_and_si512(u, Set(0xF800)), Set(0xD800));
        const uint32_t wide =
            _mm512_mask_cmpge_epu16_mask(complex & ~surrogates, u, Set(kFirstWide));
        // The units of this step from the current line's start on.
        uint32_t from = s.at > base ? ~0u << (s.at - base) : ~0u;
        while (found < most) {
            const uint32_t ahead = breaks & from;
            const uint32_t line = ahead != 0 ? from & ((ahead & (0u - ahead)) - 1) : from;
            s.tabs += std::popcount(tabs & line);
            s.wide += std::popcount(wide & line);
            s.hasComplex = s.hasComplex || (complex & line) != 0;
            if (ahead == 0)
                break;
            const int64_t end = base + std::countr_zero(ahead);
            int64_t next = end + 1;
            if (text[end] == kCr) {
                if (next >= length)
                    return found;
                next += text[next] == kLf;
            }
            s.at = end;
            lines[found++] = s;
            s = LineScan{.at = next};
            if (next - base >= 32)
                break;
            from = ~0u << (next - base);
        }
    }
    return found;
}

#else

bool WideLineScanUsable() {
    return false;
}

void UseWideLineScan(bool) {}

bool ScanLineWide(const char16_t*, int64_t, LineScan&) {
    return false;
}

size_t ScanLinesWide(const char16_t*, int64_t, int64_t, LineScan*, size_t) {
    return 0;
}

#endif
