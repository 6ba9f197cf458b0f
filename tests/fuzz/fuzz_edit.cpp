// Random editing sessions checked after every step: the line table kept up
// edit by edit equals one built from scratch, and the caret and selection
// lie in the text. Some steps run with an allocation failing and must then
// change nothing. At the end, undoing everything restores the first text
// and redoing everything the last. The first text is set whole, or put in
// place as a load puts it, with lines measured ahead.
#include "allocation_failure.h"

#include "editctl/clipboard_text.h"
#include "editctl/commands.h"
#include "editctl/editing.h"
#include "editctl/keys.h"
#include "editctl/layout.h"
#include "editctl/text_model.h"
#include "editctl/view_metrics.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>

namespace {

void Require(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "violated: %s\n", what);
        std::abort();
    }
}

int windowPlace;
// Only its address is used, as a non-null window.
const WindowHandle window = reinterpret_cast<WindowHandle>(&windowPlace);

bool SameTables(const EditState& a, const EditState& b) {
    if (a.model.lines.size() != b.model.lines.size() ||
        a.model.lines.totalRows() != b.model.lines.totalRows() ||
        a.model.lines.maxLineWidth() != b.model.lines.maxLineWidth() ||
        a.view.gutterWidth != b.view.gutterWidth)
        return false;
    for (int32_t i = 0; i < a.model.lines.size(); ++i) {
        const LineInfo x = a.model.lines[i], y = b.model.lines[i];
        if (x.start != y.start || x.length != y.length || x.rows != y.rows ||
            x.hasTab != y.hasTab || a.model.lines.firstRow(i) != b.model.lines.firstRow(i))
            return false;
    }
    return true;
}

bool SameHistory(const std::vector<UndoRecord>& a, const std::vector<UndoRecord>& b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i].kind != b[i].kind || a[i].position != b[i].position || a[i].text != b[i].text ||
            a[i].joined != b[i].joined)
            return false;
    return true;
}

bool SameRecord(const EditState& a, const EditState& b) {
    return a.model.text == b.model.text && SameTables(a, b) && a.model.anchor == b.model.anchor &&
           a.model.caret == b.model.caret && a.history.modified == b.history.modified &&
           SameHistory(a.history.undoHistory, b.history.undoHistory) &&
           SameHistory(a.history.redoHistory, b.history.redoHistory);
}

void CheckInvariants(const EditState& s) {
    Require(s.model.anchor >= 0 && s.model.anchor <= TextLength(s.model), "anchor in the text");
    Require(s.model.caret >= 0 && s.model.caret <= TextLength(s.model), "caret in the text");
    Require(s.view.currentLine >= 0 && s.view.currentLine < s.model.lines.size(),
            "current line exists");
    EditState fresh = s;
    Relayout(fresh);
    Require(SameTables(s, fresh), "the kept line table equals a rebuilt one");
}

std::u16string Pieces(FuzzedDataProvider& data, int most) {
    static const std::u16string pieces[] = {u"a",  u"Z",    u" ",      u".",          u"\t",  u"\r",
                                            u"\n", u"\r\n", u"\u00e9", u"\U0001F600", u"word"};
    std::u16string text;
    for (int n = data.ConsumeIntegralInRange(0, most); n > 0; --n)
        text += pieces[data.ConsumeIntegralInRange<size_t>(0, std::size(pieces) - 1)];
    return text;
}

// The text put in place as a load puts it, its lines measured ahead, many
// of them left with only a bound of their width. As a load shares out its
// last units, the lines from the first line start at or after `split` may
// be measured apart and appended.
void LoadAhead(EditState& s, std::u16string units, size_t split) {
    const auto length = static_cast<int64_t>(units.size());
    const LineMetrics metrics = CurrentLineMetrics(s);
    LineTable::Ahead ahead(metrics, length);
    int64_t half = length;
    if (const size_t at = units.find_first_of(u"\r\n", split); at != std::u16string::npos)
        half = static_cast<int64_t>(at + (units.compare(at, 2, u"\r\n") == 0 ? 2 : 1));
    ahead.measure(units.data(), half, half);
    if (ahead.next() == half && half < length) {
        LineTable::Ahead far(metrics, length, half);
        far.measure(units.data(), length, length);
        ahead.append(far);
    }
    ahead.measure(units.data(), length, length);
    PreparedText prepared;
    prepared.text.assign(std::move(units));
    prepared.lines.rebuild(prepared.text, std::move(ahead));
    AdoptPrepared(s, std::move(prepared));
}

