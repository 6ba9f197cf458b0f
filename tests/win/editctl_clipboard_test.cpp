// Copy and paste through the real clipboard.
#include "tests/win/editctl_fixture.h"
#include "winkit/win_handles.h"

#include <thread>

using Sent = std::vector<WORD>;

TEST_F(EditCtlTest, CopyAndCutKeepTheTextsOwnBreaks) {
    Reset(u"one\r\ntwo\rthree");
    // An edit leaves the text's gap inside the selection.
    EditCtl_SetSelection(edit, 6, 6);
    Type(u"w");
    Key(VK_BACK);
    EditCtl_SetSelection(edit, 1, 11);
    ClearReceived();
    EditCtl_Copy(edit);
    EXPECT_EQ(ClipboardText(), u"ne\r\ntwo\rth");
    EXPECT_EQ(Codes(), Sent{});

    // Nothing selected: the clipboard keeps what it had.
    EditCtl_SetSelection(edit, 2, 2);
    Key('C', false, true);
    EXPECT_EQ(ClipboardText(), u"ne\r\ntwo\rth");

    EditCtl_SetSelection(edit, 5, 8);
    ClearReceived();
    Key('X', false, true);
    EXPECT_EQ(ClipboardText(), u"two");
    EXPECT_EQ(Text(), u"one\r\n\rthree");
    EXPECT_EQ(Codes(), Sent{CEN_CHANGE});

    EditCtl_SetSelection(edit, 0, 3);
    ClearReceived();
    EditCtl_Cut(edit);
    EXPECT_EQ(ClipboardText(), u"one");
    EXPECT_EQ(Text(), u"\r\n\rthree");
    EXPECT_EQ(Codes(), Sent{CEN_CHANGE});
}

TEST_F(EditCtlTest, PasteMakesLoneLineFeedsCrLf) {
    Reset(u"[]");
    EditCtl_SetSelection(edit, 1, 1);
    ASSERT_TRUE(SetClipboardText(u"a\nb"));
    ClearReceived();
    EditCtl_Paste(edit);
    EXPECT_EQ(Text(), u"[a\r\nb]");
    EXPECT_EQ(Caret(), 5);
    EXPECT_EQ(Codes(), Sent{CEN_CHANGE});

    ASSERT_TRUE(SetClipboardText(u"c\rd\r\ne\n\n"));
    Key('V', false, true);
    EXPECT_EQ(Text(), u"[a\r\nbc\rd\r\ne\r\n\r\n]");

    // One undo takes the whole paste back.
    Key('Z', false, true);
    EXPECT_EQ(Text(), u"[a\r\nb]");
}

TEST_F(EditCtlTest, PasteWithoutTextChangesNothing) {
    Reset(u"abc");
    EditCtl_SetSelection(edit, 0, 2);
    ASSERT_TRUE(SetClipboardText(u"", true)); // no data at all
    ClearReceived();
    EditCtl_Paste(edit);
    Key('V', false, true);
    EXPECT_EQ(Text(), u"abc");
    EXPECT_EQ(Anchor(), 0);
    EXPECT_EQ(Caret(), 2);
    EXPECT_EQ(Codes(), Sent{});
    EXPECT_FALSE(EditCtl_IsModified(edit));

    // An empty text is still text: the selection goes.
    ASSERT_TRUE(SetClipboardText(u""));
    EditCtl_Paste(edit);
    EXPECT_EQ(Text(), u"c");
    EXPECT_EQ(Codes(), Sent{CEN_CHANGE});
}

TEST_F(EditCtlTest, ClipboardRoundTripBetweenControls) {
    HWND other = EditCtl_Create(parent, 0, 0, 200, 100, 102, GetModuleHandleW(nullptr));
    ASSERT_NE(other, nullptr);
    const std::u16string text = u"tab\there\r\nnon-BMP \xD83D\xDE00 and lone \r end";
    Reset(text);
    EditCtl_SelectAll(edit);
    EditCtl_Copy(edit);
    EditCtl_Paste(other);
    EXPECT_EQ(EditCtl_GetText(other), text);
    DestroyWindow(other);
}

TEST_F(EditCtlTest, CutKeepsTheTextWhenTheClipboardIsBusy) {
    Reset(u"keep me");
    EditCtl_SetSelection(edit, 0, 4);
    // Another thread holds the clipboard open, so the copy cannot happen.
    const FileHandle openedEvent(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    const FileHandle releaseEvent(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    HANDLE opened = openedEvent.get();
    HANDLE release = releaseEvent.get();
    std::thread holder([&] {
        const bool held = OpenClipboard(nullptr);
        SetEvent(opened);
        WaitForSingleObject(release, 5000);
        if (held)
            CloseClipboard();
    });
    WaitForSingleObject(opened, 5000);
    ClearReceived();
    EditCtl_Cut(edit);
    Key('X', false, true);
    SetEvent(release);
    holder.join();
    EXPECT_EQ(Text(), u"keep me");
    EXPECT_EQ(Codes(), Sent{});
}
