// What the recovery journal adds to a keystroke: a letter typed and taken
// back with Backspace at the end of a large document (where the least text
// moves, so the journal's share shows most), without a journal (argument 0)
// and with one (1), side by side. The journal is written every 512
// keystrokes, about as often as a fast typist's second, to a file that
// drops the bytes. Also what one step of a copy of the whole text costs, and
// what a Replace All of 10 million matches (a 1 GB text's) costs the journal
// inside the command: its one record, beside a plain copy of as many bytes.
// TESSARY_BENCH_UNITS sets the document's length in code units (10 million
// by default).
#include "docs/document.h"
#include "docs/journal_format.h"
#include "docs/journal_log.h"
#include "editctl/commands.h"
#include "editctl/editing.h"

#include <benchmark/benchmark.h>

#include <array>
#include <atomic>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

size_t DocumentUnits() {
    const char* units = std::getenv("TESSARY_BENCH_UNITS");
    return units ? std::strtoull(units, nullptr, 10) : 10'000'000;
}

// Made once for both runs.
const std::u16string& Text() {
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

std::atomic<uint64_t> dropped{0};

struct Dropped final : JournalSink {
    bool Append(std::string_view bytes) override {
        dropped += bytes.size();
        return true;
    }
    bool Flush() override { return true; }
};

struct Nowhere final : JournalFolder {
    std::unique_ptr<JournalSink> Create(uint64_t, uint32_t) override {
        return std::make_unique<Dropped>();
    }
};

int dummyWindowPlace;
// Only its address is used, as a non-null window.
const WindowHandle dummyWindow = reinterpret_cast<WindowHandle>(&dummyWindowPlace);

void BM_TypeAndBackspaceAtEnd(benchmark::State& state) {
    EditState s;
    AttachWindow(s, dummyWindow, 1200, 900);
    SetText(s, Text());
    Nowhere folder;
    Document document;
    JournalLog journal(1);
    if (state.range(0) != 0)
        s.history.observer = &journal;
    const auto end = static_cast<int32_t>(s.model.text.size());
    int keys = 0;
    for (auto _ : state) {
        s.model.anchor = s.model.caret = end;
        TypeCharacter(s, u'x');
        DeleteAtCaret(s, false);
        TakeEffects(s);
        if (++keys % 256 == 0 && journal.Due()) {
            const std::vector<std::u16string_view> pieces = s.model.text.pieces();
            journal.Write(folder, document, pieces, 0);
        }
    }
    state.counters["text_mb"] = static_cast<double>(s.model.text.size()) * 2 / 1e6;
}

// One step of a copy of the whole text, as the window takes it between
// other work: 2 MB of the text encoded, framed and handed to the writing
// thread (which drops it here). A step at the copy's end starts the next.
void BM_CopyStep(benchmark::State& state) {
    EditState s;
    AttachWindow(s, dummyWindow, 1200, 900);
    SetText(s, Text());
    Nowhere folder;
    Document document;
    JournalLog journal(1);
    const std::vector<std::u16string_view> pieces = s.model.text.pieces();
    for (auto _ : state) {
        if (!journal.Write(folder, document, pieces, 2u << 20).more) {
            journal.Discard();
            journal.BaseLost();
        }
    }
    JournalWriter_WaitAll();
    state.SetBytesProcessed(static_cast<int64_t>(dropped.exchange(0)));
}

// The matches of a Replace All of "quartz" every 100 units, replaced by
// `replacement` units.
ReplacedMatches Matches(size_t replacement) {
    ReplacedMatches matches;
    matches.positions.resize(10'000'000);
    for (size_t i = 0; i < matches.positions.size(); ++i)
        matches.positions[i] = static_cast<int32_t>(100 * i);
    matches.length = 6;
    matches.removed = u"quartz";
    matches.inserted.assign(replacement, u'Q');
    return matches;
}

void BM_ReplaceAllRecord(benchmark::State& state) {
    const ReplacedMatches matches = Matches(static_cast<size_t>(state.range(0)));
    std::string out;
    for (auto _ : state) {
        std::string().swap(out);
        AppendJournalMatches(out, matches, true);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * out.size()));
}

void BM_ReplaceAllRecordBaseline(benchmark::State& state) {
    const ReplacedMatches matches = Matches(static_cast<size_t>(state.range(0)));
    const auto* bytes = reinterpret_cast<const char*>(matches.positions.data());
    const size_t size = 4 * matches.positions.size();
    std::string out;
    for (auto _ : state) {
        std::string().swap(out);
        out.append(bytes, size);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * out.size()));
}

BENCHMARK(BM_ReplaceAllRecord)->Arg(6)->Arg(48)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReplaceAllRecordBaseline)->Arg(6)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK(BM_CopyStep)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK(BM_TypeAndBackspaceAtEnd)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
