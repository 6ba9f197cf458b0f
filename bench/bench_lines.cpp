// The line table of a long document: one character and one line break
// typed (and taken out again) at its start, middle and end, wrapped or not,
// beside a plain-array table that moves every later line at once; the
// table's bytes per line after a full measure, beside the plain one's; and
// a measure as a load makes it, beside the full one.
// TESSARY_BENCH_LINES sets the line count (default one million; 24 million
// is the size of a 1 GB document).
#include "editctl/line_table.h"
#include "editctl/text_buffer.h"

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <new>
#include <random>
#include <string>
#include <vector>

namespace {

// Bytes the program holds from operator new, to weigh what a table keeps.
size_t liveBytes = 0;

} // namespace

void* operator new(size_t size) {
    void* block = std::malloc(size ? size : 1);
    if (!block)
        throw std::bad_alloc();
    liveBytes += malloc_usable_size(block);
    return block;
}

void operator delete(void* block) noexcept {
    if (block)
        liveBytes -= malloc_usable_size(block);
    std::free(block);
}

void operator delete(void* block, size_t) noexcept {
    ::operator delete(block);
}

namespace {

int32_t LineCount() {
    const char* lines = std::getenv("TESSARY_BENCH_LINES");
    return lines ? std::atoi(lines) : 1'000'000;
}

// Short lines of letters with a tab or an accented letter now and then;
// with `otherScripts`, the letters Cyrillic, a third of them Han.
std::u16string MakeDocument(bool otherScripts) {
    std::mt19937 rng(3);
    std::u16string t;
    for (int32_t line = LineCount(); line > 0; --line) {
        for (auto n = 4 + rng() % 9; n > 0; --n) {
            const auto r = rng() % 32;
            const char16_t letter = !otherScripts ? static_cast<char16_t>(u'a' + r % 26)
                                    : r % 3 == 0  ? static_cast<char16_t>(0x4E00 + rng() % 0x5000)
                                                  : static_cast<char16_t>(0x0430 + r);
            t += r == 0 ? u'\t' : r == 1 ? u'\u00E9' : letter;
        }
        t += u"\r\n";
    }
    return t;
}

const std::u16string& Document(bool otherScripts = false) {
    if (otherScripts) {
        static const std::u16string text = MakeDocument(true);
        return text;
    }
    static const std::u16string text = MakeDocument(false);
    return text;
}

LineMetrics Metrics(bool wrap) {
    return {wrap ? 80 : 0, 4, 8};
}

// The table as it was kept before: every line's start, shape and row top in
// plain arrays, every later start and top moved on each edit.
struct PlainShape {
    int32_t length, rows, cells;
    bool hasTab, hasComplex;
};
struct PlainTable {
    std::vector<int32_t> starts, tops;
    std::vector<PlainShape> shapes;

