// The edit control's layout on a 100-million-unit, 2-million-line text:
// a full relayout, opening (set text) and one keystroke with its undo,
// against a baseline that only counts the line breaks.
#include "editctl/commands.h"
#include "editctl/editing.h"
#include "editctl/layout.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>
#include <string>

namespace {

constexpr int kLines = 2'000'000;
constexpr int kUnitsPerLine = 50;

const std::u16string& Document() {
    static const std::u16string text = [] {
        std::mt19937 rng(11);
        std::u16string t;
        t.reserve(size_t{kLines} * kUnitsPerLine);
        for (int line = 0; line < kLines; ++line) {
            for (int i = 0; i < kUnitsPerLine - 2; ++i) {
                const unsigned r = rng() % 64;
                t += r == 0 ? u'\t' : r < 8 ? u' ' : static_cast<char16_t>(u'a' + r % 26);
            }
            t += u"\r\n";
        }
        return t;
    }();
    return text;
}

int dummyWindow;

EditState MakeState(bool wrap) {
    EditState s;
    s.wordWrap = wrap;
    AttachWindow(s, &dummyWindow, 1200, 900);
    SetText(s, Document());
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

void BM_KeystrokeAndUndo(benchmark::State& state) {
    EditState s = MakeState(true);
    const int32_t middle = static_cast<int32_t>(s.text.size() / 2);
    for (auto _ : state) {
        s.anchor = s.caret = middle;
        TypeCharacter(s, u'x');
        Undo(s);
        TakeEffects(s);
    }
}

BENCHMARK(BM_CountBreaksBaseline)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Relayout)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SetText)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_KeystrokeAndUndo)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
