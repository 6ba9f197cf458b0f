#include "app/menu.h"

#include "docs/main_window.h"
#include "winkit/command_ids.h"

#include <initializer_list>

namespace {

struct Item {
    int id; // 0 for a separator
    const wchar_t* text;
};

constexpr Item kSeparator = {0, nullptr};

HMENU Popup(std::initializer_list<Item> items) {
    HMENU menu = CreatePopupMenu();
    for (const Item& item : items) {
        if (item.id == 0)
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        else
            AppendMenuW(menu, MF_STRING, item.id, item.text);
    }
    return menu;
}

void AppendPopup(HMENU parent, HMENU popup, const wchar_t* text) {
    AppendMenuW(parent, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), text);
}

HMENU FileMenu() {
    return Popup({{IDM_FILE_NEW, L"&New\tCtrl+N"},
                  {IDM_FILE_NEW_WINDOW, L"New &Window\tCtrl+Shift+N"},
                  {IDM_FILE_OPEN, L"&Open...\tCtrl+O"},
                  {IDM_FILE_OPEN_FOLDER, L"Open &Folder..."},
                  kSeparator,
                  {IDM_FILE_SAVE, L"&Save\tCtrl+S"},
                  {IDM_FILE_SAVE_AS, L"Save &As...\tCtrl+Shift+S"},
                  {IDM_FILE_CLOSE_TAB, L"&Close Tab\tCtrl+W"},
                  kSeparator,
                  {IDM_FILE_EXIT, L"E&xit"}});
}

HMENU EditMenu() {
    return Popup({{IDM_EDIT_UNDO, L"&Undo\tCtrl+Z"},
                  kSeparator,
                  {IDM_EDIT_CUT, L"Cu&t\tCtrl+X"},
                  {IDM_EDIT_COPY, L"&Copy\tCtrl+C"},
                  {IDM_EDIT_PASTE, L"&Paste\tCtrl+V"},
                  kSeparator,
                  {IDM_EDIT_FIND, L"&Find...\tCtrl+F"},
                  {IDM_EDIT_FIND_NEXT, L"Find &Next\tF3"},
                  {IDM_EDIT_REPLACE, L"&Replace...\tCtrl+H"},
                  kSeparator,
                  {IDM_EDIT_SELECT_ALL, L"Select &All\tCtrl+A"}});
}

HMENU FormatMenu(MainWindow* mw) {
    HMENU menu = Popup({{IDM_FORMAT_WORD_WRAP, L"&Word Wrap"},
                        kSeparator,
                        {IDM_FORMAT_FONT, L"&Font..."},
                        kSeparator,
                        {IDM_FORMAT_FONT_LARGER, L"Increase Font Size\tCtrl++"},
                        {IDM_FORMAT_FONT_SMALLER, L"Decrease Font Size\tCtrl+-"},
                        kSeparator,
                        {IDM_FORMAT_INSERT_SPACES, L"Insert spaces instead of Tab"}});
    HMENU encoding = Popup({{IDM_ENCODING_UTF8, L"&UTF-8"}, {IDM_ENCODING_ANSI, L"&ANSI"}});
    HMENU lineEnding = Popup({{IDM_EOL_CRLF, L"&Windows (CRLF)"},
                              {IDM_EOL_LF, L"&Unix (LF)"},
                              {IDM_EOL_CR, L"&Mac (CR)"}});
    AppendPopup(menu, encoding, L"&Encoding");
    AppendPopup(menu, lineEnding, L"&Line Endings");
    if (mw) {
        mw->encodingMenu = encoding;
        mw->lineEndingMenu = lineEnding;
    }
    return menu;
}

