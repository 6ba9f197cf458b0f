// Find and replace on a 100-million-unit, 2-million-line text: a search that
// scans everything (down, up, with and without case), Replace All of a
// frequent word, and that result applied to an edit control as one step,
// against a baseline that only counts the line breaks.
#include "docs/search.h"
#include "editctl/commands.h"
#include "editctl/editing.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>
#include <string>

namespace {

constexpr int kLines = 2'000'000;
constexpr int kUnitsPerLine = 50;

// Words of two to six letters; every line holds "fox" once.
const std::u16string& Document() {
    static const std::u16string text = [] {
        std::mt19937 rng(5);
        std::u16string t;
        t.reserve(size_t{kLines} * kUnitsPerLine);
        for (int line = 0; line < kLines; ++line) {
            std::u16string row = u"fox";
            while (row.size() < kUnitsPerLine - 8) {
                row += u' ';
                for (auto n = 2 + rng() % 5; n > 0; --n)
                    row += static_cast<char16_t>(u'a' + rng() % 26);
            }
            row.resize(kUnitsPerLine - 2, u' ');
            t += row;
            t += u"\r\n";
        }
        return t;
    }();
    return text;
}

void BM_CountBreaksBaseline(benchmark::State& state) {
    const std::u16string& text = Document();
    for (auto _ : state)
        benchmark::DoNotOptimize(std::count(text.begin(), text.end(), u'\n'));
    state.SetBytesProcessed(state.iterations() * int64_t(text.size() * 2));
}

// A pattern that is nowhere: the whole text is scanned.
void BM_SearchMissing(benchmark::State& state) {
    const std::u16string& text = Document();
    const SearchOptions options{state.range(0) != 0, false};
    const bool down = state.range(1) != 0;
    const int32_t end = static_cast<int32_t>(text.size());
    for (auto _ : state) {
        benchmark::DoNotOptimize(down ? Find_SearchDown(text, u"Fox#", 0, options)
                                      : Find_SearchUp(text, u"Fox#", end, options));
    }
    state.SetBytesProcessed(state.iterations() * int64_t(text.size() * 2));
}

void BM_ReplaceAllFox(benchmark::State& state) {
    const std::u16string& text = Document();
    const SearchOptions options{false, state.range(0) != 0};
    for (auto _ : state) {
        ReplaceAllResult result = Find_ReplaceAll(text, u"FOX", u"wolf", options);
        benchmark::DoNotOptimize(result.count);
    }
    state.SetBytesProcessed(state.iterations() * int64_t(text.size() * 2));
}

int dummyWindow;

// Replace All as the editor does it: the search, then one undoable edit.
void BM_ReplaceAllIntoEditor(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        EditState s;
        AttachWindow(s, &dummyWindow, 1200, 900);
        SetText(s, Document());
        state.ResumeTiming();
        ReplaceAllResult result = Find_ReplaceAll(s.text.view(0), u"fox", u"wolf", {});
        ReplaceRange(s, result.start, result.end, std::move(result.replacement));
        benchmark::DoNotOptimize(s.text.size());
    }
}

BENCHMARK(BM_CountBreaksBaseline)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SearchMissing)
    ->ArgsProduct({{1, 0}, {1, 0}})
    ->ArgNames({"case", "down"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_ReplaceAllFox)
    ->Arg(0)
    ->Arg(1)
    ->ArgName("word")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_ReplaceAllIntoEditor)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

} // namespace

BENCHMARK_MAIN();