void Step(EditState& s, FuzzedDataProvider& data) {
    const int32_t length = TextLength(s.model);
    switch (data.ConsumeIntegralInRange(0, 9)) {
    case 0:
        TypeCharacter(s, data.PickValueInArray<char16_t>({u'x', u'\t', u'\r', u' ', 0xD83D, 8}));
        break;
    case 1:
        PasteText(s, Pieces(data, 12));
        break;
    case 2:
        DeleteAtCaret(s, data.ConsumeBool());
        break;
    case 3:
        Undo(s);
        break;
    case 4:
        Redo(s);
        break;
    case 5:
        SetSelection(s, data.ConsumeIntegralInRange(-2, length + 2),
                     data.ConsumeIntegralInRange(-2, length + 2));
        break;
    case 6: {
        const int32_t start = data.ConsumeIntegralInRange(0, length);
        ReplaceRange(s, start, start + data.ConsumeIntegralInRange(0, 6), Pieces(data, 4));
        break;
    }
    case 7:
        HandleKeyDown(s,
                      data.PickValueInArray({EditKey::Left, EditKey::Right, EditKey::Up,
                                             EditKey::Down, EditKey::Home, EditKey::End}),
                      data.ConsumeBool(), data.ConsumeBool());
        break;
    case 8:
        SetClientSize(s, data.ConsumeIntegralInRange(0, 400), data.ConsumeIntegralInRange(0, 300));
        break;
    default:
        if (data.ConsumeBool())
            SetWordWrap(s, !s.view.wordWrap);
        else
            SetShowLineNumbers(s, !s.view.showLineNumbers);
        break;
    }
}

// The step with its nth allocation failing: it either gets through or
// leaves the record exactly as it was.
void FailingStep(EditState& s, FuzzedDataProvider& data, size_t nth) {
    const EditState before = s;
    const std::string stepBytes = data.ConsumeBytesAsString(24);
    FuzzedDataProvider stepData(reinterpret_cast<const uint8_t*>(stepBytes.data()),
                                stepBytes.size());
    try {
        AllocationFailure failure(nth);
        Step(s, stepData);
        return;
    } catch (const std::bad_alloc&) {
    }
    Require(SameRecord(s, before), "a failed step changes nothing");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    FuzzedDataProvider data(bytes, size);
    EditState s;
    s.view.wordWrap = data.ConsumeBool();
    s.view.tabWidth = data.ConsumeIntegralInRange(0, 5);
    s.view.insertSpaces = data.ConsumeBool();
    AttachWindow(s, window, data.ConsumeIntegralInRange(0, 400), 200);
    if (data.ConsumeBool()) {
        SetText(s, Pieces(data, 30));
    } else {
        std::u16string units = Pieces(data, 30);
        const auto split = data.ConsumeIntegralInRange<size_t>(0, units.size());
        LoadAhead(s, std::move(units), split);
    }
    const std::u16string first = s.model.text.substr(0);
    for (int steps = 0; steps < 200 && data.remaining_bytes() > 0; ++steps) {
        const uint8_t failAt = data.ConsumeIntegral<uint8_t>();
        if (failAt < 32)
            FailingStep(s, data, failAt + 1u);
        else
            Step(s, data);
        TakeEffects(s);
        CheckInvariants(s);
    }
    EditState redone = s;
    while (!redone.history.redoHistory.empty())
        Redo(redone);
    while (!s.history.undoHistory.empty())
        Undo(s);
    Require(s.model.text == first, "undoing everything restores the first text");
    CheckInvariants(s);
    while (!s.history.redoHistory.empty())
        Redo(s);
    Require(s.model.text == redone.model.text, "redoing everything restores the last text");
    CheckInvariants(s);
    return 0;
}
