// Wide characters, marks and tabs on the cell grid: wrapping, painting and
// clicks agree on where each character stands; the caret steps and deletes
// whole characters.
#include "edit_fixture.h"

#include "editctl/keys.h"
#include "editctl/layout.h"
#include "editctl/mouse.h"
#include "editctl/paint_plan.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr int32_t kCell = 8;
constexpr int32_t kRow = 16;
constexpr int32_t kMargin = 4;

// No gutter: `cells` cells per row.
EditView Wrapped(int32_t cells) {
    return {cells * kCell + 2 * kMargin, 600, true, false};
}

// Client point inside cell (column, row) of the text.
int32_t HitCell(const EditState& s, int32_t column, int32_t row) {
    return HitTest(s, kMargin + column * kCell + kCell / 2, kMargin + row * kRow + kRow / 2);
}

struct Drawn {
    int32_t column;
    int32_t row;
    std::u16string text;
    int32_t cells;
};

std::vector<Drawn> Runs(const EditState& s) {
    std::vector<Drawn> drawn;
    for (const TextRun& run : PlanPaint(s).runs)
        drawn.push_back(
            {(run.x - kMargin) / kCell, (run.top - kMargin) / kRow, run.text, run.cells});
    return drawn;
}

TEST(CharacterLayout, AWideCharacterNeverSplitsAcrossRows) {
    const std::u16string line = std::u16string(79, u'x') + u"\u4e2d" + u"y";
    EditState s = MakeEdit(line, Wrapped(80));
    EXPECT_EQ(s.model.lines[0].rows, 2);
    // The ideograph starts the second row; the first row's last cell stays empty.
    EXPECT_EQ(VisualColumn(s, 0, 79), 80);
    EXPECT_EQ(OffsetAtColumn(s, 0, 79), 79);
    const std::vector<Drawn> runs = Runs(s);
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[1].column, 0);
    EXPECT_EQ(runs[1].row, 1);
    EXPECT_EQ(runs[1].text, u"\u4e2dy");
    EXPECT_EQ(runs[1].cells, 3);
    // Both halves of the ideograph and the empty cell before it click before it.
    EXPECT_EQ(HitCell(s, 79, 0), 79);
    EXPECT_EQ(HitCell(s, 0, 1), 79);
    EXPECT_EQ(HitCell(s, 1, 1), 79);
    EXPECT_EQ(HitCell(s, 2, 1), 80);
    s.model.caret = s.model.anchor = 80;
    PlaceCaret(s);
    EXPECT_EQ(s.effects.caretX, kMargin + 2 * kCell);
    EXPECT_EQ(s.effects.caretY, kMargin + kRow);
}

TEST(CharacterLayout, WidthsCountCellsNotUnits) {
    // Ideographs, a fullwidth letter, an emoji pair, e with a combining acute.
    EditState s = MakeEdit(u"\u4e2d\u6587\uff21\U0001F600e\u0301|");
    EXPECT_EQ(s.model.lines.maxLineWidth(), 10 * kCell);
    const int32_t columns[] = {0, 2, 4, 6, 6, 8, 8, 9, 10};
    for (int32_t offset = 0; offset <= 8; ++offset)
        EXPECT_EQ(VisualColumn(s, 0, offset), columns[offset]) << offset;
    EXPECT_EQ(OffsetAtColumn(s, 0, 3), 1);
    EXPECT_EQ(OffsetAtColumn(s, 0, 7), 3);
    EXPECT_EQ(OffsetAtColumn(s, 0, 8), 5);
    const PaintPlan plan = PlanPaint(s);
    ASSERT_EQ(plan.runs.size(), 1u);
    const TextRun& run = plan.runs[0];
    EXPECT_EQ(run.cells, 10);
    // Everything but the final bar is drawn apart from the one-cell units.
    ASSERT_EQ(run.characters.size(), 5u);
    EXPECT_EQ(run.characters[3].index, 3);
    EXPECT_EQ(run.characters[3].units, 2);
    EXPECT_EQ(run.characters[3].cell, 6);
    EXPECT_TRUE(run.characters[3].alone);
    EXPECT_EQ(run.characters[4].units, 2);
    EXPECT_EQ(run.characters[4].cells, 1);
}

