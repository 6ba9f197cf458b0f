// Long random edit sessions checked against an independent model of the
// line table and of the text after each undo step.
#include "edit_fixture.h"

#include "editctl/characters.h"
#include "editctl/clipboard_text.h"
#include "editctl/editing.h"
#include "editctl/keys.h"
#include "editctl/layout.h"
#include "editctl/mouse.h"
#include "editctl/paint_plan.h"
#include "editctl/text_model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace {

// One character of the reference: units [start, end) on cells [first, first + cells).
struct RefChar {
    int32_t start, end;
    int64_t first, cells;
};

struct RefLine {
    int32_t start, length, rows, cells;
    bool hasTab, hasComplex;
    size_t firstChar, endChar; // its characters in RefLayout::chars
};

struct RefLayout {
    std::vector<RefLine> lines;
    std::vector<RefChar> chars;
    int32_t gutter = 0;
    int32_t perRow = 0;
};

bool IsHigh(char16_t u) {
    return u >= 0xD800 && u <= 0xDBFF;
}
bool IsLow(char16_t u) {
    return u >= 0xDC00 && u <= 0xDFFF;
}

int32_t LoneSurrogates(const std::u16string& t) {
    int32_t lone = 0;
    for (size_t i = 0; i < t.size(); ++i) {
        if (IsHigh(t[i]) && i + 1 < t.size() && IsLow(t[i + 1]))
            ++i;
        else if (IsHigh(t[i]) || IsLow(t[i]))
            ++lone;
    }
    return lone;
}

// Appends the characters of units [from, to) of `t`, cut at the stops
// (checked on Unicode's own cases in edit_characters_test), each taking the
// cells CharacterAt gives it.
void RefCharacters(const std::u16string& t, int32_t from, int32_t to, std::vector<RefChar>& chars) {
    for (int32_t i = from; i < to;) {
        int32_t end = i + 1;
        while (end < to && !IsCharStop(t, end))
            ++end;
        chars.push_back({i, end, 0, t[i] == u'\t' ? 0 : CharacterAt(t, i).cells});
        i = end;
    }
}

std::vector<RefChar> RefCharacters(const std::u16string& t) {
    std::vector<RefChar> chars;
    RefCharacters(t, 0, static_cast<int32_t>(t.size()), chars);
    return chars;
}

// Straightforward layout: find the breaks first, then place each line's
// characters one after the other, keeping each inside one row.
RefLayout ReferenceLayout(const EditState& s) {
    const std::u16string t = s.model.text.substr(0);
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
    ref.gutter = s.view.showLineNumbers ? std::max(digits, 2) * s.view.charWidth + 16 : 0;
    const int32_t text = s.view.clientWidth - 2 * s.view.margin - ref.gutter;
    const int32_t perRow = text < s.view.charWidth ? 1 : text / s.view.charWidth;
    ref.perRow = s.view.wordWrap ? perRow : 0;
    const int32_t tab = s.view.tabWidth < 1 ? 4 : s.view.tabWidth;
    ref.chars.reserve(t.size());
    for (auto [from, to] : spans) {
        RefLine line{from, to - from, 1, 0, false, false, ref.chars.size(), 0};
        RefCharacters(t, from, to, ref.chars);
        line.endChar = ref.chars.size();
        int64_t column = 0;
        for (size_t k = line.firstChar; k < line.endChar; ++k) {
            RefChar& c = ref.chars[k];
            const bool isTab = t[c.start] == u'\t';
            line.hasTab |= isTab;
            for (int32_t i = c.start; i < c.end; ++i)
                line.hasComplex |= t[i] >= 0x300;
            if (isTab)
                c.cells = tab - column % tab;
            if (s.view.wordWrap && column % perRow + c.cells > perRow) {
                if (isTab)
                    c.cells = perRow - column % perRow;
                else if (column % perRow != 0)
                    column += perRow - column % perRow;
                c.cells = std::min<int64_t>(c.cells, perRow);
            }
            c.first = column;
            column += c.cells;
        }
        line.cells = static_cast<int32_t>(column);
        if (s.view.wordWrap && line.cells > 0)
            line.rows = (line.cells + perRow - 1) / perRow;
        ref.lines.push_back(line);
    }
    return ref;
}

