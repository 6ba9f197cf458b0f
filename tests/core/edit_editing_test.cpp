#include "edit_fixture.h"

#include "editctl/editing.h"

#include <gtest/gtest.h>

namespace {

void Place(EditState& s, int32_t anchor, int32_t caret) {
    s.model.anchor = anchor;
    s.model.caret = caret;
}

TEST(EditEditing, BackspaceAndDeleteTakeCrLfAsOneUnit) {
    EditState s = MakeEdit(u"a\r\nb\nc\rd\r");
    Place(s, 3, 3);
    DeleteAtCaret(s, false);
    EXPECT_EQ(s.model.text, u"ab\nc\rd\r");
    EXPECT_EQ(s.model.caret, 1);
    EXPECT_EQ(s.history.undoHistory.back().text, u"\r\n");
    Place(s, 3, 3);
    DeleteAtCaret(s, false); // lone LF
    EXPECT_EQ(s.model.text, u"abc\rd\r");
    Place(s, 4, 4);
    DeleteAtCaret(s, false); // lone CR
    EXPECT_EQ(s.model.text, u"abcd\r");
    Place(s, 4, 4);
    DeleteAtCaret(s, true); // a CR at the very end stands alone
    EXPECT_EQ(s.model.text, u"abcd");

    EditState f = MakeEdit(u"x\r\ny\r\r\n");
    Place(f, 1, 1);
    DeleteAtCaret(f, true);
    EXPECT_EQ(f.model.text, u"xy\r\r\n");
    EXPECT_EQ(f.model.caret, 1);
    Place(f, 2, 2);
    DeleteAtCaret(f, true); // CR before CR LF: only the first CR
    EXPECT_EQ(f.model.text, u"xy\r\n");
    EXPECT_EQ(f.history.undoHistory.size(), 2u);
}

TEST(EditEditing, DeletingNothingStillFinishesAsAnEdit) {
    EditState s = MakeEdit(u"ab");
    Place(s, 2, 2);
    TypeCharacter(s, u'c');
    Undo(s);
    TakeEffects(s);
    s.history.modified = false;
    Place(s, 0, 0);
    DeleteAtCaret(s, false);
    EXPECT_EQ(s.model.text, u"ab");
    EXPECT_TRUE(s.history.redoHistory.empty());
    EXPECT_TRUE(s.history.modified);
    EXPECT_EQ(TakeEffects(s).notify, EditNotify::Change);
    EXPECT_TRUE(s.history.undoHistory.empty());
}

TEST(EditEditing, TypingOverASelectionUndoesInTwoSteps) {
    EditState s = MakeEdit(u"0123 abc z");
    Place(s, 8, 5);
    TypeCharacter(s, u'x');
    EXPECT_EQ(s.model.text, u"0123 x z");
    ASSERT_EQ(s.history.undoHistory.size(), 2u);
    EXPECT_EQ(s.history.undoHistory[0].kind, UndoKind::Delete);
    EXPECT_EQ(s.history.undoHistory[0].position, 5);
    EXPECT_EQ(s.history.undoHistory[0].text, u"abc");
    EXPECT_EQ(s.history.undoHistory[1].kind, UndoKind::Insert);
    EXPECT_EQ(s.history.undoHistory[1].text, u"x");

    s.history.modified = false;
    Undo(s);
    EXPECT_EQ(s.model.text, u"0123  z");
    EXPECT_EQ(s.model.caret, 5);
    Undo(s);
    EXPECT_EQ(s.model.text, u"0123 abc z");
    EXPECT_EQ(s.model.caret, 8);
    EXPECT_EQ(s.model.anchor, 8); // restored text is not selected
    EXPECT_FALSE(s.history.modified);
    EXPECT_EQ(TakeEffects(s).notify, EditNotify::Change);

    Undo(s); // empty history: nothing at all
    EXPECT_EQ(TakeEffects(s).notify, EditNotify::None);
}

TEST(EditEditing, RedoReplaysUntilTheNextEdit) {
    EditState s = MakeEdit(u"ab");
    Place(s, 1, 1);
    ReplaceSelection(s, u"XYZ");
    Undo(s);
    EXPECT_EQ(s.model.text, u"ab");
    Redo(s);
    EXPECT_EQ(s.model.text, u"aXYZb");
    EXPECT_EQ(s.model.caret, 4);
    Undo(s);
    EXPECT_EQ(s.model.text, u"ab");

    Place(s, 0, 2);
    DeleteAtCaret(s, true);
    Undo(s);
    Redo(s); // redoing a deletion removes the text again
    EXPECT_EQ(s.model.text, u"");
    Undo(s);
    EXPECT_EQ(s.history.redoHistory.size(), 1u);
    TypeCharacter(s, u'q');
    EXPECT_TRUE(s.history.redoHistory.empty());
    Redo(s);
    EXPECT_EQ(s.model.text, u"abq");
}

TEST(EditEditing, TypingRule) {
    EditState s = MakeEdit(u"");
    TypeCharacter(s, 9);
    s.view.insertSpaces = true;
    TypeCharacter(s, 9);
    s.view.tabWidth = 0; // counts as 4, whatever the column
    TypeCharacter(s, 9);
    s.view.tabWidth = 2;
    TypeCharacter(s, 9);
    TypeCharacter(s, 13);
    for (char16_t ignored : {char16_t{8}, char16_t{10}, char16_t{27}, char16_t{1}})
        TypeCharacter(s, ignored);
    TypeCharacter(s, 0xD83D); // a surrogate pair arrives as two units
    TypeCharacter(s, 0xDE00);
    EXPECT_EQ(s.model.text, u"\t"
                            u"    "
                            u"    "
                            u"  "
                            u"\r\n"
                            u"\U0001F600");
    EXPECT_EQ(s.history.undoHistory.size(), 7u);
    EXPECT_EQ(s.model.caret, static_cast<int32_t>(s.model.text.size()));
}

TEST(EditEditing, DeleteSelectionNeedsASelection) {
    EditState s = MakeEdit(u"abc");
    Place(s, 1, 1);
    DeleteSelection(s);
    EXPECT_EQ(s.model.text, u"abc");
    EXPECT_EQ(TakeEffects(s).notify, EditNotify::None);
    Place(s, 3, 1);
    DeleteSelection(s);
    EXPECT_EQ(s.model.text, u"a");
    EXPECT_EQ(TakeEffects(s).notify, EditNotify::Change);
}

} // namespace

TEST(EditEditing, TypingIntoANewTextDoesNotMoveIt) {
    // Moving a large document to a bigger block on the first keystroke
    // costs as much as opening it again.
    EditState s = MakeEdit(std::u16string(100000, u'a'));
    const size_t before = s.model.text.capacity();
    s.model.anchor = s.model.caret = 50000;
    for (int i = 0; i < 100; ++i)
        TypeCharacter(s, u'x');
    EXPECT_EQ(s.model.text.capacity(), before);
    EXPECT_EQ(s.model.text.size(), 100100u);
}
