// What the recovery journal adds to a keystroke: a letter typed and taken
// back with Backspace at the end of a large document (where the least text
// moves, so the journal's share shows most), without a journal (argument 0)
// and with one (1), side by side. The journal's kept bytes are dropped now
// and then, as its writes do. TESSARY_BENCH_UNITS sets the document's
// length in code units (10 million by default).
#include "docs/journal_log.h"
#include "editctl/commands.h"
#include "editctl/editing.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

namespace {

size_t DocumentUnits() {
    const char* units = std::getenv("TESSARY_BENCH_UNITS");
    return units ? std::strtoull(units, nullptr, 10) : 10'000'000;
}

// Made once for both runs.
const std::u16string& Document() {
    static const std::u16string text = [] {
        const std::u16string line = u"the quick brown fox jumps over the lazy dog, twice\r\n";
        std::u16string made;
        made.reserve(DocumentUnits());
        while (made.size() + line.size() <= DocumentUnits())
            made += line;
        return made;
    }();
    return text;
}

int dummyWindowPlace;
// Only its address is used, as a non-null window.
const WindowHandle dummyWindow = reinterpret_cast<WindowHandle>(&dummyWindowPlace);

void BM_TypeAndBackspaceAtEnd(benchmark::State& state) {
    EditState s;
    AttachWindow(s, dummyWindow, 1200, 900);
    SetText(s, Document());
    JournalLog journal;
    if (state.range(0) != 0)
        s.history.observer = &journal;
    const auto end = static_cast<int32_t>(s.model.text.size());
    size_t written = 0;
    for (auto _ : state) {
        s.model.anchor = s.model.caret = end;
        TypeCharacter(s, u'x');
        DeleteAtCaret(s, false);
        TakeEffects(s);
        if (journal.pending.size() > 4096) {
            written += journal.pending.size();
            journal.pending.clear();
        }
    }
    written += journal.pending.size();
    state.counters["journal_bytes_per_key"] =
        static_cast<double>(written) / static_cast<double>(2 * state.iterations());
    state.counters["text_mb"] = static_cast<double>(s.model.text.size()) * 2 / 1e6;
}

BENCHMARK(BM_TypeAndBackspaceAtEnd)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
