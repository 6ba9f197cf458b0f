// Long random edit sessions checked against an independent model of the
// line table and of the text after each undo step.
#include "edit_fixture.h"

#include "editctl/clipboard_text.h"
#include "editctl/editing.h"
#include "editctl/keys.h"
#include "editctl/layout.h"
#include "editctl/mouse.h"
#include "editctl/text_model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace {

struct RefLine {
    int32_t start, length, rows, cells;
    bool hasTab;
};

struct RefLayout {
    std::vector<RefLine> lines;
    int32_t gutter = 0;
};

// Straightforward layout: find the breaks first, then measure each line.
RefLayout ReferenceLayout(const EditState& s) {
    const std::u16string& t = s.text;
    const int32_t n = static_cast<int32_t>(t.size());
    std::vector<std::pair<int32_t, int32_t>> spans; // [start, end)
    int32_t start = 0;
    for (int32_t i = 0; i < n; ++i) {
        if (t[i] == u'\r' || t[i] == u'\n') {
            spans.push_back({start, i});
            if (t[i] == u'\r' && i + 1 < n && t[i + 1] == u'\n')
                ++i;
            start = i + 1;
        }
    }
    spans.push_back({start, n});

    RefLayout ref;
    const int32_t digits = static_cast<int32_t>(std::to_string(spans.size()).size());
    ref.gutter = s.showLineNumbers ? std::max(digits, 2) * s.charWidth + 16 : 0;
    const int32_t text = s.clientWidth - 2 * s.margin - ref.gutter;
    const int32_t perRow = text < s.charWidth ? 1 : text / s.charWidth;
    const int32_t tab = s.tabWidth < 1 ? 4 : s.tabWidth;
    for (auto [from, to] : spans) {
        RefLine line{from, to - from, 1, 0, false};
        for (int32_t i = from; i < to; ++i) {
            line.hasTab |= t[i] == u'\t';
            line.cells += t[i] == u'\t' ? tab - line.cells % tab : 1;
        }
        if (s.wordWrap && line.cells > 0)
            line.rows = (line.cells + perRow - 1) / perRow;
        ref.lines.push_back(line);
    }
    return ref;
}

void CheckLayout(const EditState& s) {
    ASSERT_GE(s.anchor, 0);
    ASSERT_GE(s.caret, 0);
    ASSERT_LE(s.anchor, TextLength(s));
    ASSERT_LE(s.caret, TextLength(s));
    const RefLayout ref = ReferenceLayout(s);
    ASSERT_EQ(s.lines.size(), static_cast<int32_t>(ref.lines.size()));
    EXPECT_EQ(s.gutterWidth, ref.gutter);
    int32_t top = 0, rows = 0, widest = 0;
    for (int32_t i = 0; i < s.lines.size(); ++i) {
        const LineInfo got = s.lines[i];
        const RefLine& want = ref.lines[static_cast<size_t>(i)];
        ASSERT_EQ(got.start, want.start) << "line " << i;
        ASSERT_EQ(got.length, want.length) << "line " << i;
        ASSERT_EQ(got.rows, want.rows) << "line " << i;
        ASSERT_EQ(got.hasTab, want.hasTab) << "line " << i;
        ASSERT_EQ(s.lines.lineTop(i), top) << "line " << i;
        top += want.rows * s.lineHeight;
        rows += want.rows;
        widest = std::max(widest, want.cells);
    }
    EXPECT_EQ(s.lines.totalRows(), rows);
    EXPECT_EQ(s.lines.maxLineWidth(), widest * s.charWidth);
    ASSERT_GE(s.currentLine, 0);
    ASSERT_LT(s.currentLine, s.lines.size());
    if (s.showLineNumbers) {
        EXPECT_EQ(s.currentLine, LocateLine(s, s.caret).line);
    }
    EXPECT_GE(s.scrollY, 0);
    EXPECT_GE(s.scrollX, 0);
    if (s.wordWrap) {
        EXPECT_EQ(s.scrollX, 0);
    }
}

// After an operation that scrolls the caret into view, its cell is inside the text area.
void CheckCaretVisible(const EditState& s) {
    const LineLocation at = LocateLine(s, s.caret);
    int32_t column = VisualColumn(s, at.line, at.offset), row = 0;
    if (s.wordWrap) {
        row = std::min(column / ColumnsPerRow(s), s.lines[at.line].rows - 1);
        column -= row * ColumnsPerRow(s);
    }
    const int32_t top = s.lines.lineTop(at.line) + row * s.lineHeight;
    if (s.clientHeight >= s.lineHeight) {
        EXPECT_LE(s.scrollY, top);
        EXPECT_LE(top + s.lineHeight, s.scrollY + s.clientHeight);
    }
    const int32_t textWidth = s.clientWidth - 2 * s.margin - ShownGutter(s);
    if (!s.wordWrap && textWidth >= s.charWidth) {
        const int32_t x = column * s.charWidth;
        EXPECT_LE(s.scrollX, x);
        EXPECT_LE(x + s.charWidth, s.scrollX + textWidth);
    }
}

