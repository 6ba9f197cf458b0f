#include "edit_fixture.h"

#include "editctl/clipboard_text.h"
#include "editctl/editing.h"
#include "editctl/keys.h"
#include "editctl/mouse.h"
#include "editctl/scroll_bars.h"
#include "editctl/words.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

std::pair<int32_t, int32_t> Selection(const EditState& s) {
    return {s.model.anchor, s.model.caret};
}

void Press(EditState& s, EditKey key, bool shift = false, bool ctrl = false) {
    HandleKeyDown(s, key, shift, ctrl);
}

TEST(EditWords, CtrlArrowsStopAtRunEnds) {
    EditState s = MakeEdit(u"foo  bar");
    Press(s, EditKey::Right, false, true);
    EXPECT_EQ(s.model.caret, 3);
    Press(s, EditKey::Right, false, true);
    EXPECT_EQ(s.model.caret, 8);
    Press(s, EditKey::Left, false, true);
    EXPECT_EQ(s.model.caret, 5);
    Press(s, EditKey::Left, false, true);
    EXPECT_EQ(s.model.caret, 0);

    EditState p = MakeEdit(u"a.b");
    EXPECT_EQ(WordLeft(p.model, 3), 2);
    EXPECT_EQ(WordLeft(p.model, 2), 1);
    EXPECT_EQ(WordLeft(p.model, 1), 0);
    EXPECT_EQ(WordLeft(p.model, 99), 2);

    // Breaks are blanks; non-ASCII letters are punctuation.
    EditState b = MakeEdit(u"ab\r\n  cd caf\u00e9!");
    EXPECT_EQ(WordRight(b.model, 2), 8);
    EXPECT_EQ(WordLeft(b.model, 6), 0);
    EXPECT_EQ(WordRight(b.model, 9), 12);
    EXPECT_EQ(WordRight(b.model, 12), 14);
    EXPECT_EQ(WordRight(b.model, 14), 14);
    EXPECT_EQ(WordLeft(MakeEdit(u"   ").model, 2), 0);
}

TEST(EditWords, SelectWordAtTakesOneRunOfItsLine) {
    EditState s = MakeEdit(u"a...b   c\r\n\r\nxx foo");
    SelectWordAt(s.model, 2);
    EXPECT_EQ(Selection(s), std::pair(1, 4));
    SelectWordAt(s.model, 6);
    EXPECT_EQ(Selection(s), std::pair(5, 8));
    SelectWordAt(s.model, 10); // on the break: the line's last character
    EXPECT_EQ(Selection(s), std::pair(8, 9));
    SelectWordAt(s.model, 11); // empty line
    EXPECT_EQ(Selection(s), std::pair(11, 11));
    SelectWordAt(s.model, 99);
    EXPECT_EQ(Selection(s), std::pair(16, 19));
}

TEST(EditKeys, LeftAndRight) {
    EditState s = MakeEdit(u"ab\r\ncd\ne");
    s.model.anchor = 1;
    s.model.caret = 5;
    Press(s, EditKey::Left); // collapses without moving further
    EXPECT_EQ(Selection(s), std::pair(1, 1));
    Press(s, EditKey::Left, true);
    EXPECT_EQ(Selection(s), std::pair(1, 0));
    Press(s, EditKey::Right); // collapses to the upper end
    EXPECT_EQ(Selection(s), std::pair(1, 1));
    Press(s, EditKey::Right);
    Press(s, EditKey::Right); // over CR LF at once
    EXPECT_EQ(s.model.caret, 4);
    Press(s, EditKey::Left);
    EXPECT_EQ(s.model.caret, 2);
    s.model.anchor = s.model.caret = 7;
    Press(s, EditKey::Left); // a lone LF is one unit
    EXPECT_EQ(s.model.caret, 6);
    s.model.anchor = s.model.caret = 0;
    Press(s, EditKey::Left, true);
    EXPECT_EQ(Selection(s), std::pair(0, 0));
    EXPECT_EQ(TakeEffects(s).notify, EditNotify::SelChange);
}