TEST(CharacterLayout, ATabAtARowsEndEndsThereForPaintAndClicks) {
    // 51 cells a row, tab stops every 4: the tab at column 49 would reach 52.
    EditState s = MakeEdit(std::u16string(49, u'a') + u"\t0123", Wrapped(51));
    EXPECT_EQ(s.model.lines[0].rows, 2);
    const std::vector<Drawn> runs = Runs(s);
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0].text, std::u16string(49, u'a') + u"  ");
    EXPECT_EQ(runs[1].column, 0);
    EXPECT_EQ(runs[1].text, u"0123");
    EXPECT_EQ(HitCell(s, 50, 0), 49);
    for (int32_t digit = 0; digit < 4; ++digit)
        EXPECT_EQ(HitCell(s, digit, 1), 50 + digit);
    s.model.caret = s.model.anchor = 52;
    PlaceCaret(s);
    EXPECT_EQ(s.effects.caretX, kMargin + 2 * kCell);
    EXPECT_EQ(s.effects.caretY, kMargin + kRow);
}

TEST(CharacterLayout, RightToLeftCharactersKeepTheirCells) {
    EditState s = MakeEdit(u"a\u05d0\u05d1\u0644\u064eb");
    EXPECT_EQ(VisualColumn(s, 0, 6), 5); // the Arabic fatha rides on its letter
    const TextRun run = PlanPaint(s).runs.at(0);
    ASSERT_EQ(run.characters.size(), 3u);
    for (const RunCharacter& c : run.characters)
        EXPECT_TRUE(c.alone);
    EXPECT_EQ(run.characters[2].units, 2);
}

void Press(EditState& s, EditKey key, bool shift = false, bool ctrl = false) {
    HandleKeyDown(s, key, shift, ctrl);
}

TEST(CharacterEditing, ArrowsAndDeletionTakeWholeCharacters) {
    EditState s = MakeEdit(u"\U0001F600\U0001F600");
    SetSelection(s, 4, 4);
    Press(s, EditKey::Backspace);
    EXPECT_EQ(s.model.text, u"\U0001F600");
    Press(s, EditKey::Left);
    EXPECT_EQ(s.model.caret, 0);
    Press(s, EditKey::Right, true);
    EXPECT_EQ(s.model.caret, 2);
    Press(s, EditKey::Delete);
    EXPECT_EQ(s.model.text, u"");

    // Backspace takes a letter's marks back one by one.
    s = MakeEdit(u"e\u0301\u0302x\u4e2d");
    Press(s, EditKey::Right);
    EXPECT_EQ(s.model.caret, 3);
    Press(s, EditKey::Backspace);
    EXPECT_EQ(s.model.text, u"e\u0301x\u4e2d");
    Press(s, EditKey::Backspace);
    Press(s, EditKey::Backspace);
    EXPECT_EQ(s.model.text, u"x\u4e2d");
    Press(s, EditKey::End);
    Press(s, EditKey::Backspace);
    EXPECT_EQ(s.model.text, u"x");

    // A family, a flag and a toned hand are one press each, whichever key.
    const std::u16string family = u"\U0001F468\u200D\U0001F469\u200D\U0001F467";
    s = MakeEdit(family + u"\U0001F1EF\U0001F1F5\U0001F1FA\U0001F1F8\U0001F44D\U0001F3FD");
    Press(s, EditKey::Right);
    EXPECT_EQ(s.model.caret, 8);
    Press(s, EditKey::Right, true);
    Press(s, EditKey::Right, true);
    EXPECT_EQ(s.model.caret, 16);
    Press(s, EditKey::End);
    Press(s, EditKey::Backspace);
    Press(s, EditKey::Backspace);
    EXPECT_EQ(s.model.text, family + u"\U0001F1EF\U0001F1F5");
    Press(s, EditKey::Home);
    Press(s, EditKey::Delete);
    EXPECT_EQ(s.model.text, u"\U0001F1EF\U0001F1F5");

    // A lone surrogate from a file is one character and goes whole.
    s = MakeEdit(u"\xD800"
                 u"a\xDC00");
    Press(s, EditKey::Right);
    EXPECT_EQ(s.model.caret, 1);
    Press(s, EditKey::End);
    Press(s, EditKey::Backspace);
    EXPECT_EQ(s.model.text, u"\xD800"
                            u"a");
    // Positions inside a character are taken back to its start.
    s = MakeEdit(u"a\U0001F600");
    SetSelection(s, 2, 2);
    EXPECT_EQ(s.model.caret, 1);
    // Up keeps the unit offset but never lands inside a character.
    s = MakeEdit(u"\U0001F600\U0001F600\r\nabc");
    SetSelection(s, 7, 7);
    Press(s, EditKey::Up);
    EXPECT_EQ(s.model.caret, 0);
}

