// The edit control's layout on a 100-million-unit, 2-million-line text:
// a full relayout, opening (set text) and keystrokes, against a baseline
// that only counts the line breaks; keystrokes and paints on texts of the
// same size a third of which is ideographs, or emoji and letters with
// combining marks, beside the all-ASCII one.
// TESSARY_BENCH_LINES sets another line count: 20000000 makes the text a
// billion units (about 2.5 GB to run the keystrokes alone).
#include "editctl/characters.h"
#include "editctl/commands.h"
#include "editctl/editing.h"
#include "editctl/layout.h"
#include "editctl/paint_plan.h"
#include "editctl/text_model.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <iterator>
#include <random>
#include <string>

namespace {

constexpr int kUnitsPerLine = 50;

int Lines() {
    static const int lines = [] {
        const char* set = std::getenv("TESSARY_BENCH_LINES");
        return set ? std::max(std::atoi(set), 1) : 2'000'000;
    }();
    return lines;
}

// What the third of a document's units that are not ASCII are.
enum class Mix { Ascii, Ideographs, EmojiAndMarks };

// Characters of several units, each a grapheme cluster: an emoji, a letter
// with one or two marks, a heart as emoji, a flag, a toned hand, a family.
const char16_t* const kClusters[] = {u"\U0001F600",
                                     u"e\u0301",
                                     u"a\u0323\u0302",
                                     u"\u2764\uFE0F",
                                     u"\U0001F1EF\U0001F1F5",
                                     u"\U0001F44D\U0001F3FD",
                                     u"\U0001F468\u200D\U0001F469\u200D\U0001F467"};

// Letters, spaces and tabs; a third of the units are of the mix.
// Spare capacity as a loaded file has it, for a buffer to adopt.
std::u16string MakeDocument(Mix mix) {
    std::mt19937 rng(11);
    std::u16string t;
    const size_t units = size_t{static_cast<unsigned>(Lines())} * kUnitsPerLine;
    t.reserve(units + units / 64);
    for (int line = 0; line < Lines(); ++line) {
        const size_t end = t.size() + kUnitsPerLine - 2;
        for (int i = 0; t.size() < end; ++i) {
            const unsigned r = rng() % 64;
            if (mix == Mix::Ideographs && i % 3 == 2)
                t += static_cast<char16_t>(0x4E00 + rng() % 0x5000);
            else if (mix == Mix::EmojiAndMarks && i % 3 == 2)
                t += kClusters[rng() % std::size(kClusters)];
            else
                t += r == 0 ? u'\t' : r < 8 ? u' ' : static_cast<char16_t>(u'a' + r % 26);
        }
        t += u"\r\n";
    }
    return t;
}

const std::u16string& Document(Mix mix = Mix::Ascii) {
    static const std::u16string ascii = MakeDocument(Mix::Ascii);
    if (mix == Mix::Ascii)
        return ascii;
    if (mix == Mix::Ideographs) {
        static const std::u16string ideographs = MakeDocument(Mix::Ideographs);
        return ideographs;
    }
    static const std::u16string clusters = MakeDocument(Mix::EmojiAndMarks);
    return clusters;
}

int dummyWindowPlace;
// Only its address is used, as a non-null window.
const WindowHandle dummyWindow = reinterpret_cast<WindowHandle>(&dummyWindowPlace);

EditState MakeState(bool wrap, Mix mix = Mix::Ascii) {
    EditState s;
    s.view.wordWrap = wrap;
    AttachWindow(s, dummyWindow, 1200, 900);
    SetText(s, Document(mix));
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
        benchmark::DoNotOptimize(s.model.lines.totalRows());
    }
    state.SetBytesProcessed(state.iterations() * int64_t(s.model.text.size() * 2));
}

void BM_SetText(benchmark::State& state) {
    EditState s = MakeState(true);
    for (auto _ : state)
        SetText(s, Document());
    state.SetBytesProcessed(state.iterations() * int64_t(s.model.text.size() * 2));
}

// Argument 1: the document a third of whose units are ideographs, 2: one a
// third of whose units are emoji and marked letters, against the all-ASCII
// one of the same size (argument 0).
void BM_KeystrokeAndUndo(benchmark::State& state) {
    EditState s = MakeState(true, static_cast<Mix>(state.range(0)));
    // A caret only ever stands between characters, never inside one.
    const int32_t middle =
        CharStopAtOrBefore(s.model.text, static_cast<int32_t>(s.model.text.size() / 2));
    for (auto _ : state) {
        s.model.anchor = s.model.caret = middle;
        TypeCharacter(s, u'x');
        Undo(s);
        TakeEffects(s);
    }
}

// What one paint draws, scrolled to the middle of the document; wrapped
// (second argument 1) or not. The first argument picks the document as above.
void BM_PlanPaint(benchmark::State& state) {
    EditState s = MakeState(state.range(1) != 0, static_cast<Mix>(state.range(0)));
    s.model.caret = s.model.anchor = TextLength(s.model) / 2;
    s.model.anchor -= 3000; // a selection across the screen
    EnsureCaretVisible(s);
    TakeEffects(s);
    for (auto _ : state)
        benchmark::DoNotOptimize(PlanPaint(s).runs.size());
}

// Seconds one typed unit at `at` takes, followed by a full relayout when
// `full` (what every edit cost before lines were measured again only where
// they changed). Undone untimed.
double TimeKeystroke(EditState& s, int32_t at, char16_t unit, bool full) {
    s.model.anchor = s.model.caret = at;
    const auto begin = std::chrono::steady_clock::now();
    TypeCharacter(s, unit);
    if (full)
        Relayout(s);
    const std::chrono::duration<double> taken = std::chrono::steady_clock::now() - begin;
    Undo(s);
    TakeEffects(s);
    return taken.count();
}