struct ModelCase {
    EditView view;
    bool insertSpaces;
    int32_t tabWidth;
    int32_t startPieces; // about one in four ends a line
};

class Session {
  public:
    Session(uint32_t seed, const ModelCase& c) : rng_(seed) {
        s_ = MakeEdit(Pieces(c.startPieces), c.view);
        s_.insertSpaces = c.insertSpaces;
        s_.tabWidth = c.tabWidth;
        Relayout(s_);
        timeline_.push_back(s_.text);
    }

    void Step() {
        const std::u16string before = s_.text;
        int32_t low = SelectionLow(s_), high = SelectionHigh(s_);
        const int32_t caret = s_.caret;
        const size_t undoBefore = s_.undoHistory.size();
        const int op = Pick(100);
        bool scrolls = true;
        bool history = false;
        std::u16string inserted;
        if (op < 25) {
            const char16_t unit = RandomUnit();
            inserted = std::u16string(1, unit);
            if (unit < 32 && unit != u'\t' && unit != u'\r')
                inserted.clear();
            else if (unit == u'\r')
                inserted = u"\r\n";
            else if (unit == u'\t' && s_.insertSpaces)
                inserted = std::u16string(static_cast<size_t>(TabStop(s_)), u' ');
            TypeCharacter(s_, unit);
        } else if (op < 32) {
            const std::u16string clipboard = RandomText(12);
            inserted = NormalizePastedBreaks(clipboard);
            PasteText(s_, clipboard);
        } else if (op < 42) {
            const bool forward = op % 2 == 0;
            HandleKeyDown(s_, forward ? EditKey::Delete : EditKey::Backspace, false, false);
            CheckDeletion(before, low, high, caret, forward);
        } else if (op < 52) {
            history = true;
            HandleKeyDown(s_, op % 2 == 0 ? EditKey::Z : EditKey::Y, false, true);
        } else if (op < 60) {
            // Mostly short selections, so that the starting text lives long.
            const int32_t anchor = Pick(TextLength(s_) + 6) - 3;
            const int32_t caret = op == 52 ? Pick(TextLength(s_) + 1) : anchor + Pick(11) - 5;
            SetSelection(s_, anchor, caret);
        } else if (op < 80) {
            const EditKey keys[] = {EditKey::Left, EditKey::Right, EditKey::Up,
                                    EditKey::Down, EditKey::Home,  EditKey::End};
            HandleKeyDown(s_, keys[Pick(6)], Pick(2) == 0, Pick(3) == 0);
        } else if (op < 88) {
            const int32_t x = Pick(s_.clientWidth + 40) - 20, y = Pick(s_.clientHeight + 40) - 20;
            if (Pick(2) == 0)
                MouseButtonDown(s_, x, y, static_cast<uint32_t>(Pick(2000)), ClickLimits{},
                                Pick(2) == 0);
            else
                MouseDoubleClick(s_, x, y);
            MouseButtonUp(s_);
        } else if (op < 89) {
            DeleteSelection(s_);
        } else if (op < 91) {
            // Replacements keep their breaks as they are: a lone LF may land
            // right after a CR, or a range may end between CR and LF.
            low = Pick(TextLength(s_) + 1);
            high = std::min(low + Pick(4), TextLength(s_));
            inserted = RandomText(4);
            ReplaceRange(s_, low, high, inserted);
        } else if (op < 95) {
            scrolls = false;
            MouseWheel(s_, (Pick(5) - 2) * 120, 3);
        } else if (op == 95) {
            scrolls = false;
            SelectAll(s_);
        } else {
            SetClientSize(s_, 40 + Pick(500), 40 + Pick(300));
            scrolls = false;
        }
        if (!inserted.empty()) {
            EXPECT_EQ(s_.text, before.substr(0, low) + inserted + before.substr(high));
        }
        Record(before, low, high, undoBefore, history);
        ASSERT_NO_FATAL_FAILURE(CheckLayout(s_));
        // Edits and caret moves scroll the caret into view.
        const EditNotify notified = TakeEffects(s_).notify;
        if (scrolls && (notified == EditNotify::Change || notified == EditNotify::SelChange))
            CheckCaretVisible(s_);
    }