TEST(EditKeys, UpDownHomeEnd) {
    EditState s = MakeEdit(u"01234567890123456789\r\nabcd\r\n0123456789xyz");
    s.model.anchor = s.model.caret = 28 + 10;
    Press(s, EditKey::Up);
    EXPECT_EQ(s.model.caret, 26); // end of the 4-unit line
    Press(s, EditKey::Up);
    EXPECT_EQ(s.model.caret, 4); // its offset, not the earlier 10
    Press(s, EditKey::Up, true);
    EXPECT_EQ(Selection(s), std::pair(4, 4));
    s.model.anchor = 0;
    Press(s, EditKey::Up); // first line: stays, but collapses
    EXPECT_EQ(Selection(s), std::pair(4, 4));
    Press(s, EditKey::Down, true);
    Press(s, EditKey::Down, true);
    Press(s, EditKey::Down, true);
    EXPECT_EQ(Selection(s), std::pair(4, 32));
    Press(s, EditKey::Home);
    EXPECT_EQ(Selection(s), std::pair(28, 28));
    Press(s, EditKey::End, true);
    EXPECT_EQ(Selection(s), std::pair(28, 41));
    Press(s, EditKey::Up);
    Press(s, EditKey::End);
    EXPECT_EQ(s.model.caret, 26); // before the break
    Press(s, EditKey::Home, true, true);
    EXPECT_EQ(Selection(s), std::pair(26, 0));
    Press(s, EditKey::End, false, true);
    EXPECT_EQ(Selection(s), std::pair(41, 41));
}

TEST(EditKeys, ControlLetters) {
    EditState s = MakeEdit(u"one\r\ntwo", {200, 20, false, true});
    Press(s, EditKey::A, true, true);
    EXPECT_EQ(Selection(s), std::pair(0, 8));
    EXPECT_EQ(s.view.scrollY, 0); // Select All does not scroll
    EXPECT_EQ(TakeEffects(s).notify, EditNotify::SelChange);
    EXPECT_EQ(HandleKeyDown(s, EditKey::C, false, true), ClipboardAction::Copy);
    EXPECT_EQ(HandleKeyDown(s, EditKey::X, false, true), ClipboardAction::Cut);
    EXPECT_EQ(HandleKeyDown(s, EditKey::V, false, true), ClipboardAction::Paste);
    EXPECT_EQ(HandleKeyDown(s, EditKey::V, false, false), ClipboardAction::None);
    Press(s, EditKey::A); // without Ctrl the character message types it
    EXPECT_EQ(Selection(s), std::pair(0, 8));

    Press(s, EditKey::Backspace, true, true);
    EXPECT_EQ(s.model.text, u"");
    Press(s, EditKey::Z, false, true);
    EXPECT_EQ(s.model.text, u"one\r\ntwo");
    Press(s, EditKey::Z, true, true);
    EXPECT_EQ(s.model.text, u"");
    Press(s, EditKey::Z, false, true);
    Press(s, EditKey::Y, false, true);
    EXPECT_EQ(s.model.text, u"");
    EXPECT_EQ(TakeEffects(s).notify, EditNotify::Change);
}

TEST(EditClipboardText, PasteMakesLoneLineFeedsCrLf) {
    EXPECT_EQ(NormalizePastedBreaks(u"a\nb"), u"a\r\nb");
    EXPECT_EQ(NormalizePastedBreaks(u"a\rb\r\n\n"), u"a\rb\r\n\r\n");
    EXPECT_EQ(NormalizePastedBreaks(u"\n"), u"\r\n");

    EditState s = MakeEdit(u"abcd");
    s.model.anchor = 1;
    s.model.caret = 3;
    std::u16string written(3, u'?');
    WriteSelection(s.model, written.data());
    EXPECT_EQ(written, std::u16string(u"bc\0", 3)); // with its terminating zero
    PasteText(s, u"");                              // still deletes the selection
    EXPECT_EQ(s.model.text, u"ad");
    EXPECT_EQ(TakeEffects(s).notify, EditNotify::Change);
    PasteText(s, u"x\ny");
    EXPECT_EQ(s.model.text, u"ax\r\nyd");
    EXPECT_EQ(s.model.caret, 5);
    EXPECT_EQ(s.model.anchor, 5);
}

