// Command ids of the menus, accelerators, close button and the edit control's
// context menu, and the ids of the main window's children. Shared by the
// window layer and the platform-free code, so no platform headers here.
#pragma once

constexpr int IDM_FILE_NEW = 40001;
constexpr int IDM_FILE_NEW_WINDOW = 40002;
constexpr int IDM_FILE_OPEN = 40003;
constexpr int IDM_FILE_OPEN_FOLDER = 40004;
constexpr int IDM_FILE_SAVE = 40005;
constexpr int IDM_FILE_SAVE_AS = 40006;
constexpr int IDM_FILE_CLOSE_TAB = 40007;
constexpr int IDM_FILE_EXIT = 40008;
constexpr int IDM_NEXT_TAB = 40009;
constexpr int IDM_EDIT_UNDO = 40010;
constexpr int IDM_EDIT_CUT = 40011;
constexpr int IDM_EDIT_COPY = 40012;
constexpr int IDM_EDIT_PASTE = 40013;
constexpr int IDM_EDIT_DELETE = 40014;
constexpr int IDM_EDIT_SELECT_ALL = 40015;
constexpr int IDM_EDIT_FIND = 40016;
constexpr int IDM_EDIT_FIND_NEXT = 40017;
constexpr int IDM_EDIT_REPLACE = 40018;
constexpr int IDM_VIEW_STATUS_BAR = 40019;
constexpr int IDM_VIEW_LINE_NUMBERS = 40020;
constexpr int IDM_VIEW_TABS = 40021;
constexpr int IDM_VIEW_ALWAYS_ON_TOP = 40022;
constexpr int IDM_VIEW_FULLSCREEN = 40023;
constexpr int IDM_SCROLL_0_25X = 40024;
constexpr int IDM_SCROLL_0_5X = 40025;
constexpr int IDM_SCROLL_1X = 40026;
constexpr int IDM_SCROLL_2X = 40027;
constexpr int IDM_SCROLL_3X = 40028;
constexpr int IDM_SCROLL_4X = 40029;
constexpr int IDM_SCROLL_5X = 40030;
constexpr int IDM_FORMAT_WORD_WRAP = 40031;
constexpr int IDM_FORMAT_FONT = 40032;
constexpr int IDM_FORMAT_FONT_LARGER = 40033;
constexpr int IDM_FORMAT_FONT_SMALLER = 40034;
constexpr int IDM_FORMAT_INSERT_SPACES = 40035;
constexpr int IDM_ENCODING_UTF8 = 40036;
constexpr int IDM_ENCODING_ANSI = 40037;
constexpr int IDM_EOL_CRLF = 40038;
constexpr int IDM_EOL_LF = 40039;
constexpr int IDM_EOL_CR = 40040;
constexpr int IDM_HELP_ABOUT = 40041;

// Every tab's edit control carries the same id; only the active one is shown.
constexpr int IDC_EDIT = 101;
constexpr int IDC_STATUS = 102;
// The close button sends its clicks as the Close Tab command.
constexpr int IDC_CLOSE_BUTTON = IDM_FILE_CLOSE_TAB;
