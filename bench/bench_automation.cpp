// What a screen reader costs on a 1 GB text (512 million units, about ten
// million lines, wrapped): reading the visible range and walking it row by
// row, against planning the paint of the same rows in the same run.
#include "editctl/commands.h"
#include "editctl/layout.h"
#include "editctl/paint_plan.h"
#include "editctl/text_geometry.h"
#include "editctl/automation_text.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

constexpr size_t kUnits = size_t{1} << 29;

int dummyWindowPlace;
// Only its address is used, as a non-null window.
const WindowHandle dummyWindow = reinterpret_cast<WindowHandle>(&dummyWindowPlace);

// Lines of varying length, some longer than a row, so wrapping matters.
std::u16string MakeText() {
    std::u16string text;
    text.reserve(kUnits);
    const std::u16string words = u"the quick brown fox jumps over the lazy dog\tand ";
    size_t line = 0;
    while (text.size() + 400 < kUnits) {
        const size_t length = 10 + (line++ * 37) % 160;
        for (size_t i = 0; i < length; ++i)
            text += words[(line + i) % words.size()];
        text += u"\r\n";
    }
    return text;
}

// Scrolled to the middle of the text, as a reader would find it.
EditState& Document() {
    static EditState s = [] {
        EditState state;
        AttachWindow(state, dummyWindow, 1200, 900);
        state.model.text = MakeText();
        Refresh(state);
        state.view.scrollY = state.model.lines.totalRows() / 2 * state.view.lineHeight;
        TakeEffects(state);
        return state;
    }();
    return s;
}

void BM_PaintPlanBaseline(benchmark::State& state) {
    const EditState& s = Document();
    for (auto _ : state)
        benchmark::DoNotOptimize(PlanPaint(s));
    state.counters["MB"] = static_cast<double>(s.model.text.size() * 2) / (1 << 20);
}

void BM_VisibleRangeText(benchmark::State& state) {
    const EditState& s = Document();
    for (auto _ : state) {
        const TextSpan visible = VisibleSpan(s);
        benchmark::DoNotOptimize(s.model.text.substr(
            static_cast<size_t>(visible.start), static_cast<size_t>(visible.end - visible.start)));
    }
}

// Every row the paint draws, one Line move at a time, reading each row's text.
void BM_MoveByLineThroughVisibleRows(benchmark::State& state) {
    const EditState& s = Document();
    int64_t rows = 0;
    for (auto _ : state) {
        const TextSpan visible = VisibleSpan(s);
        TextSpan row = ExpandToUnit(s, {visible.start, visible.start}, TextUnit::Line);
        do {
            benchmark::DoNotOptimize(s.model.text.substr(static_cast<size_t>(row.start),
                                                         static_cast<size_t>(row.end - row.start)));
            ++rows;
        } while (row.end < visible.end && MoveSpanByUnit(s, row, TextUnit::Line, 1) == 1);
    }
    state.counters["rows"] = static_cast<double>(rows) / static_cast<double>(state.iterations());
}

} // namespace

BENCHMARK(BM_PaintPlanBaseline)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_VisibleRangeText)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MoveByLineThroughVisibleRows)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