    // Undoing everything restores the first text; redoing everything the
    // last one edited, even when the session ended with undos.
    void Unwind() {
        while (!s_.undoHistory.empty())
            Undo(s_);
        EXPECT_EQ(s_.text, timeline_.front());
        CheckLayout(s_);
        while (!s_.redoHistory.empty())
            Redo(s_);
        EXPECT_EQ(s_.text, timeline_.back());
        CheckLayout(s_);
    }

  private:
    int32_t Pick(int32_t n) { return std::uniform_int_distribution<int32_t>(0, n - 1)(rng_); }

    // Enter arrives as CR; the other control units must be ignored.
    char16_t RandomUnit() {
        static const char16_t units[] = {u'a',  u'Z', u'_',   u' ', u'.', u'\t',
                                         u'\r', 0xE9, 0xD83D, 8,    27};
        return units[Pick(static_cast<int32_t>(std::size(units)))];
    }

    std::u16string RandomText(int32_t maxPieces) { return Pieces(Pick(maxPieces + 1)); }

    std::u16string Pieces(int32_t count) {
        static const std::u16string pieces[] = {u"a",    u"b",      u"z",         u"_",  u"7",
                                                u" ",    u".",      u"\t",        u"\r", u"\n",
                                                u"\r\n", u"\u00e9", u"\U0001F600"};
        std::u16string text;
        for (int32_t i = count; i > 0; --i)
            text += pieces[Pick(static_cast<int32_t>(std::size(pieces)))];
        return text;
    }

    // Without a selection, one unit or one CR LF pair went at the caret.
    void CheckDeletion(const std::u16string& before, int32_t low, int32_t high, int32_t caret,
                       bool forward) {
        if (low != high) {
            EXPECT_EQ(s_.text, before.substr(0, low) + before.substr(high));
            return;
        }
        const int32_t length = static_cast<int32_t>(before.size());
        int32_t from = caret, to = caret;
        if (forward && caret < length)
            to = caret + (before.compare(caret, 2, u"\r\n") == 0 ? 2 : 1);
        if (!forward && caret > 0)
            from = caret - (caret >= 2 && before.compare(caret - 2, 2, u"\r\n") == 0 ? 2 : 1);
        EXPECT_EQ(s_.text, before.substr(0, from) + before.substr(to));
        EXPECT_EQ(s_.caret, from);
    }

    // timeline_[k] is the text with k undo records applied.
    void Record(const std::u16string& before, int32_t low, int32_t high, size_t undoBefore,
                bool history) {
        const size_t undoAfter = s_.undoHistory.size();
        if (!history && undoAfter != undoBefore) {
            timeline_.resize(undoBefore + 1);
            if (undoAfter == undoBefore + 2)
                timeline_.push_back(before.substr(0, low) + before.substr(high));
            timeline_.push_back(s_.text);
        }
        ASSERT_LT(undoAfter, timeline_.size());
        EXPECT_EQ(s_.text, timeline_[undoAfter]);
        // An edit that recorded nothing still ends what redo could bring back.
        if (s_.redoHistory.empty())
            timeline_.resize(undoAfter + 1);
    }

    std::mt19937 rng_;
    EditState s_;
    std::vector<std::u16string> timeline_;
};

class EditModel : public testing::TestWithParam<ModelCase> {};

TEST_P(EditModel, RandomSessionsKeepTheInvariants) {
    const ModelCase c = GetParam();
    for (uint32_t seed = 1; seed <= 3; ++seed) {
        Session session(seed * 7919 + static_cast<uint32_t>(c.view.width), c);
        for (int step = 0; step < 1500 && !testing::Test::HasFatalFailure(); ++step)
            session.Step();
        session.Unwind();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Views, EditModel,
    testing::Values(ModelCase{{800, 600, false, true}, false, 4, 200},
                    ModelCase{{400, 120, false, false}, true, 4, 200},
                    ModelCase{{400, 300, true, true}, false, 4, 200},
                    ModelCase{{100, 200, true, false}, true, 4, 200},
                    ModelCase{{60, 80, true, true}, false, 3, 200},
                    ModelCase{{20, 40, true, false}, false, 0, 100},
                    ModelCase{{208, 10, true, true}, true, 2, 200},
                    // Around 100 and 1000 lines the gutter, and so the wrap width, changes.
                    ModelCase{{100, 200, true, true}, false, 4, 430},
                    ModelCase{{150, 200, true, true}, false, 4, 4300}));

} // namespace