// Every character the paint plan draws lies where the reference puts it,
// and a click on its cells inside the text area lands before it.
void CheckPaintAgreesWithHits(const EditState& s, const RefLayout& ref) {
    const int32_t textLeft = ShownGutter(s.view) + s.view.margin;
    for (const TextRun& run : PlanPaint(s).runs) {
        const int32_t lineIndex = LocateLine(s.model, run.position).line;
        const RefLine& line = ref.lines[static_cast<size_t>(lineIndex)];
        const auto end = ref.chars.begin() + static_cast<std::ptrdiff_t>(line.endChar);
        auto c =
            std::lower_bound(ref.chars.begin() + static_cast<std::ptrdiff_t>(line.firstChar), end,
                             run.position, [](const RefChar& r, int32_t p) { return r.start < p; });
        ASSERT_TRUE(c != end && c->start == run.position)
            << "a run starts inside a character at " << run.position;
        const int64_t row = ref.perRow > 0 ? c->first / ref.perRow : 0;
        const int64_t rowStart = row * ref.perRow;
        EXPECT_EQ(run.top, s.view.margin +
                               (s.model.lines.firstRow(lineIndex) + row) * s.view.lineHeight -
                               s.view.scrollY);
        for (int64_t cell = 0; cell < run.cells; cell += c->cells, ++c) {
            ASSERT_NE(c, end);
            ASSERT_EQ(c->first - rowStart,
                      (run.x - textLeft + s.view.scrollX) / s.view.charWidth + cell)
                << "character at " << c->start;
            // Clicks are tried on every run's start and every cell of a
            // character that is not one unit in one cell; the rest follow.
            const bool plain =
                c->end - c->start == 1 && c->cells == 1 && s.model.text[c->start] != u'\t';
            for (int64_t k = 0; k < c->cells && !(plain && cell > 0); ++k) {
                const int64_t x = run.x + (cell + k) * s.view.charWidth + s.view.charWidth / 2;
                if (x >= textLeft && x < s.view.clientWidth) {
                    ASSERT_EQ(HitTest(s, static_cast<int32_t>(x), run.top + s.view.lineHeight / 2),
                              c->start);
                }
            }
        }
    }
}

void CheckLayout(const EditState& s) {
    ASSERT_GE(s.model.anchor, 0);
    ASSERT_GE(s.model.caret, 0);
    ASSERT_LE(s.model.anchor, TextLength(s.model));
    ASSERT_LE(s.model.caret, TextLength(s.model));
    const RefLayout ref = ReferenceLayout(s);
    ASSERT_EQ(s.model.lines.size(), static_cast<int32_t>(ref.lines.size()));
    EXPECT_EQ(s.view.gutterWidth, ref.gutter);
    int32_t top = 0, rows = 0, widest = 0;
    for (int32_t i = 0; i < s.model.lines.size(); ++i) {
        const LineInfo got = s.model.lines[i];
        const RefLine& want = ref.lines[static_cast<size_t>(i)];
        ASSERT_EQ(got.start, want.start) << "line " << i;
        ASSERT_EQ(got.length, want.length) << "line " << i;
        ASSERT_EQ(got.rows, want.rows) << "line " << i;
        ASSERT_EQ(got.hasTab, want.hasTab) << "line " << i;
        ASSERT_EQ(got.hasComplex, want.hasComplex) << "line " << i;
        ASSERT_EQ(s.model.lines.firstRow(i), top) << "line " << i;
        top += want.rows;
        rows += want.rows;
        widest = std::max(widest, want.cells);
    }
    EXPECT_EQ(s.model.lines.totalRows(), rows);
    EXPECT_EQ(s.model.lines.maxLineWidth(), widest * s.view.charWidth);
    ASSERT_GE(s.view.currentLine, 0);
    ASSERT_LT(s.view.currentLine, s.model.lines.size());
    if (s.view.showLineNumbers) {
        EXPECT_EQ(s.view.currentLine, LocateLine(s.model, s.model.caret).line);
    }
    EXPECT_GE(s.view.scrollY, 0);
    EXPECT_GE(s.view.scrollX, 0);
    if (s.view.wordWrap) {
        EXPECT_EQ(s.view.scrollX, 0);
    }
    // Both selection ends stand between characters.
    for (const int32_t end : {s.model.anchor, s.model.caret}) {
        const RefLine& line = ref.lines[static_cast<size_t>(LocateLine(s.model, end).line)];
        const bool between =
            end == line.start + line.length ||
            std::any_of(ref.chars.begin() + static_cast<std::ptrdiff_t>(line.firstChar),
                        ref.chars.begin() + static_cast<std::ptrdiff_t>(line.endChar),
                        [&](const RefChar& c) { return c.start == end; });
        ASSERT_TRUE(between) << "selection end inside a character at " << end;
    }
    CheckPaintAgreesWithHits(s, ref);
}

