// The main window as created: menu tree, first tab, title and status bar;
// typing; the View and Format toggles and their persistence.
#include "tests/win/app_window_fixture.h"

#include "editctl/edit_record.h"
#include "editctl/editctl.h"
#include "winkit/command_ids.h"

#include <string>
#include <vector>

namespace {

struct MenuLine {
    int depth;
    UINT id; // 0 for separators and sub-menus
    std::wstring text;
    bool separator = false;
};

// The menu tree flattened depth-first: texts, ids and separators.
void Flatten(HMENU menu, int depth, std::vector<MenuLine>& out) {
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        wchar_t text[128] = {};
        MENUITEMINFOW info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING | MIIM_SUBMENU;
        info.dwTypeData = text;
        info.cch = 128;
        GetMenuItemInfoW(menu, i, TRUE, &info);
        const bool separator = (info.fType & MFT_SEPARATOR) != 0;
        out.push_back({depth, info.hSubMenu ? 0u : info.wID, text, separator});
        if (info.hSubMenu)
            Flatten(info.hSubMenu, depth + 1, out);
    }
}

MenuLine Sep(int depth) {
    return {depth, 0, L"", true};
}

std::vector<MenuLine> ExpectedMenu() {
    return {
        {0, 0, L"&File"},
        {1, 40001, L"&New\tCtrl+N"},
        {1, 40002, L"New &Window\tCtrl+Shift+N"},
        {1, 40003, L"&Open...\tCtrl+O"},
        {1, 40004, L"Open &Folder..."},
        Sep(1),
        {1, 40005, L"&Save\tCtrl+S"},
        {1, 40006, L"Save &As...\tCtrl+Shift+S"},
        {1, 40007, L"&Close Tab\tCtrl+W"},
        Sep(1),
        {1, 40008, L"E&xit"},
        {0, 0, L"&Edit"},
        {1, 40010, L"&Undo\tCtrl+Z"},
        Sep(1),
        {1, 40011, L"Cu&t\tCtrl+X"},
        {1, 40012, L"&Copy\tCtrl+C"},
        {1, 40013, L"&Paste\tCtrl+V"},
        Sep(1),
        {1, 40016, L"&Find...\tCtrl+F"},
        {1, 40017, L"Find &Next\tF3"},
        {1, 40018, L"&Replace...\tCtrl+H"},
        Sep(1),
        {1, 40015, L"Select &All\tCtrl+A"},
        {0, 0, L"F&ormat"},
        {1, 40031, L"&Word Wrap"},
        Sep(1),
        {1, 40032, L"&Font..."},
        Sep(1),
        {1, 40033, L"Increase Font Size\tCtrl++"},
        {1, 40034, L"Decrease Font Size\tCtrl+-"},
        Sep(1),
        {1, 40035, L"Insert spaces instead of Tab"},
        {1, 0, L"&Encoding"},
        {2, 40036, L"&UTF-8"},
        {2, 40037, L"&ANSI"},
        {1, 0, L"&Line Endings"},
        {2, 40038, L"&Windows (CRLF)"},
        {2, 40039, L"&Unix (LF)"},
        {2, 40040, L"&Mac (CR)"},
        {0, 0, L"&View"},
        {1, 40020, L"&Line Numbers"},
        {1, 40019, L"&Status Bar"},
        {1, 40021, L"&Tabs"},
        {1, 0, L"&Scroll speed"},
        {2, 40024, L"&0.25x"},
        {2, 40025, L"&0.5x"},
        {2, 40026, L"&1x"},
        {2, 40027, L"&2x (default)"},
        {2, 40028, L"&3x"},
        {2, 40029, L"&4x"},
        {2, 40030, L"&5x"},
        Sep(1),
        {1, 40022, L"&Always on top"},
        {1, 40023, L"&Fullscreen\tF11"},
        {0, 0, L"&Help"},
        {1, 40041, L"&About"},
    };
}

bool Radio(HMENU menu, int id) {
    MENUITEMINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_STATE;
    GetMenuItemInfoW(menu, id, FALSE, &info);
    return (info.fType & MFT_RADIOCHECK) && (info.fState & MFS_CHECKED);
}

} // namespace

