// Edits are all or nothing: whichever allocation fails, the record is left
// exactly as it was, and an edit that would make the text too long changes
// nothing.
#include "allocation_failure.h"
#include "edit_fixture.h"

#include "editctl/clipboard_text.h"
#include "editctl/editing.h"
#include "editctl/layout.h"

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <string>
#include <tuple>
#include <vector>

namespace {

// Everything an edit may change, in comparable form.
struct Observed {
    std::u16string text;
    std::vector<std::tuple<int32_t, int32_t, int32_t, bool, int32_t>> lines;
    int64_t totalRows, maxLineWidth;
    int32_t gutterWidth, currentLine, anchor, caret;
    int64_t scrollX, scrollY;
    std::vector<std::tuple<UndoKind, int32_t, std::u16string, bool>> undo, redo;
    bool modified;
    EditNotify notify;
    bool invalidate, tooLong;
    size_t gutterInvalidations;

    bool operator==(const Observed&) const = default;
};

Observed Observe(const EditState& s) {
    Observed o{s.model.text.substr(0),
               {},
               s.model.lines.totalRows(),
               s.model.lines.maxLineWidth(),
               s.view.gutterWidth,
               s.view.currentLine,
               s.model.anchor,
               s.model.caret,
               s.view.scrollX,
               s.view.scrollY,
               {},
               {},
               s.history.modified,
               s.effects.notify,
               s.effects.invalidate,
               s.effects.tooLong,
               s.effects.gutterInvalidations.size()};
    for (int32_t i = 0; i < s.model.lines.size(); ++i)
        o.lines.emplace_back(s.model.lines[i].start, s.model.lines[i].length, s.model.lines[i].rows,
                             s.model.lines[i].hasTab, s.model.lines.firstRow(i));
    for (const UndoRecord& r : s.history.undoHistory)
        o.undo.emplace_back(r.kind, r.position, r.text, r.joined);
    for (const UndoRecord& r : s.history.redoHistory)
        o.redo.emplace_back(r.kind, r.position, r.text, r.joined);
    return o;
}

using Operation = std::function<void(EditState&)>;

// Runs the operation on copies of the record with the 1st, 2nd, 3rd ...
// allocation failing, until one gets through without a failure. A run that
// threw must have left its copy as it was; one that got through anyway (it
// settled for less room) must end like a run that never failed. Returns
// how many runs threw.
int FailEveryAllocation(const EditState& original, const Operation& operation) {
    EditState unfailed = original;
    operation(unfailed);
    const Observed before = Observe(original);
    int threw = 0;
    for (size_t nth = 1;; ++nth) {
        EditState s = original;
        bool struck = false;
        try {
            AllocationFailure failure(nth);
            operation(s);
            struck = failure.struck();
        } catch (const std::bad_alloc&) {
            ++threw;
            if (Observe(s) == before)
                continue;
            ADD_FAILURE() << "allocation " << nth << " failed and changed the record";
            return threw;
        }
        EXPECT_TRUE(Observe(s) == Observe(unfailed)) << "allocation " << nth;
        if (!struck)
            return threw;
    }
}

std::u16string Lines(int count, std::u16string_view line) {
    std::u16string text;
    for (int i = 0; i < count; ++i)
        (text += line) += u"\r\n";
    return text;
}

struct Case {
    const char* name;
    EditView view;
    std::u16string text;
    Operation prepare; // untested set-up: a selection, history to undo
    Operation operation;
};

TEST(EditAllOrNothing, AFailedAllocationAnywhereChangesNothing) {
    const std::u16string big = Lines(40, u"pasted\tline that wraps in a narrow window");
    const auto select = [](int32_t anchor, int32_t caret) {
        return [=](EditState& s) { s.model.anchor = anchor, s.model.caret = caret; };
    };
    const auto replace = [](EditState& s) {
        ReplaceRange(s, 2, 9, u"replacement\r\ntext");
        TakeEffects(s);
    };
    const auto replaceAndUndo = [&](EditState& s) {
        replace(s);
        Undo(s);
        TakeEffects(s);
    };
    const Case cases[] = {
        {"typing over a selection",
         {},
         u"one two three",
         select(4, 7),
         [](EditState& s) { TypeCharacter(s, u'x'); }},
        {"Enter making line 100 rewraps every line",
         {360, 300, true, true},
         Lines(98, std::u16string(40, u'x')) + u"end",
         select(5, 5),
         [](EditState& s) { TypeCharacter(s, u'\r'); }},
        {"Backspace over CR LF",
         {},
         u"ab\r\ncd",
         select(4, 4),
         [](EditState& s) { DeleteAtCaret(s, false); }},
        {"a paste beyond the text's spare room",
         {200, 100, true, true},
         u"short\r\ntext",
         select(2, 7),
         [&](EditState& s) { PasteText(s, big); }},
        {"a range replaced in one step",
         {},
         u"hello world, hello",
         select(0, 0),
         [](EditState& s) { ReplaceRange(s, 6, 11, u"there\r\nall"); }},
        {"undo of a joined step", {}, u"0123456789abc", replace, [](EditState& s) { Undo(s); }},
        {"redo of a joined step",
         {},
         u"0123456789abc",
         replaceAndUndo,
         [](EditState& s) { Redo(s); }},
        {"replacing the whole text",
         {200, 100, true, true},
         u"old",
         select(1, 2),
         [&](EditState& s) { SetText(s, big); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EditState s = MakeEdit(c.text, c.view);
        c.prepare(s);
        EXPECT_GT(FailEveryAllocation(s, c.operation), 0) << "the operation allocates";
    }
}

// The view changes lay out the same lines again in the table's own memory.
TEST(EditAllOrNothing, ViewChangesNeedNoMemory) {
    EditState s = MakeEdit(Lines(300, u"a line\tlong enough to wrap somewhere"), {400, 300});
    AllocationFailure failure(1);
    SetWordWrap(s, true);
    SetClientSize(s, 150, 200);
    SetShowLineNumbers(s, false);
    SetFontMetrics(s, nullptr, 5, 9);
    EXPECT_FALSE(failure.struck());
}

TEST(EditTooLong, AnEditBeyondTheLimitIsRefusedWhole) {
    EditState s = MakeEdit(u"0123456789");
    s.model.maxLength = 12;
    s.model.anchor = s.model.caret = 10;
    TypeCharacter(s, u'\r');
    EXPECT_EQ(s.model.text, u"0123456789\r\n") << "up to the limit is allowed";
    TakeEffects(s);
    s.view.insertSpaces = true;
    s.model.anchor = 0;
    s.model.caret = 2;
    const Observed before = Observe(s);
    const Operation refused[] = {
        [](EditState& t) { PasteText(t, u"abc"); }, // two units out, three in
        [](EditState& t) { ReplaceRange(t, 12, 12, u"x"); },
        [](EditState& t) { TypeCharacter(t, u'\t'); }, // four spaces
    };
    for (const Operation& edit : refused) {
        edit(s);
        Observed after = Observe(s);
        EXPECT_TRUE(after.tooLong);
        after.tooLong = false;
        EXPECT_EQ(after, before) << "nothing changed, nothing notified";
        TakeEffects(s);
    }
    // The selection goes before the insertion comes: this ends at the limit.
    PasteText(s, u"ab");
    EXPECT_EQ(s.model.text, u"ab23456789\r\n");
    EXPECT_FALSE(s.effects.tooLong);
}

} // namespace
