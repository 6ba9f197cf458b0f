// The right-button menu: its items and states, and the command it sends.
#include "tests/win/editctl_fixture.h"

#include <ostream>

namespace {

struct MenuItem {
    UINT id;
    std::wstring text;
    bool grayed;
    bool operator==(const MenuItem&) const = default;
};

void PrintTo(const MenuItem& item, std::ostream* out) {
    *out << item.id << " \"" << std::string(item.text.begin(), item.text.end()) << "\""
         << (item.grayed ? " grayed" : "");
}

std::vector<MenuItem> shown;
WNDPROC controlProc;
WPARAM pick; // a key that chooses an item, or 0 to dismiss the menu

// Reads the menu as it opens, then chooses or dismisses it.
LRESULT CALLBACK WatchMenu(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITMENUPOPUP) {
        HMENU menu = reinterpret_cast<HMENU>(wParam);
        shown.clear();
        for (int i = 0; i < GetMenuItemCount(menu); ++i) {
            wchar_t text[64] = {};
            GetMenuStringW(menu, i, text, 64, MF_BYPOSITION);
            const UINT state = GetMenuState(menu, i, MF_BYPOSITION);
            const bool grayed = !(state & MF_SEPARATOR) && (state & MF_GRAYED);
            shown.push_back({GetMenuItemID(menu, i), text, grayed});
        }
        if (pick)
            PostMessageW(window, WM_CHAR, pick, 0);
        else
            EndMenu();
    }
    return CallWindowProcW(controlProc, window, message, wParam, lParam);
}

void RightClick(HWND window, POINT at) {
    SendMessageW(window, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(at.x, at.y));
    SendMessageW(window, WM_RBUTTONUP, 0, MAKELPARAM(at.x, at.y));
}

} // namespace

TEST_F(EditCtlTest, ContextMenuItemsFollowTheState) {
    controlProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WatchMenu)));
    pick = 0;
    Reset(u"some text");
    EditCtl_SetSelection(edit, 5, 7);
    ASSERT_TRUE(SetClipboardText(u"", true));
    ClearReceived();
    RightClick(edit, Cell(1, 0));
    const std::vector<MenuItem> expected = {
        {40010, L"&Undo", true},  {0, L"", false},
        {40011, L"Cu&t", false},  {40012, L"&Copy", false},
        {40013, L"&Paste", true}, {40014, L"&Delete", false},
        {0, L"", false},          {40015, L"Select &All", false}};
    EXPECT_EQ(shown, expected);
    // The right click leaves the caret and the selection alone; dismissing sends nothing.
    EXPECT_EQ(Anchor(), 5);
    EXPECT_EQ(Caret(), 7);
    EXPECT_TRUE(Received().empty());

    Type(u"x");
    EditCtl_SetSelection(edit, 3, 3);
    ASSERT_TRUE(SetClipboardText(u"clip"));
    RightClick(edit, Cell(1, 0));
    ASSERT_EQ(shown.size(), 8u);
    EXPECT_FALSE(shown[0].grayed); // Undo
    EXPECT_TRUE(shown[2].grayed);  // Cut
    EXPECT_TRUE(shown[3].grayed);  // Copy
    EXPECT_FALSE(shown[4].grayed); // Paste
    EXPECT_TRUE(shown[5].grayed);  // Delete
}

TEST_F(EditCtlTest, ContextMenuSendsTheChosenCommandToTheParent) {
    controlProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WatchMenu)));
    pick = 'a'; // Select &All
    Reset(u"text");
    RightClick(edit, Cell(0, 0));
    ASSERT_EQ(Received().size(), 1u);
    EXPECT_EQ(Received()[0].wParam, WPARAM{40015});
    EXPECT_EQ(Received()[0].lParam, 0);
    EXPECT_EQ(Caret(), 0); // the control itself does not act
}