TEST_F(MainWindowTest, CreationBuildsMenusFirstTabTitleAndStatus) {
    Create();
    MainWindow& mw = Record();
    EXPECT_EQ(GetMenu(window_), mw.mainMenu);

    std::vector<MenuLine> menu;
    Flatten(mw.mainMenu, 0, menu);
    const std::vector<MenuLine> expected = ExpectedMenu();
    ASSERT_EQ(menu.size(), expected.size());
    for (size_t i = 0; i < menu.size(); ++i) {
        EXPECT_EQ(menu[i].depth, expected[i].depth) << i;
        EXPECT_EQ(menu[i].separator, expected[i].separator) << i;
        EXPECT_EQ(menu[i].id, expected[i].id) << i;
        EXPECT_EQ(menu[i].text, expected[i].text) << i;
    }

    EXPECT_TRUE(Checked(IDM_FORMAT_WORD_WRAP));
    EXPECT_TRUE(Checked(IDM_VIEW_LINE_NUMBERS));
    EXPECT_TRUE(Checked(IDM_VIEW_STATUS_BAR));
    EXPECT_TRUE(Checked(IDM_VIEW_TABS));
    EXPECT_FALSE(Checked(IDM_VIEW_ALWAYS_ON_TOP));
    EXPECT_FALSE(Checked(IDM_VIEW_FULLSCREEN));
    EXPECT_FALSE(Checked(IDM_FORMAT_INSERT_SPACES));
    EXPECT_TRUE(Radio(mw.encodingMenu, IDM_ENCODING_UTF8));
    EXPECT_FALSE(Radio(mw.encodingMenu, IDM_ENCODING_ANSI));
    EXPECT_TRUE(Radio(mw.lineEndingMenu, IDM_EOL_CRLF));
    EXPECT_TRUE(Radio(mw.scrollSpeedMenu, IDM_SCROLL_2X));
    EXPECT_FALSE(Radio(mw.scrollSpeedMenu, IDM_SCROLL_1X));

    ASSERT_EQ(mw.documents.size(), 1u);
    EXPECT_EQ(mw.activeIndex, 0);
    EXPECT_EQ(mw.activeEdit, mw.documents[0].editWindow);
    EXPECT_EQ(GetDlgCtrlID(mw.activeEdit), IDC_EDIT);
    EXPECT_EQ(GetDlgCtrlID(mw.statusBar), IDC_STATUS);
    EXPECT_EQ(GetDlgCtrlID(mw.closeButton), IDC_CLOSE_BUTTON);
    EXPECT_EQ(TabCount(), 1);
    EXPECT_EQ(TabText(0), L" Untitled ");
    EXPECT_EQ(Title(), L"Untitled - Tessary");
    EXPECT_EQ(StatusText(0), L"Ln 1, Col 1");
    EXPECT_EQ(StatusText(1), L"UTF-8");
    EXPECT_EQ(StatusText(2), L"Win");
    EXPECT_EQ(StatusText(3), L"----");

    // The fresh record: every setting at its default, both modes off.
    EXPECT_TRUE(mw.searchDown);
    EXPECT_FALSE(mw.alwaysOnTop || mw.fullscreen);
    EXPECT_DOUBLE_EQ(mw.settings.scrollSpeed, 2.0);
    EXPECT_EQ(mw.settings.fontSizePt, 11);
    EXPECT_STREQ(mw.settings.editorLogFont.lfFaceName, L"Consolas");
    EXPECT_NE(mw.editorFont.get(), nullptr);
    EXPECT_NE(mw.uiFont.get(), nullptr);
    EXPECT_NE(mw.whiteBrush.get(), nullptr);
    EXPECT_NE(mw.closeTooltip, nullptr);

    // The first control got the settings and the editor font.
    const EditState* edit = EditCtl_State(mw.activeEdit);
    ASSERT_NE(edit, nullptr);
    EXPECT_TRUE(edit->view.wordWrap);
    EXPECT_TRUE(edit->view.showLineNumbers);
    EXPECT_FALSE(edit->view.insertSpaces);
    EXPECT_DOUBLE_EQ(edit->view.scrollSpeed, 2.0);
    EXPECT_EQ(edit->attached.font, mw.editorFont.get());
}

TEST_F(MainWindowTest, TypingMarksTheDocumentModified) {
    Create();
    Type(L'a');
    EXPECT_EQ(TabText(0), L" *Untitled ");
    EXPECT_EQ(Title(), L"*Untitled - Tessary");
    EXPECT_TRUE(Record().documents[0].modified);
    EXPECT_EQ(StatusText(0), L"Ln 1, Col 2");
    EXPECT_EQ(StatusText(3), L"----");

    // Caret before the "a": its code shows.
    SendMessageW(Record().activeEdit, WM_KEYDOWN, VK_LEFT, 1);
    EXPECT_EQ(StatusText(0), L"Ln 1, Col 1");
    EXPECT_EQ(StatusText(3), L"x0061");

    // A scroll notification changes nothing.
    SendMessageW(window_, WM_COMMAND, MAKEWPARAM(IDC_EDIT, CEN_SCROLL),
                 reinterpret_cast<LPARAM>(Record().activeEdit));
    EXPECT_EQ(StatusText(0), L"Ln 1, Col 1");
}

