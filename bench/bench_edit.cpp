// The edit control's layout on a 100-million-unit, 2-million-line text:
// a full relayout, opening (set text) and keystrokes, against a baseline
// that only counts the line breaks; keystrokes and paints on a text of the
// same size a third of which is ideographs, beside the all-ASCII one.
#include "editctl/commands.h"
#include "editctl/editing.h"
#include "editctl/layout.h"
#include "editctl/paint_plan.h"
#include "editctl/text_model.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <random>
#include <string>

namespace {

constexpr int kLines = 2'000'000;
constexpr int kUnitsPerLine = 50;

// Letters, spaces and tabs; with `cjk`, a third of the units are ideographs.
std::u16string MakeDocument(bool cjk) {
    std::mt19937 rng(11);
    std::u16string t;
    t.reserve(size_t{kLines} * kUnitsPerLine);
    for (int line = 0; line < kLines; ++line) {
        for (int i = 0; i < kUnitsPerLine - 2; ++i) {
            const unsigned r = rng() % 64;
            if (cjk && i % 3 == 2)
                t += static_cast<char16_t>(0x4E00 + rng() % 0x5000);
            else
                t += r == 0 ? u'\t' : r < 8 ? u' ' : static_cast<char16_t>(u'a' + r % 26);
        }
        t += u"\r\n";
    }
    return t;
}

const std::u16string& Document(bool cjk = false) {
    static const std::u16string ascii = MakeDocument(false);
    if (!cjk)
        return ascii;
    static const std::u16string ideographs = MakeDocument(true);
    return ideographs;
}

int dummyWindow;

EditState MakeState(bool wrap, bool cjk = false) {
    EditState s;
    s.wordWrap = wrap;
    AttachWindow(s, &dummyWindow, 1200, 900);
    SetText(s, Document(cjk));
    return s;
}

void BM_CountBreaksBaseline(benchmark::State& state) {
    const std::u16string& text = Document();
    for (auto _ : state)
        benchmark::DoNotOptimize(std::count(text.begin(), text.end(), u'\n'));
    state.SetBytesProcessed(state.iterations() * int64_t(text.size() * 2));
}

void BM_Relayout(benchmark::State& state) {
    EditState s = MakeState(state.range(0) != 0);
    for (auto _ : state) {
        Relayout(s);
        benchmark::DoNotOptimize(s.lines.totalRows());
    }
    state.SetBytesProcessed(state.iterations() * int64_t(s.text.size() * 2));
}

void BM_SetText(benchmark::State& state) {
    EditState s = MakeState(true);
    for (auto _ : state)
        SetText(s, Document());
    state.SetBytesProcessed(state.iterations() * int64_t(s.text.size() * 2));
}

// Argument 1: the document a third of whose units are ideographs, against
// the all-ASCII one of the same size (argument 0).
void BM_KeystrokeAndUndo(benchmark::State& state) {
    EditState s = MakeState(true, state.range(0) != 0);
    const int32_t middle = static_cast<int32_t>(s.text.size() / 2);
    for (auto _ : state) {
        s.anchor = s.caret = middle;
        TypeCharacter(s, u'x');
        Undo(s);
        TakeEffects(s);
    }
}

// What one paint draws, scrolled to the middle of the document; wrapped
// (second argument 1) or not. The first argument picks the document as above.
void BM_PlanPaint(benchmark::State& state) {
    EditState s = MakeState(state.range(1) != 0, state.range(0) != 0);
    s.caret = s.anchor = TextLength(s) / 2;
    s.anchor -= 3000; // a selection across the screen
    EnsureCaretVisible(s);
    TakeEffects(s);
    for (auto _ : state)
        benchmark::DoNotOptimize(PlanPaint(s).runs.size());
}

// Seconds one typed unit at `at` takes, followed by a full relayout when
// `full` (what every edit cost before lines were measured again only where
// they changed). Undone untimed.
double TimeKeystroke(EditState& s, int32_t at, char16_t unit, bool full) {
    s.anchor = s.caret = at;
    const auto begin = std::chrono::steady_clock::now();
    TypeCharacter(s, unit);
    if (full)
        Relayout(s);
    const std::chrono::duration<double> taken = std::chrono::steady_clock::now() - begin;
    Undo(s);
    TakeEffects(s);
    return taken.count();
}

// A letter (second argument 0) or Enter (1) at the start, in the middle or
// at the end (first argument 0, 1, 2): the nearer the start, the more text
// moves. The time is the keystroke as it runs; the counters give it with a
// full relayout after it and the ratio of the two.
void BM_Keystroke(benchmark::State& state) {
    EditState s = MakeState(true);
    const int32_t at = static_cast<int32_t>(TextLength(s) * state.range(0) / 2);
    const char16_t unit = state.range(1) == 0 ? u'x' : u'\r';
    constexpr int kFullRuns = 5; // the first also grows the string's capacity
    TimeKeystroke(s, at, unit, true);
    double full = 0;
    for (int i = 0; i < kFullRuns; ++i)
        full += TimeKeystroke(s, at, unit, true) / kFullRuns;
    double incremental = 0;
    for (auto _ : state) {
        const double taken = TimeKeystroke(s, at, unit, false);
        state.SetIterationTime(taken);
        incremental += taken;
    }
    incremental /= static_cast<double>(state.iterations());
    state.counters["full_relayout_ms"] = full * 1e3;
    state.counters["ratio"] = full / incremental;
}

// The first keystroke after opening: the string has no spare capacity yet
// and moves to a bigger block.
void BM_FirstKeystroke(benchmark::State& state) {
    EditState s = MakeState(true);
    const int32_t middle = TextLength(s) / 2;
    for (auto _ : state) {
        state.PauseTiming();
        SetText(s, Document());
        state.ResumeTiming();
        s.anchor = s.caret = middle;
        TypeCharacter(s, u'x');
    }
}

// Inserting and erasing one unit in the middle of the string alone: the
// tail moves twice, which no line table can avoid.
void BM_MoveTail(benchmark::State& state) {
    std::u16string text = Document();
    const size_t middle = text.size() / 2;
    text.reserve(text.size() + 1);
    for (auto _ : state) {
        text.insert(middle, 1, u'x');
        text.erase(middle, 1);
        benchmark::DoNotOptimize(text.data());
    }
}

BENCHMARK(BM_CountBreaksBaseline)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Relayout)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SetText)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_KeystrokeAndUndo)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PlanPaint)
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();
BENCHMARK(BM_Keystroke)
    ->ArgsProduct({{0, 1, 2}, {0, 1}})
    ->Unit(benchmark::kMicrosecond)
    ->UseManualTime();
BENCHMARK(BM_FirstKeystroke)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_MoveTail)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