HMENU ViewMenu(MainWindow* mw) {
    HMENU menu = Popup({{IDM_VIEW_LINE_NUMBERS, L"&Line Numbers"},
                        {IDM_VIEW_STATUS_BAR, L"&Status Bar"},
                        {IDM_VIEW_TABS, L"&Tabs"}});
    HMENU speed = Popup({{IDM_SCROLL_0_25X, L"&0.25x"},
                         {IDM_SCROLL_0_5X, L"&0.5x"},
                         {IDM_SCROLL_1X, L"&1x"},
                         {IDM_SCROLL_2X, L"&2x (default)"},
                         {IDM_SCROLL_3X, L"&3x"},
                         {IDM_SCROLL_4X, L"&4x"},
                         {IDM_SCROLL_5X, L"&5x"}});
    AppendPopup(menu, speed, L"&Scroll speed");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, IDM_VIEW_ALWAYS_ON_TOP, L"&Always on top");
    AppendMenuW(menu, MF_STRING, IDM_VIEW_FULLSCREEN, L"&Fullscreen\tF11");
    if (mw)
        mw->scrollSpeedMenu = speed;
    return menu;
}

HMENU TargetMenu(const MainWindow& mw, HWND window) {
    return mw.mainMenu ? mw.mainMenu : GetMenu(window);
}

} // namespace

HMENU MainWnd_BuildMenu(MainWindow* mw) {
    HMENU bar = CreateMenu();
    AppendPopup(bar, FileMenu(), L"&File");
    AppendPopup(bar, EditMenu(), L"&Edit");
    AppendPopup(bar, FormatMenu(mw), L"F&ormat");
    AppendPopup(bar, ViewMenu(mw), L"&View");
    AppendPopup(bar, Popup({{IDM_HELP_ABOUT, L"&About"}}), L"&Help");
    if (mw)
        mw->mainMenu = bar;
    return bar;
}

void MainWnd_SetCheck(const MainWindow& mw, HWND window, int id, bool checked) {
    if (HMENU menu = TargetMenu(mw, window))
        CheckMenuItem(menu, id, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

void MainWnd_SetAllChecks(const MainWindow& mw, HWND window) {
    const AppSettings& s = mw.settings;
    MainWnd_SetCheck(mw, window, IDM_FORMAT_WORD_WRAP, s.wordWrap);
    MainWnd_SetCheck(mw, window, IDM_VIEW_LINE_NUMBERS, s.showLineNumbers);
    MainWnd_SetCheck(mw, window, IDM_VIEW_STATUS_BAR, s.showStatusBar);
    MainWnd_SetCheck(mw, window, IDM_VIEW_TABS, s.showTabs);
    MainWnd_SetCheck(mw, window, IDM_VIEW_ALWAYS_ON_TOP, mw.alwaysOnTop);
    MainWnd_SetCheck(mw, window, IDM_VIEW_FULLSCREEN, mw.fullscreen);
    MainWnd_SetCheck(mw, window, IDM_FORMAT_INSERT_SPACES, s.insertSpaces);
}

HACCEL MainWnd_CreateAccelerators() {
    constexpr BYTE kCtrl = FVIRTKEY | FCONTROL;
    constexpr BYTE kCtrlShift = FVIRTKEY | FCONTROL | FSHIFT;
    ACCEL table[] = {
        {kCtrl, 'N', IDM_FILE_NEW},
        {kCtrlShift, 'N', IDM_FILE_NEW_WINDOW},
        {kCtrl, 'O', IDM_FILE_OPEN},
        {kCtrl, 'S', IDM_FILE_SAVE},
        {kCtrlShift, 'S', IDM_FILE_SAVE_AS},
        {kCtrl, 'W', IDM_FILE_CLOSE_TAB},
        {kCtrl, 'Z', IDM_EDIT_UNDO},
        {kCtrl, 'A', IDM_EDIT_SELECT_ALL},
        {kCtrl, 'F', IDM_EDIT_FIND},
        {FVIRTKEY, VK_F3, IDM_EDIT_FIND_NEXT},
        {kCtrl, 'H', IDM_EDIT_REPLACE},
        {kCtrl, VK_TAB, IDM_NEXT_TAB},
        {kCtrl, VK_OEM_PLUS, IDM_FORMAT_FONT_LARGER},
        {kCtrl, VK_ADD, IDM_FORMAT_FONT_LARGER},
        {kCtrl, VK_OEM_MINUS, IDM_FORMAT_FONT_SMALLER},
        {kCtrl, VK_SUBTRACT, IDM_FORMAT_FONT_SMALLER},
        {FVIRTKEY, VK_F11, IDM_VIEW_FULLSCREEN},
    };
    return CreateAcceleratorTableW(table, ARRAYSIZE(table));
}