TEST(CharacterEditing, WordsAndClicksKeepMarksWithTheirLetters) {
    EditState s = MakeEdit(u"cafe\u0301 \U0001F600\U0001F600.", {400, 300, false, false});
    Press(s, EditKey::Right, false, true);
    EXPECT_EQ(s.model.caret, 5);
    Press(s, EditKey::Right, false, true);
    EXPECT_EQ(s.model.caret, 11);
    Press(s, EditKey::Left, false, true);
    EXPECT_EQ(s.model.caret, 6);
    MouseDoubleClick(s, kMargin + 2 * kCell + 1, kMargin + 1); // on the f
    EXPECT_EQ(s.model.anchor, 0);
    EXPECT_EQ(s.model.caret, 5);
}

TEST(CharacterEditing, TypedSurrogateHalvesArriveAsOnePair) {
    EditState s = MakeEdit(u"ab");
    SetSelection(s, 1, 1);
    TakeEffects(s);
    TypeCharMessage(s, 0xD83D);
    EXPECT_EQ(TakeEffects(s).notify, EditNotify::None);
    TypeCharMessage(s, 0xDE00);
    EXPECT_EQ(s.model.text, u"a\U0001F600b");
    EXPECT_EQ(s.model.caret, 3);
    EXPECT_EQ(s.history.undoHistory.size(), 1u);
    // Halves without their partner are dropped.
    TypeCharMessage(s, 0xDE00);
    TypeCharMessage(s, 0xD83D);
    TypeCharMessage(s, u'x');
    EXPECT_EQ(s.model.text, u"a\U0001F600xb");
    // A letter typed before a lone mark joins it; the caret goes past both.
    s = MakeEdit(u"\u0301");
    TypeCharMessage(s, u'e');
    EXPECT_EQ(s.model.caret, 2);
}

TEST(CharacterView, AResizeKeepsAVisibleCaretInView) {
    // 49 lines filling one row each, then two more: the caret at the end is
    // in view. A scroll bar taking 17 pixels makes every full line two rows.
    std::u16string text;
    for (int i = 0; i < 49; ++i)
        text += std::u16string(50, u'x') + u"\r\n";
    EditState s = MakeEdit(text, {50 * kCell + 2 * kMargin + 2 * kCell + 16, 300, true, true});
    Press(s, EditKey::End, false, true);
    TypeCharMessage(s, u'\r');
    ASSERT_TRUE(CaretInView(s));
    SetClientSize(s, s.view.clientWidth - 17, s.view.clientHeight);
    EXPECT_EQ(s.model.lines[0].rows, 2);
    EXPECT_TRUE(CaretInView(s));
    // A caret scrolled out of view by the wheel is left where it is.
    MouseWheel(s, 120 * 20, 3);
    ASSERT_FALSE(CaretInView(s));
    SetClientSize(s, s.view.clientWidth + 17, s.view.clientHeight);
    EXPECT_EQ(s.view.scrollY, 0);
}

TEST(CharacterView, SelectAllMovesTheCaretToTheEnd) {
    EditState s = MakeEdit(u"ab\r\ncd", {400, 300, false, false});
    SelectAll(s);
    const EditEffects fx = TakeEffects(s);
    EXPECT_TRUE(fx.caret);
    EXPECT_EQ(fx.caretX, kMargin + 2 * kCell);
    EXPECT_EQ(fx.caretY, kMargin + kRow);
}

} // namespace