    explicit PlainTable(const LineTable& table) {
        for (int32_t i = 0; i < table.size(); ++i) {
            const LineInfo info = table[i];
            starts.push_back(info.start);
            shapes.push_back({info.length, info.rows, 0, info.hasTab, info.hasComplex});
        }
        tops.resize(shapes.size());
    }
    // A line inserted after `line` (when `split`) or a unit added to it; then undone.
    void editAndUndo(int32_t line, bool split, bool wrap) {
        const auto at = static_cast<size_t>(line) + 1;
        if (split) {
            starts.insert(starts.begin() + static_cast<std::ptrdiff_t>(at), starts[at - 1]);
            shapes.insert(shapes.begin() + static_cast<std::ptrdiff_t>(at), shapes[at - 1]);
            tops.insert(tops.begin() + static_cast<std::ptrdiff_t>(at), tops[at - 1]);
        }
        shift(at + split, 1, wrap && split ? 16 : 0);
        if (split) {
            starts.erase(starts.begin() + static_cast<std::ptrdiff_t>(at));
            shapes.erase(shapes.begin() + static_cast<std::ptrdiff_t>(at));
            tops.erase(tops.begin() + static_cast<std::ptrdiff_t>(at));
        }
        shift(at, -1, wrap && split ? -16 : 0);
    }
    void shift(size_t from, int32_t length, int32_t top) {
        for (size_t i = from; i < starts.size(); ++i)
            starts[i] += length;
        if (top != 0)
            for (size_t i = from; i < tops.size(); ++i)
                tops[i] += top;
    }
};

// Arguments: where (0 start, 1 middle, 2 end), what (0 a letter, 1 a line
// break), wrapping (0, 1). The time is one edit and its undo, each laid out,
// where the last edit was.
void BM_TypeAndUndo(benchmark::State& state) {
    const TextBuffer text(Document());
    const bool split = state.range(1) != 0;
    const bool wrap = state.range(2) != 0;
    LineTable table;
    table.rebuild(text, Metrics(wrap));
    const int32_t line = static_cast<int32_t>(state.range(0)) * (table.size() - 1) / 2;
    const int32_t at = state.range(0) == 2 ? static_cast<int32_t>(text.size()) : table[line].start;
    TextBuffer typed(Document());
    typed.insert(static_cast<size_t>(at), split ? u"\n" : u"x");
    TextChange insert, erase;
    insert.add(at, 0, 1);
    erase.add(at, 1, 0);
    // The first edit after the full measure moves the pending shift and the
    // gap from the end to the edit: reported apart, as the cost of a jump.
    auto editAndUndo = [&] {
        const auto begin = std::chrono::steady_clock::now();
        table.update(typed, Metrics(wrap), insert);
        table.update(text, Metrics(wrap), erase);
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    };
    state.counters["first_us"] = editAndUndo() * 1e6;
    for (auto _ : state)
        state.SetIterationTime(editAndUndo());
    PlainTable plain(table);
    std::vector<double> plainTimes;
    for (int i = 0; i < 9; ++i) {
        const auto begin = std::chrono::steady_clock::now();
        plain.editAndUndo(line, split, wrap);
        plainTimes.push_back(
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - begin)
                .count());
    }
    std::nth_element(plainTimes.begin(), plainTimes.begin() + 4, plainTimes.end());
    benchmark::DoNotOptimize(plain.starts.data());
    state.counters["plain_median_us"] = plainTimes[4];
    state.counters["lines"] = table.size();
}

// Measuring the whole document, of Latin or of other scripts, and the
// bytes held per line after it, beside the same lines kept as the plain
// table's arrays grown line by line.
void BM_Rebuild(benchmark::State& state) {
    const TextBuffer text(Document(state.range(1) != 0));
    const bool wrap = state.range(0) != 0;
    double bytesPerLine = 0;
    for (auto _ : state) {
        const size_t before = liveBytes;
        LineTable table;
        table.rebuild(text, Metrics(wrap));
        bytesPerLine = static_cast<double>(liveBytes - before) / table.size();
    }
    LineTable table;
    table.rebuild(text, Metrics(wrap));
    const size_t before = liveBytes;
    PlainTable plain(table);
    state.counters["bytes_per_line"] = bytesPerLine;
    state.counters["plain_bytes_per_line"] = static_cast<double>(liveBytes - before) / table.size();
}

// The same document measured as a load measures it while the file is
// decoded: lines no wider than enough lines measured before them keep a
// bound of their width. Beside BM_Rebuild, which measures every line.
void BM_MeasureAhead(benchmark::State& state) {
    const std::u16string& units = Document(state.range(1) != 0);
    const TextBuffer text(units);
    const auto length = static_cast<int64_t>(units.size());
    const LineMetrics metrics = Metrics(state.range(0) != 0);
    for (auto _ : state) {
        LineTable::Ahead ahead(metrics, length);
        ahead.measure(units.data(), length, length);
        LineTable table;
        table.rebuild(text, std::move(ahead));
        benchmark::DoNotOptimize(table.maxLineWidth());
    }
}

BENCHMARK(BM_TypeAndUndo)
    ->ArgsProduct({{0, 1, 2}, {0, 1}, {0, 1}})
    ->Iterations(20000)
    ->Unit(benchmark::kMicrosecond)
    ->UseManualTime();
// Args: wrapping, other scripts.
BENCHMARK(BM_Rebuild)->ArgsProduct({{0, 1}, {0, 1}})->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_MeasureAhead)
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace

BENCHMARK_MAIN();
