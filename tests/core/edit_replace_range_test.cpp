// A range replaced in one step: undone and redone whole, next to edits that
// still take one step per record.
#include "edit_fixture.h"

#include "editctl/editing.h"

#include <gtest/gtest.h>

namespace {

TEST(EditReplaceRange, SelectsTheInsertionAndUndoesInOneStep) {
    EditState s = MakeEdit(u"hello world");
    ReplaceRange(s, 6, 11, u"there, world");
    EXPECT_EQ(s.model.text, u"hello there, world");
    EXPECT_EQ(s.model.anchor, 6);
    EXPECT_EQ(s.model.caret, 18);
    EXPECT_TRUE(s.history.modified);
    EXPECT_EQ(TakeEffects(s).notify, EditNotify::Change);
    s.model.anchor = s.model.caret = 0;
    TypeCharacter(s, u'>');
    ReplaceRange(s, 99, 2, u"!"); // clamped: an insertion at the end
    EXPECT_EQ(s.model.text, u">hello there, world!");

    Undo(s);
    Undo(s);
    Undo(s);
    EXPECT_EQ(s.model.text, u"hello world");
    EXPECT_EQ(s.model.caret, 11);
    EXPECT_TRUE(s.history.undoHistory.empty());
    Redo(s);
    EXPECT_EQ(s.model.text, u"hello there, world");
    Undo(s);
    EXPECT_EQ(s.model.text, u"hello world");
    Redo(s);
    Redo(s);
    Redo(s);
    EXPECT_EQ(s.model.text, u">hello there, world!");
    EXPECT_TRUE(s.history.redoHistory.empty());
}

} // namespace