// After an operation that scrolls the caret into view, its cell is inside the text area.
void CheckCaretVisible(const EditState& s) {
    const LineLocation at = LocateLine(s.model, s.model.caret);
    int32_t column = VisualColumn(s, at.line, at.offset), row = 0;
    if (s.view.wordWrap) {
        row = std::min(column / ColumnsPerRow(s), s.model.lines[at.line].rows - 1);
        column -= row * ColumnsPerRow(s);
    }
    const int64_t top = (s.model.lines.firstRow(at.line) + row) * int64_t{s.view.lineHeight};
    if (s.view.clientHeight >= s.view.lineHeight) {
        EXPECT_LE(s.view.scrollY, top);
        EXPECT_LE(top + s.view.lineHeight, s.view.scrollY + s.view.clientHeight);
    }
    const int32_t textWidth = s.view.clientWidth - 2 * s.view.margin - ShownGutter(s.view);
    if (!s.view.wordWrap && textWidth >= s.view.charWidth) {
        const int32_t x = column * s.view.charWidth;
        EXPECT_LE(s.view.scrollX, x);
        EXPECT_LE(x + s.view.charWidth, s.view.scrollX + textWidth);
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
        // Lone surrogates from a file stay as they are, one character each.
        s_ = MakeEdit(u"\xDC00" + Pieces(c.startPieces) + u"\xD800", c.view);
        s_.view.insertSpaces = c.insertSpaces;
        s_.view.tabWidth = c.tabWidth;
        Relayout(s_);
        timeline_.push_back(s_.model.text.substr(0));
    }

    void Step() {
        const std::u16string before = s_.model.text.substr(0);
        int32_t low = SelectionLow(s_.model), high = SelectionHigh(s_.model);
        const int32_t caret = s_.model.caret;
        const size_t undoBefore = s_.history.undoHistory.size();
        const int op = Pick(100);
        bool scrolls = true;
        bool history = false;
        std::u16string inserted;
        if (op < 25) {
            const std::u16string typed = RandomTyping();
            inserted = typed;
            if (typed.size() == 1 && typed[0] < 32 && typed[0] != u'\t' && typed[0] != u'\r')
                inserted.clear();
            else if (typed == u"\r")
                inserted = u"\r\n";
            else if (typed == u"\t" && s_.view.insertSpaces)
                inserted = std::u16string(static_cast<size_t>(TabStop(s_.view)), u' ');
            else if (LoneSurrogates(typed) > 0) // a half on its own is dropped
                inserted.erase(std::remove_if(inserted.begin(), inserted.end(),
                                              [](char16_t u) { return IsHigh(u) || IsLow(u); }),
                               inserted.end());
            for (const char16_t unit : typed)
                TypeCharMessage(s_, unit);
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
            const int32_t anchor = Pick(TextLength(s_.model) + 6) - 3;
            const int32_t active =
                op == 52 ? Pick(TextLength(s_.model) + 1) : anchor + Pick(11) - 5;
            SetSelection(s_, anchor, active);
        } else if (op < 80) {
            const EditKey keys[] = {EditKey::Left, EditKey::Right, EditKey::Up,
                                    EditKey::Down, EditKey::Home,  EditKey::End};
            HandleKeyDown(s_, keys[Pick(6)], Pick(2) == 0, Pick(3) == 0);
        } else if (op < 88) {
            const int32_t x = Pick(s_.view.clientWidth + 40) - 20,
                          y = Pick(s_.view.clientHeight + 40) - 20;
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
            low = Pick(TextLength(s_.model) + 1);
            high = std::min(low + Pick(4), TextLength(s_.model));
            inserted = RandomText(4);
            ReplaceRange(s_, low, high, inserted);
            // Surrogate pairs are replaced whole or not at all.
            auto inPair = [&](int32_t p) {
                return p > 0 && p < static_cast<int32_t>(before.size()) && IsLow(before[p]) &&
                       IsHigh(before[p - 1]);
            };
            low -= inPair(low);
            high += inPair(high);
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
            EXPECT_EQ(s_.model.text, before.substr(0, low) + inserted + before.substr(high));
        }
        if (!history) {
            EXPECT_LE(LoneSurrogates(s_.model.text.substr(0)), LoneSurrogates(before))
                << "an edit cut a pair";
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
        while (!s_.history.undoHistory.empty())
            Undo(s_);
        EXPECT_EQ(s_.model.text, timeline_.front());
        CheckLayout(s_);
        while (!s_.history.redoHistory.empty())
            Redo(s_);
        EXPECT_EQ(s_.model.text, timeline_.back());
        CheckLayout(s_);
    }

  private:
    int32_t Pick(int32_t n) { return std::uniform_int_distribution<int32_t>(0, n - 1)(rng_); }

    // What one key press types, as character messages: Enter arrives as CR,
    // other control units must be ignored, a character beyond the BMP comes
    // as two halves, and a half on its own is dropped.
    std::u16string RandomTyping() {
        static const std::u16string typed[] = {u"a",
                                               u"Z",
                                               u"_",
                                               u" ",
                                               u".",
                                               u"\t",
                                               u"\r",
                                               u"\u00e9",
                                               u"\u4e2d",
                                               u"\u0301",
                                               u"\U0001F600",
                                               u"\U00020000",
                                               u"\xD83D"
                                               u"a",
                                               u"\xDE00",
                                               u"\u05d0",
                                               u"\u200d",
                                               u"\x08",
                                               u"\x1b"};
        return typed[Pick(static_cast<int32_t>(std::size(typed)))];
    }

    std::u16string RandomText(int32_t maxPieces) { return Pieces(Pick(maxPieces + 1)); }

    std::u16string Pieces(int32_t count) {
        static const std::u16string pieces[] = {
            u"a",      u"b",      u"z",          u"_",          u"7",
            u" ",      u".",      u"\t",         u"\r",         u"\n",
            u"\r\n",   u"\u00e9", u"\u4e2d",     u"\U0001F600", u"e\u0301",
            u"\u0301", u"\uff21", u"\U00020000", u"\u05d0",     u"\u2764\ufe0f",
            u"\u200d", u"\u0e01", u"\U0001F1EF", u"\u00a9",     u"\u1100",
            u"\u1161", u"\u0600", u"1\u20e3"};
        std::u16string text;
        for (int32_t i = count; i > 0; --i)
            text += pieces[Pick(static_cast<int32_t>(std::size(pieces)))];
        return text;
    }

    // Without a selection, the character at the caret went.
    void CheckDeletion(const std::u16string& before, int32_t low, int32_t high, int32_t caret,
                       bool forward) {
        if (low != high) {
            EXPECT_EQ(s_.model.text, before.substr(0, low) + before.substr(high));
            return;
        }
        int32_t from = caret, to = caret;
        for (const RefChar& c : RefCharacters(before)) {
            if (forward && c.start == caret)
                to = c.end;
            if (!forward && c.end == caret)
                from = c.start;
        }
        // Backspace may take a letter's last combining mark alone.
        const int32_t lastCodePoint =
            caret - (caret >= 2 && IsLow(before[caret - 1]) && IsHigh(before[caret - 2]) ? 2 : 1);
        const bool lostOneCodePoint =
            s_.model.text.size() + static_cast<size_t>(caret - lastCodePoint) == before.size();
        if (!forward && from < lastCodePoint && lostOneCodePoint) {
            const GraphemeBreak mark = GraphemeBreakOf(CodePointAt(before, lastCodePoint));
            EXPECT_TRUE(mark == GraphemeBreak::Extend || mark == GraphemeBreak::SpacingMark);
            from = lastCodePoint;
        }
        EXPECT_EQ(s_.model.text, before.substr(0, from) + before.substr(to));
        // What is left may join into one character around the caret.
        int32_t expected = from;
        for (const RefChar& c : RefCharacters(s_.model.text.substr(0)))
            if (c.start < from && from < c.end)
                expected = c.end;
        EXPECT_EQ(s_.model.caret, expected);
    }

    // timeline_[k] is the text with k undo records applied.
    void Record(const std::u16string& before, int32_t low, int32_t high, size_t undoBefore,
                bool history) {
        const size_t undoAfter = s_.history.undoHistory.size();
        if (!history && undoAfter != undoBefore) {
            timeline_.resize(undoBefore + 1);
            if (undoAfter == undoBefore + 2)
                timeline_.push_back(before.substr(0, low) + before.substr(high));
            timeline_.push_back(s_.model.text.substr(0));
        }
        ASSERT_LT(undoAfter, timeline_.size());
        EXPECT_EQ(s_.model.text, timeline_[undoAfter]);
        // An edit that recorded nothing still ends what redo could bring back.
        if (s_.history.redoHistory.empty())
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
