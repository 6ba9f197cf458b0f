// Running out of memory in any window's handling of a message ends that one
// operation with a message, never the program, and a refused or failed edit
// leaves the document as it was.
#include "allocation_failure.h"
#include "global_allocation_failure.h"
#include "tests/win/app_window_fixture.h"
#include "tests/win/editctl_fixture.h"

#include "editctl/edit_record.h"
#include "winkit/command_ids.h"

#include <functional>

namespace {

const ShownMessage kOutOfMemory = {L"Not enough memory to complete the operation.", L"Error",
                                   MB_ICONERROR};

bool operator==(const ShownMessage& a, const ShownMessage& b) {
    return a.text == b.text && a.caption == b.caption && a.flags == b.flags;
}

class OutOfMemoryTest : public MainWindowTest {
  protected:
    // Gives the active control `text` with the caret at its end, runs
    // `prepare`, then `edit` with the 1st, 2nd ... allocation failing, until
    // a run meets no failure. A run either ends with `after`, marked
    // modified (a failure absorbed, or one in the window's own bookkeeping
    // and reported), or leaves the text and its modified mark as they were
    // and tells the user once. Returns how many runs left the text alone.
    int FailEveryAllocation(const std::u16string& text, const std::function<void()>& prepare,
                            const std::function<void()>& edit, const std::u16string& after) {
        HWND control = Record().activeEdit;
        int unchanged = 0;
        for (size_t nth = 1; !testing::Test::HasFailure(); ++nth) {
            EditCtl_SetText(control, text);
            EditCtl_SetSelection(control, static_cast<int32_t>(text.size()),
                                 static_cast<int32_t>(text.size()));
            prepare();
            const std::u16string before = EditCtl_GetText(control);
            const bool modified = EditCtl_IsModified(control);
            messages_.clear();
            bool struck = false;
            {
                AllocationFailure failure(nth);
                edit();
                struck = failure.struck();
            }
            const bool reported = messages_.size() == 1 && messages_[0] == kOutOfMemory;
            if (EditCtl_GetText(control) == after) {
                EXPECT_TRUE(messages_.empty() || reported) << "allocation " << nth;
                EXPECT_TRUE(EditCtl_IsModified(control));
                if (!struck)
                    break;
                continue;
            }
            ++unchanged;
            EXPECT_EQ(EditCtl_GetText(control), before) << "allocation " << nth;
            EXPECT_EQ(EditCtl_IsModified(control), modified) << "allocation " << nth;
            EXPECT_TRUE(reported) << "allocation " << nth;
        }
        return unchanged;
    }
};

TEST_F(OutOfMemoryTest, TypingPastingAndUndoTellTheUserAndChangeNothing) {
    Create();
    const auto nothing = [] {};
    EXPECT_GT(FailEveryAllocation(
                  u"ab", nothing, [&] { Type(L'\r'); }, u"ab\r\n"),
              0);
    ASSERT_TRUE(SetClipboardText(u"one\ntwo"));
    EXPECT_GT(FailEveryAllocation(
                  u"ab", nothing, [&] { Command(IDM_EDIT_PASTE); }, u"abone\r\ntwo"),
              0);
    EXPECT_GT(FailEveryAllocation(
                  u"ab", [&] { Type(L'c'); }, [&] { Command(IDM_EDIT_UNDO); }, u"ab"),
              0);
}

TEST_F(OutOfMemoryTest, AClickOnATabGlyphTellsTheUser) {
    Create();
    Type(L'x');
    MainWindow& mw = Record();
    answer_ = IDCANCEL;
    {
        AllocationFailure failure(1);
        ClickAt(mw.tabControl, CloseGlyphCentre(mw.tabControl, 0));
        ASSERT_TRUE(failure.struck());
    }
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_TRUE(messages_[0] == kOutOfMemory);
    EXPECT_EQ(mw.documents.size(), 1u);
    EXPECT_EQ(EditCtl_GetText(mw.activeEdit), u"x");
}

TEST_F(OutOfMemoryTest, CopyAndCutWithoutTheClipboardBlockTellTheUserAndChangeNothing) {
    Create();
    HWND edit = Record().activeEdit;
    EditCtl_SetText(edit, u"keep this");
    ASSERT_TRUE(SetClipboardText(u"held"));
    for (const int command : {IDM_EDIT_COPY, IDM_EDIT_CUT}) {
        EditCtl_SetSelection(edit, 0, 4);
        messages_.clear();
        {
            GlobalAllocationFailure failure(1);
            Command(command);
            EXPECT_TRUE(failure.struck()) << command;
        }
        ASSERT_EQ(messages_.size(), 1u) << command;
        EXPECT_TRUE(messages_[0] == kOutOfMemory) << command;
        EXPECT_EQ(ClipboardText(), u"held") << command;
        EXPECT_EQ(EditCtl_GetText(edit), u"keep this") << command;
        EXPECT_FALSE(EditCtl_IsModified(edit)) << command;
    }
}

TEST_F(OutOfMemoryTest, AnEditMakingTheTextTooLongIsRefused) {
    Create();
    HWND edit = Record().activeEdit;
    Type(L'a');
    EditCtl_State(edit)->model.maxLength = 2;
    Type(L'b');
    EXPECT_TRUE(messages_.empty());
    Type(L'c');
    ASSERT_TRUE(SetClipboardText(u"d"));
    Command(IDM_EDIT_PASTE);
    EXPECT_EQ(EditCtl_GetText(edit), u"ab");
    const ShownMessage refused = {L"The text would become too long. Nothing was changed.",
                                  L"Tessary", MB_ICONWARNING};
    ASSERT_EQ(messages_.size(), 2u);
    EXPECT_TRUE(messages_[0] == refused);
    EXPECT_TRUE(messages_[1] == refused);
    Command(IDM_EDIT_UNDO);
    EXPECT_EQ(EditCtl_GetText(edit), u"a") << "the refused edits left no history";
}

} // namespace