TEST_F(MainWindowTest, HiddenStatusBarIsNotWrittenWhileTyping) {
    Create();
    Command(IDM_VIEW_STATUS_BAR);
    EXPECT_FALSE(Shown(Record().statusBar));
    SendMessageW(Record().statusBar, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(L"untouched"));
    SendMessageW(Record().statusBar, SB_SETTEXTW, 3, reinterpret_cast<LPARAM>(L"untouched"));
    Type(L'x');
    EXPECT_EQ(Title(), L"*Untitled - Tessary");
    EXPECT_EQ(TabText(0), L" *Untitled ");
    EXPECT_EQ(StatusText(0), L"untouched");
    EXPECT_EQ(StatusText(3), L"untouched");

    // Showing it again refreshes all four parts at once.
    Command(IDM_VIEW_STATUS_BAR);
    EXPECT_EQ(StatusText(0), L"Ln 1, Col 2");
    EXPECT_EQ(StatusText(1), L"UTF-8");
    EXPECT_EQ(StatusText(2), L"Win");
    EXPECT_EQ(StatusText(3), L"----");
}

TEST_F(MainWindowTest, ViewAndFormatTogglesAreSavedAndReadBack) {
    Create();
    Command(IDM_FILE_NEW); // a second tab; the first keeps its own view
    MainWindow* mw = &Record();
    HWND first = mw->documents[0].editWindow;
    HWND second = mw->documents[1].editWindow;

    Command(IDM_FORMAT_WORD_WRAP);
    EXPECT_FALSE(Checked(IDM_FORMAT_WORD_WRAP));
    EXPECT_FALSE(EditCtl_State(second)->view.wordWrap);
    EXPECT_TRUE(EditCtl_State(first)->view.wordWrap); // the active tab only
    EXPECT_EQ(StoredNumber(L"WordWrap"), 0u);

    Command(IDM_VIEW_LINE_NUMBERS);
    EXPECT_FALSE(Checked(IDM_VIEW_LINE_NUMBERS));
    EXPECT_FALSE(EditCtl_State(second)->view.showLineNumbers);
    EXPECT_TRUE(EditCtl_State(first)->view.showLineNumbers);
    EXPECT_EQ(StoredNumber(L"ShowLineNums"), 0u);

    Command(IDM_FORMAT_INSERT_SPACES);
    EXPECT_TRUE(Checked(IDM_FORMAT_INSERT_SPACES));
    EXPECT_TRUE(EditCtl_State(first)->view.insertSpaces); // every tab
    EXPECT_TRUE(EditCtl_State(second)->view.insertSpaces);
    EXPECT_EQ(StoredNumber(L"InsertSpacesForTab"), 1u);

    Command(IDM_VIEW_TABS);
    EXPECT_FALSE(Checked(IDM_VIEW_TABS));
    EXPECT_FALSE(Shown(mw->tabControl));
    EXPECT_FALSE(Shown(mw->closeButton));
    EXPECT_EQ(StoredNumber(L"ShowTabs"), 0u);

    Command(IDM_VIEW_STATUS_BAR);
    EXPECT_FALSE(Checked(IDM_VIEW_STATUS_BAR));
    EXPECT_EQ(StoredNumber(L"ShowStatusBar"), 0u);

    // A tab made now follows the new settings.
    Command(IDM_FILE_NEW);
    const EditState* third = EditCtl_State(Record().activeEdit);
    EXPECT_FALSE(third->view.wordWrap);
    EXPECT_FALSE(third->view.showLineNumbers);
    EXPECT_TRUE(third->view.insertSpaces);

    // Always on top flips its mark but is never stored.
    Command(IDM_VIEW_ALWAYS_ON_TOP);
    EXPECT_TRUE(Checked(IDM_VIEW_ALWAYS_ON_TOP));
    EXPECT_TRUE(Record().alwaysOnTop);

    Destroy();
    Create();
    mw = &Record();
    EXPECT_FALSE(Checked(IDM_FORMAT_WORD_WRAP));
    EXPECT_FALSE(Checked(IDM_VIEW_LINE_NUMBERS));
    EXPECT_TRUE(Checked(IDM_FORMAT_INSERT_SPACES));
    EXPECT_FALSE(Checked(IDM_VIEW_TABS));
    EXPECT_FALSE(Checked(IDM_VIEW_STATUS_BAR));
    EXPECT_FALSE(Checked(IDM_VIEW_ALWAYS_ON_TOP));
    EXPECT_FALSE(mw->alwaysOnTop);
    EXPECT_FALSE(Shown(mw->tabControl));
    EXPECT_FALSE(Shown(mw->statusBar));
    const EditState* restarted = EditCtl_State(mw->activeEdit);
    EXPECT_FALSE(restarted->view.wordWrap);
    EXPECT_FALSE(restarted->view.showLineNumbers);
    EXPECT_TRUE(restarted->view.insertSpaces);
}