// Seconds inserting the units at `at` into the text as one plain string
// takes, where the whole tail moves; erased again untimed.
double TimePlainInsert(std::u16string& text, size_t at, std::u16string_view units) {
    const auto begin = std::chrono::steady_clock::now();
    text.insert(at, units);
    const std::chrono::duration<double> taken = std::chrono::steady_clock::now() - begin;
    text.erase(at, units.size());
    benchmark::DoNotOptimize(text.data());
    return taken.count();
}

// A letter (second argument 0) or Enter (1) at the start, in the middle or
// at the end (first argument 0, 1, 2), wrapped (third argument 1) or not.
// The time is the keystroke as it runs: the text, the line table and the
// caret. The counters give the same units inserted into the text as one
// plain string (the baseline), and the keystroke with a full relayout
// after it, each beside the keystroke as a ratio.
void BM_Keystroke(benchmark::State& state) {
    std::u16string text = MakeDocument(Mix::Ascii);
    const size_t at = text.size() * static_cast<size_t>(state.range(0)) / 2;
    const char16_t unit = state.range(1) == 0 ? u'x' : u'\r';
    constexpr int kRuns = 3;
    double plain = 0;
    for (int i = 0; i < kRuns; ++i)
        plain += TimePlainInsert(text, at, unit == u'x' ? u"x" : u"\r\n") / kRuns;
    EditState s;
    s.view.wordWrap = state.range(2) != 0;
    AttachWindow(s, dummyWindow, 1200, 900);
    s.model.text.assign(text);
    Relayout(s);
    TimeKeystroke(s, static_cast<int32_t>(at), unit, false);
    double full = 0;
    for (int i = 0; i < kRuns; ++i)
        full += TimeKeystroke(s, static_cast<int32_t>(at), unit, true) / kRuns;
    double incremental = 0;
    for (auto _ : state) {
        const double taken = TimeKeystroke(s, static_cast<int32_t>(at), unit, false);
        state.SetIterationTime(taken);
        incremental += taken;
    }
    incremental /= static_cast<double>(state.iterations());
    state.counters["plain_string_us"] = plain * 1e6;
    state.counters["plain_ratio"] = plain / incremental;
    state.counters["full_relayout_ms"] = full * 1e3;
    state.counters["full_ratio"] = full / incremental;
}

// The first keystroke at a place far from the last edit: at the start right
// after opening (0), and at the end right after one at the start (1). Were
// the text one gap buffer, the whole of it would move for either.
void BM_FirstKeystroke(benchmark::State& state) {
    EditState s = MakeState(true);
    for (auto _ : state) {
        state.PauseTiming();
        SetText(s, Document());
        if (state.range(0) == 1)
            TypeCharacter(s, u'x');
        s.model.anchor = s.model.caret = state.range(0) == 0 ? 0 : TextLength(s.model);
        state.ResumeTiming();
        TypeCharacter(s, u'x');
    }
}

// Letters typed on one line as long as the whole document, as a loaded
// file is taken: the first at the start, then one in the middle, one at
// the end, and the next one there, each with the paint after it. The
// counters give each in milliseconds.
void BM_OneLineLetters(benchmark::State& state) {
    const size_t units = size_t{static_cast<unsigned>(Lines())} * kUnitsPerLine;
    // Words with tabs, accented letters and ideographs among them.
    const std::u16string_view words[] = {u"lorem ", u"ipsum ",        u"dolor ", u"\tconsequat ",
                                         u"café ",  u"\u4E2D\u6587 ", u"tempor "};
    std::mt19937 rng(5);
    std::u16string line;
    line.reserve(units + 16);
    while (line.size() < units)
        line += words[rng() % std::size(words)];
    line.resize(units);
    double taken[4] = {};
    for (auto _ : state) {
        state.PauseTiming();
        EditState s;
        AttachWindow(s, dummyWindow, 1200, 900);
        std::u16string loaded;
        loaded.reserve(units + units / 64); // the spare room a loaded file has
        AdoptText(s, std::move(loaded.append(line)));
        TakeEffects(s);
        for (size_t k = 0; k < std::size(taken); ++k) {
            const int32_t length = TextLength(s.model);
            s.model.anchor = s.model.caret = k == 0 ? 0 : k == 1 ? length / 2 : length;
            EnsureCaretVisible(s);
            TakeEffects(s);
            benchmark::DoNotOptimize(PlanPaint(s).runs.size()); // the screen before the letter
            const auto begin = std::chrono::steady_clock::now();
            TypeCharacter(s, u'x');
            benchmark::DoNotOptimize(PlanPaint(s).runs.size());
            const std::chrono::duration<double> time = std::chrono::steady_clock::now() - begin;
            taken[k] += time.count();
            TakeEffects(s);
        }
        state.ResumeTiming();
    }
    const char* const names[] = {"start_ms", "middle_ms", "end_ms", "next_ms"};
    for (size_t k = 0; k < std::size(names); ++k)
        state.counters[names[k]] = taken[k] * 1e3 / static_cast<double>(state.iterations());
}

// Inserting and erasing one unit in the middle of the text as one plain
// string: the tail moves twice, which the text's gap avoids.
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
BENCHMARK(BM_KeystrokeAndUndo)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PlanPaint)
    ->ArgsProduct({{0, 1, 2}, {0, 1}})
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();
BENCHMARK(BM_Keystroke)
    ->ArgsProduct({{0, 1, 2}, {0, 1}, {1, 0}})
    ->ArgNames({"where", "enter", "wrap"})
    ->Unit(benchmark::kMicrosecond)
    ->UseManualTime();
BENCHMARK(BM_FirstKeystroke)
    ->Arg(0)
    ->Arg(1)
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_OneLineLetters)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MoveTail)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
