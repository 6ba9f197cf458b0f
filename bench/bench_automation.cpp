// What a screen reader costs on a 1 GB text (512 million units, about ten
// million lines, wrapped): reading the visible range and walking it row by
// row, against planning the paint of the same rows in the same run. Then
// the same on one wrapped line of 20 million units holding tabs, where rows
// are cut by walking cells: a Line move and the visible rows' rectangles,
// beside the paint of that view.
#include "editctl/commands.h"
#include "editctl/layout.h"
#include "editctl/paint_plan.h"
#include "editctl/text_geometry.h"
#include "editctl/automation_text.h"

#include <benchmark/benchmark.h>

#include <string>
#include <utility>

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

// The text wrapped and scrolled to its middle, as a reader would find it.
EditState MiddleOf(std::u16string text) {
    EditState state;
    AttachWindow(state, dummyWindow, 1200, 900);
    state.model.text.assign(std::move(text));
    Refresh(state);
    state.view.scrollY = state.model.lines.totalRows() / 2 * state.view.lineHeight;
    TakeEffects(state);
    return state;
}

EditState& Document() {
    static EditState s = MiddleOf(MakeText());
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

// One line of 20 million units, a tab in every 50.
EditState& LongLine() {
    static EditState s = [] {
        std::u16string text;
        const std::u16string piece = u"abc\tdefghijklmnopqrstuvwxyz0123456789ABCDEFGHIJKLM";
        for (size_t i = 0; i < 20'000'000 / piece.size(); ++i)
            text += piece;
        return MiddleOf(std::move(text));
    }();
    return s;
}

void BM_LongLinePaintPlanBaseline(benchmark::State& state) {
    const EditState& s = LongLine();
    for (auto _ : state)
        benchmark::DoNotOptimize(PlanPaint(s));
}

// A reader following the caret in the middle of the line: the next row from
// a point in the first row shown, and the row holding that point.
void BM_LongLineMoveByLine(benchmark::State& state) {
    const EditState& s = LongLine();
    const TextSpan visible = VisibleSpan(s);
    int32_t offset = 0;
    for (auto _ : state) {
        int32_t at = visible.start + (offset++ % 64);
        benchmark::DoNotOptimize(MovePositionByUnit(s, at, TextUnit::Line, 1));
        benchmark::DoNotOptimize(ExpandToUnit(s, {at, at}, TextUnit::Line));
    }
}

void BM_LongLineVisibleRectangles(benchmark::State& state) {
    const EditState& s = LongLine();
    for (auto _ : state)
        benchmark::DoNotOptimize(SpanRowRects(s, VisibleSpan(s)));
}

} // namespace

BENCHMARK(BM_LongLinePaintPlanBaseline)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LongLineMoveByLine)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LongLineVisibleRectangles)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PaintPlanBaseline)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_VisibleRangeText)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MoveByLineThroughVisibleRows)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