TEST_F(MainWindowTest, StoredSpeedSnapsToTheMenuAndIsSavedSnapped) {
    StoreNumber(L"ScrollSpeedPercent", 130);
    Create();
    MainWindow& mw = Record();
    EXPECT_DOUBLE_EQ(mw.settings.scrollSpeed, 1.0);
    EXPECT_TRUE(Radio(mw.scrollSpeedMenu, IDM_SCROLL_1X));
    EXPECT_FALSE(Radio(mw.scrollSpeedMenu, IDM_SCROLL_2X));
    EXPECT_DOUBLE_EQ(EditCtl_State(mw.activeEdit)->view.scrollSpeed, 1.0);
    Destroy();
    EXPECT_EQ(StoredNumber(L"ScrollSpeedPercent"), 100u);

    StoreNumber(L"ScrollSpeedPercent", 0);
    Create();
    EXPECT_DOUBLE_EQ(Record().settings.scrollSpeed, 0.25);
    EXPECT_TRUE(Radio(Record().scrollSpeedMenu, IDM_SCROLL_0_25X));
}

TEST_F(MainWindowTest, FontStepsStayInRangeAndAreSaved) {
    Create();
    MainWindow& mw = Record();
    Command(IDM_FORMAT_FONT_LARGER);
    EXPECT_EQ(mw.settings.fontSizePt, 12);
    LOGFONTW font = {};
    GetObjectW(mw.editorFont.get(), sizeof font, &font);
    EXPECT_EQ(font.lfHeight, -16);
    EXPECT_EQ(EditCtl_State(mw.activeEdit)->attached.font, mw.editorFont.get());
    EXPECT_EQ(StoredNumber(L"FontSizePt"), 12u);

    StoreNumber(L"FontSizePt", 0); // to see that the next step writes again
    mw.settings.fontSizePt = 200;
    HFONT before = mw.editorFont.get();
    Command(IDM_FORMAT_FONT_LARGER);
    EXPECT_EQ(mw.settings.fontSizePt, 200);
    EXPECT_EQ(mw.editorFont.get(), before); // nothing rebuilt
    EXPECT_EQ(StoredNumber(L"FontSizePt"), 200u);

    mw.settings.fontSizePt = 6;
    Command(IDM_FORMAT_FONT_SMALLER);
    EXPECT_EQ(mw.settings.fontSizePt, 6);
    Command(IDM_FORMAT_FONT_LARGER);
    EXPECT_EQ(mw.settings.fontSizePt, 7);
}

TEST_F(MainWindowTest, MessagesWithoutARecordChangeNothing) {
    // A window of another class has no record in its slot.
    HWND stranger = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 10, 10, nullptr, nullptr,
                                    GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(stranger, nullptr);
    for (int id : {IDM_FILE_NEW, IDM_FILE_CLOSE_TAB, IDM_VIEW_TABS, IDM_NEXT_TAB})
        EXPECT_EQ(MainWnd_Proc(stranger, WM_COMMAND, id, 0), 0);
    EXPECT_EQ(MainWnd_Proc(stranger, WM_SIZE, 0, MAKELPARAM(100, 100)), 0);
    EXPECT_EQ(MainWnd_Proc(stranger, WM_CLOSE, 0, 0), 0);
    EXPECT_TRUE(IsWindow(stranger));
    EXPECT_EQ(MainWnd_FromWindow(stranger), nullptr);
    DestroyWindow(stranger);

    // After destruction the slot is cleared.
    Create();
    HWND gone = window_;
    Destroy();
    EXPECT_EQ(MainWnd_FromWindow(gone), nullptr);
}