TEST(EditMouse, QuickPressesCycleCaretWordLine) {
    EditState s = MakeEdit(u"one two\r\nthree", {400, 300, false, false});
    const ClickLimits limits;
    const int32_t x = 4 + 5 * 8, y = 4; // inside "two"
    MouseButtonDown(s, x, y, 1000, limits, false);
    EXPECT_EQ(Selection(s), std::pair(5, 5));
    MouseDoubleClick(s, x, y);
    EXPECT_EQ(Selection(s), std::pair(4, 7));
    MouseButtonDown(s, x + 1, y, 1200, limits, false);
    EXPECT_EQ(Selection(s), std::pair(5, 5));
    MouseDoubleClick(s, x, y);
    MouseButtonDown(s, x, y, 1400, limits, false);
    EXPECT_EQ(Selection(s), std::pair(0, 7)); // the line, not its break
    EXPECT_EQ(s.input.clickCount, 0);

    MouseButtonDown(s, x, y, 1500, limits, false); // counting starts over
    MouseButtonDown(s, x + 5, y, 1600, limits, false);
    MouseButtonDown(s, x + 5, y, 2200, limits, false);
    EXPECT_EQ(s.input.clickCount, 1);
    MouseButtonDown(s, 4 + 2 * 8, 4 + 16, 9000, limits, true); // Shift extends
    EXPECT_EQ(Selection(s), std::pair(5, 11));
    MouseMove(s, 4, 4);
    EXPECT_EQ(Selection(s), std::pair(5, 0));
    MouseButtonUp(s);
    MouseMove(s, 4 + 8, 4);
    EXPECT_EQ(s.model.caret, 0);
    EXPECT_EQ(TakeEffects(s).notify, EditNotify::SelChange);
}

TEST(EditMouse, WheelAndScrollBars) {
    EXPECT_EQ(WheelStepRows(3, 0.25), 1);
    EXPECT_EQ(WheelStepRows(3, 0.5), 2);
    EXPECT_EQ(WheelStepRows(3, 1.0), 3);
    EXPECT_EQ(WheelStepRows(3, 2.0), 6);
    EXPECT_EQ(WheelStepRows(0, 2.0), 6);
    EXPECT_EQ(WheelStepRows(std::numeric_limits<uint32_t>::max(), 2.0), 6);
    EXPECT_EQ(WheelStepRows(3, 0), 1);
    EXPECT_EQ(WheelStepRows(3, std::nan("")), 1);
    EXPECT_EQ(WheelStepRows(3, 1e300), std::numeric_limits<int32_t>::max());

    std::u16string text;
    for (int i = 0; i < 100; ++i)
        text += u"line\r\n";
    EditState s = MakeEdit(text, {400, 160, false, true});
    MouseWheel(s, -60, 3); // less than a notch
    EXPECT_EQ(TakeEffects(s).notify, EditNotify::None);
    MouseWheel(s, -240, 3);
    EXPECT_EQ(s.view.scrollY, 2 * 6 * 16);
    EXPECT_EQ(s.model.caret, 0);
    EXPECT_EQ(TakeEffects(s).notify, EditNotify::Scroll);
    s.view.scrollSpeed = 1e300;
    MouseWheel(s, -120, 3);
    EXPECT_EQ(s.view.scrollY, 4 + 101 * 16 - 160);
    MouseWheel(s, 120, 3);
    EXPECT_EQ(s.view.scrollY, 0);

    TakeEffects(s);
    EXPECT_TRUE(ScrollByRequest(s, false, ScrollRequest::ThumbTrack, 99999));
    EXPECT_EQ(s.view.scrollY, 4 + 101 * 16 - 160);
    EXPECT_EQ(TakeEffects(s).notify, EditNotify::None);
    EXPECT_FALSE(ScrollByRequest(s, false, ScrollRequest::PageDown, 0));
    EXPECT_TRUE(ScrollByRequest(s, false, ScrollRequest::LineUp, 0));
    EXPECT_EQ(s.view.scrollY, 4 + 101 * 16 - 160 - 3 * 16);
    EXPECT_TRUE(ScrollBarActive(s, true));
    SetWordWrap(s, true);
    EXPECT_FALSE(ScrollBarActive(s, true));
}

} // namespace
