// Find and replace on a generated document of TESSARY_BENCH_LINES lines
// (500,000 unless set; 24,000,000 make about a billion units) of about 44
// units: words, now and then a tab or an accented letter, "fox" on 5 lines
// of every 12 (10 million matches at 24 million lines).
//
// Find Next from the start to the only match, at the very end, beside a plain
// scan of the same text for the same pattern. Replace All of "fox" as the
// editor does it (the search, one edit, Undo and Redo) beside a baseline
// that builds the replaced text with one append loop; its figures include the
// process's peak resident memory over the benchmark next to the text's size.
// Run the two families apart at large sizes (--benchmark_filter): each makes
// its own document.
#include "docs/search.h"
#include "editctl/commands.h"
#include "editctl/editing.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <string_view>

namespace {

constexpr std::u16string_view kNeedle = u"needle7"; // digits appear nowhere else
constexpr size_t kUnitsPerLine = 44;

size_t Lines() {
    const char* lines = std::getenv("TESSARY_BENCH_LINES");
    return lines ? std::strtoull(lines, nullptr, 10) : 500'000;
}

std::u16string MakeDocument() {
    std::mt19937 rng(5);
    const size_t lines = Lines();
    std::u16string t;
    t.reserve(lines * kUnitsPerLine + kNeedle.size());
    for (size_t line = 0; line < lines; ++line) {
        const size_t end = t.size() + kUnitsPerLine - 2;
        if (line % 12 < 5)
            t += u"fox ";
        while (t.size() < end) {
            const unsigned r = rng() % 64;
            t += r == 0 ? u'\t' : r == 1 ? u'\u00E9' : r < 10 ? u' ' : char16_t(u'a' + r % 26);
        }
        t += u"\r\n";
    }
    t += kNeedle;
    return t;
}

const std::u16string& Document() {
    static const std::u16string text = MakeDocument();
    return text;
}

// The kilobytes of a /proc/self/status field.
int64_t StatusKb(const std::string& field) {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind(field + ":", 0) == 0)
            return std::atoll(line.c_str() + field.size() + 1);
    }
    return 0;
}

double Megabytes(int64_t kb) {
    return static_cast<double>(kb) / 1024;
}

// Starts the peak resident memory afresh from the current size, noted as
// the memory in use at the start.
void ResetPeak(benchmark::State& state) {
    std::ofstream("/proc/self/clear_refs") << "5";
    state.counters["start_MB"] = Megabytes(StatusKb("VmRSS"));
}

void ReportMemory(benchmark::State& state, size_t textUnits) {
    state.counters["peak_MB"] = Megabytes(StatusKb("VmHWM"));
    state.counters["text_MB"] = static_cast<double>(textUnits * 2) / (1024 * 1024);
}

void BM_PlainScanBaseline(benchmark::State& state) {
    const std::u16string_view text = Document();
    for (auto _ : state)
        benchmark::DoNotOptimize(text.find(kNeedle));
    state.SetBytesProcessed(state.iterations() * int64_t(text.size() * 2));
}

// Find Next from a caret at the start, the only match at the end.
void BM_FindNextAtEnd(benchmark::State& state) {
    const std::u16string& text = Document();
    const SearchOptions options{state.range(0) != 0, state.range(1) != 0};
    for (auto _ : state)
        benchmark::DoNotOptimize(Find_NextMatch(text, kNeedle, 0, 0, true, options));
    state.SetBytesProcessed(state.iterations() * int64_t(text.size() * 2));
}

// The least a Replace All must do: the replaced text, appended piece by piece.
void BM_ReplaceAllAppendBaseline(benchmark::State& state) {
    const std::u16string_view text = Document();
    for (auto _ : state) {
        ResetPeak(state);
        std::u16string replaced;
        size_t resume = 0;
        for (size_t p = text.find(u"fox"); p != std::u16string_view::npos;
             p = text.find(u"fox", resume)) {
            replaced.append(text.substr(resume, p - resume)).append(u"wolf");
            resume = p + 3;
        }
        replaced.append(text.substr(resume));
        benchmark::DoNotOptimize(replaced.data());
        ReportMemory(state, text.size());
    }
}

int dummyWindowPlace;
// Only its address is used, as a non-null window.
const WindowHandle dummyWindow = reinterpret_cast<WindowHandle>(&dummyWindowPlace);

// A digest of the text read a million units at a time, as any text store
// hands out copies of its ranges.
size_t Digest(const EditState& s) {
    constexpr size_t kChunk = 1 << 20;
    size_t digest = s.model.text.size();
    for (size_t p = 0; p < s.model.text.size(); p += kChunk)
        digest = digest * 31 + std::hash<std::u16string>{}(s.model.text.substr(p, kChunk));
    return digest;
}

// Replace All as the editor does it, then (range 0) nothing more, one Undo,
// or one Undo and one Redo; each checked against the text it must give.
// The benchmark's own copy of the document is gone before the edit; a copy
// kept for the other benchmarks counts in start_MB.
void BM_ReplaceAll(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        EditState s;
        AttachWindow(s, dummyWindow, 1200, 900);
        std::u16string document = MakeDocument();
        SetText(s, document);
        const size_t original = s.model.text.size();
        const size_t digest = Digest(s);
        state.ResumeTiming();
        ReplaceAllMatches found = Find_ReplaceAllMatches(document, u"fox", u"wolf", {});
        state.PauseTiming();
        std::u16string().swap(document);
        ResetPeak(state);
        state.ResumeTiming();
        const size_t count = found.positions.size();
        ReplaceMatches(s, std::move(found.positions), 3, u"wolf");
        if (state.range(0) > 0)
            Undo(s);
        if (state.range(0) > 1)
            Redo(s);
        state.PauseTiming();
        ReportMemory(state, original);
        const bool undone = state.range(0) == 1;
        if (s.model.text.size() != (undone ? original : original + count))
            state.SkipWithError("the text has the wrong length");
        if (undone && Digest(s) != digest)
            state.SkipWithError("Undo did not restore the text");
        state.counters["matches"] = static_cast<double>(count);
        state.ResumeTiming();
    }
}

BENCHMARK(BM_PlainScanBaseline)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FindNextAtEnd)
    ->ArgsProduct({{1, 0}, {0, 1}})
    ->ArgNames({"case", "word"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_ReplaceAllAppendBaseline)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReplaceAll)
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->ArgName("then")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);

} // namespace

BENCHMARK_MAIN();
