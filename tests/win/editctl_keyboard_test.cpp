// Key-down and character messages as the system delivers them, with Shift
// and Ctrl in the keyboard state.
#include "tests/win/editctl_fixture.h"

using Sent = std::vector<WORD>;

TEST_F(EditCtlTest, TypingFollowsTheTypingRule) {
    Reset(u"");
    Type(u"ab\r\t");
    SendMessageW(edit, WM_CHAR, 1, 1);    // Ctrl+A's unit
    SendMessageW(edit, WM_CHAR, 0x1B, 1); // Escape
    SendMessageW(edit, WM_CHAR, 8, 1);    // Backspace acts through the key-down
    EXPECT_EQ(Text(), u"ab\r\n\t");
    EXPECT_EQ(Codes(), (Sent{CEN_CHANGE, CEN_CHANGE, CEN_CHANGE, CEN_CHANGE}));

    EditCtl_SetInsertSpaces(edit, true);
    Type(u"\t");
    EXPECT_EQ(Text(), u"ab\r\n\t    ");
    // A character outside the BMP arrives as two units.
    Type(u"\xD83D\xDE00");
    EXPECT_EQ(Text(), u"ab\r\n\t    \xD83D\xDE00");
    EXPECT_TRUE(EditCtl_IsModified(edit));
}

// The rules themselves are tested on the core; here each key must reach its
// rule with Shift and Ctrl as the key state holds them.
TEST_F(EditCtlTest, MovementKeysReadShiftAndCtrlFromTheKeyState) {
    Reset(u"foo  bar\r\nab");
    Key(VK_RIGHT, false, true);
    EXPECT_EQ(Caret(), 3);
    Key(VK_RIGHT, true);
    EXPECT_EQ(Anchor(), 3);
    EXPECT_EQ(Caret(), 4);
    Key(VK_LEFT); // collapses to the selection's start
    EXPECT_EQ(Anchor(), 3);
    EXPECT_EQ(Caret(), 3);
    Key(VK_DOWN);
    EXPECT_EQ(Caret(), 12);
    Key(VK_HOME);
    EXPECT_EQ(Caret(), 10);
    Key(VK_UP, true);
    EXPECT_EQ(Anchor(), 10);
    EXPECT_EQ(Caret(), 0);
    Key(VK_END, false, true);
    EXPECT_EQ(Caret(), 12);
    Key(VK_HOME, true, true);
    EXPECT_EQ(Anchor(), 12);
    EXPECT_EQ(Caret(), 0);
    Key(VK_END, true);
    EXPECT_EQ(Caret(), 8);
    EXPECT_EQ(Codes(), Sent(9, CEN_SELCHANGE));
}

TEST_F(EditCtlTest, UnlistedKeysAreSwallowed) {
    Reset(u"text\r\nmore");
    EditCtl_SetSelection(edit, 1, 2);
    ClearReceived();
    for (const int key : {VK_PRIOR, VK_NEXT, VK_INSERT, VK_F1, VK_ESCAPE, int{'Q'}}) {
        EXPECT_EQ(SendMessageW(edit, WM_KEYDOWN, key, 1), 0);
        Key(key, false, true);
    }
    Key('B', false, true);
    EXPECT_EQ(Text(), u"text\r\nmore");
    EXPECT_EQ(Anchor(), 1);
    EXPECT_EQ(Caret(), 2);
    EXPECT_EQ(Codes(), Sent{});
}

TEST_F(EditCtlTest, DeletionUndoAndRedoKeys) {
    Reset(u"ab\r\ncd");
    EditCtl_SetSelection(edit, 4, 4);
    ClearReceived();
    Key(VK_BACK);
    EXPECT_EQ(Text(), u"abcd");
    EXPECT_EQ(Caret(), 2);
    Key(VK_DELETE, false, true);
    EXPECT_EQ(Text(), u"abd");
    Key('Z', false, true);
    EXPECT_EQ(Text(), u"abcd");
    Key('Z', true, true); // Ctrl+Shift+Z redoes
    EXPECT_EQ(Text(), u"abd");
    Key('Z', false, true);
    Key('Z', false, true);
    EXPECT_EQ(Text(), u"ab\r\ncd");
    EXPECT_EQ(Caret(), 4);
    Key('Y', false, true);
    EXPECT_EQ(Text(), u"abcd");
    EXPECT_EQ(Codes(), Sent(7, CEN_CHANGE));

    ClearReceived();
    Key('Y', false, true);
    Key('Y', false, true); // the redo history holds one record only
    EXPECT_EQ(Text(), u"abd");
    EXPECT_EQ(Codes(), Sent{CEN_CHANGE});

    ClearReceived();
    EditCtl_SetSelection(edit, 0, 0);
    ClearReceived();
    Key(VK_BACK); // nothing before the caret: still an edit
    EXPECT_EQ(Text(), u"abd");
    EXPECT_EQ(Codes(), Sent{CEN_CHANGE});

    // Ctrl+Backspace: the key-down deletes, its DEL character is not typed.
    EditCtl_SetSelection(edit, 2, 2);
    ClearReceived();
    Key(VK_BACK, false, true);
    SendMessageW(edit, WM_CHAR, 0x7F, 1);
    EXPECT_EQ(Text(), u"ad");
    EXPECT_EQ(Codes(), Sent{CEN_CHANGE});

    ClearReceived();
    Key('A', false, true);
    EXPECT_EQ(Anchor(), 0);
    EXPECT_EQ(Caret(), 2);
    EXPECT_EQ(Codes(), Sent{CEN_SELCHANGE});
}
