// The font dialog, New Window and About, answered through the modal UI
// handlers; the version block they read.
#include "tests/win/app_window_fixture.h"

#include "app/about.h"
#include "app/window_modes.h"
#include "app/window_modes_rules.h"
#include "editctl/edit_record.h"
#include "tessary_version.h"
#include "winkit/command_ids.h"
#include "winkit/win_handles.h"

#include <cwchar>
#include <vector>

namespace {

int ScreenDpi() {
    const WindowDc screen(nullptr);
    return GetDeviceCaps(screen.get(), LOGPIXELSY);
}

LOGFONTW FontOf(HFONT font) {
    LOGFONTW logFont = {};
    GetObjectW(font, sizeof logFont, &logFont);
    return logFont;
}

// A font dialog's answer: what the user picked.
struct Pick {
    const wchar_t* face;
    LONG weight;
    INT tenths;
};

} // namespace

class SmallCommandsTest : public MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        ui_.messageBox = [this](HWND, const std::wstring& text, const std::wstring& caption,
                                UINT flags) {
            messages_.push_back({text, caption, flags});
            return IDOK;
        };
        ModalUi_SetHandlers(&ui_);
    }

    // Answers the next font dialog with OK and the pick, or with Cancel
    // (after scribbling over the dialog's font, as no real dialog should).
    void AnswerFontDialog(const Pick& pick, bool ok) {
        ui_.chooseFont = [this, pick, ok](CHOOSEFONTW& dialog) {
            shownDialog_ = dialog;
            shownFont_ = *dialog.lpLogFont;
            wcscpy_s(dialog.lpLogFont->lfFaceName, LF_FACESIZE, pick.face);
            dialog.lpLogFont->lfWeight = pick.weight;
            dialog.iPointSize = pick.tenths;
            return ok ? TRUE : FALSE;
        };
    }

    std::wstring StoredFace() const {
        wchar_t face[64] = {};
        DWORD size = sizeof face;
        RegGetValueW(HKEY_CURRENT_USER, key_.c_str(), L"FontFace", RRF_RT_REG_SZ, nullptr, face,
                     &size);
        return face;
    }

    ModalUiHandlers ui_;
    CHOOSEFONTW shownDialog_ = {};
    LOGFONTW shownFont_ = {};
};

TEST_F(SmallCommandsTest, FontDialogOpensAtTheCurrentFontAndOkAppliesToEveryTab) {
    Create();
    Command(IDM_FILE_NEW);
    Command(IDM_FORMAT_FONT_LARGER); // 12 points: the dialog must show 12, not 11
    MainWindow& mw = Record();

    AnswerFontDialog({L"Courier New", FW_BOLD, 145}, true);
    Command(IDM_FORMAT_FONT);
    EXPECT_EQ(shownDialog_.lStructSize, sizeof(CHOOSEFONTW));
    EXPECT_EQ(shownDialog_.hwndOwner, window_);
    EXPECT_EQ(shownDialog_.hDC, nullptr);
    EXPECT_EQ(shownDialog_.Flags, static_cast<DWORD>(CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT |
                                                     CF_FIXEDPITCHONLY | CF_NOVERTFONTS));
    EXPECT_EQ(shownDialog_.nFontType, SCREEN_FONTTYPE);
    EXPECT_EQ(shownDialog_.lpfnHook, nullptr);
    EXPECT_EQ(shownDialog_.lpTemplateName, nullptr);
    EXPECT_STREQ(shownFont_.lfFaceName, L"Consolas");
    EXPECT_EQ(shownFont_.lfHeight, -MulDiv(12, ScreenDpi(), 72));
    EXPECT_EQ(shownFont_.lfWeight, FW_NORMAL);
    EXPECT_EQ(shownFont_.lfPitchAndFamily, FIXED_PITCH | FF_MODERN);

    EXPECT_EQ(mw.settings.fontSizePt, 14);
    const LOGFONTW made = FontOf(mw.editorFont.get());
    EXPECT_STREQ(made.lfFaceName, L"Courier New");
    EXPECT_EQ(made.lfWeight, FW_BOLD);
    EXPECT_EQ(made.lfHeight, -MulDiv(14, 96, 72));
    for (const Document& document : mw.documents)
        EXPECT_EQ(EditCtl_State(document.editWindow)->attached.font, mw.editorFont.get());
    EXPECT_EQ(StoredFace(), L"Courier New");
    EXPECT_EQ(StoredNumber(L"FontSizePt"), 14u);

    // The next dialog starts from the choice, bold included.
    AnswerFontDialog({L"Liberation Mono", FW_BOLD, 110}, true);
    Command(IDM_FORMAT_FONT);
    EXPECT_STREQ(shownFont_.lfFaceName, L"Courier New");
    EXPECT_EQ(shownFont_.lfWeight, FW_BOLD);
    EXPECT_EQ(shownFont_.lfHeight, -MulDiv(14, ScreenDpi(), 72));
    EXPECT_EQ(mw.settings.fontSizePt, 11);

    // Only the face and the size survive a restart.
    Destroy();
    Create();
    const LOGFONTW restarted = FontOf(Record().editorFont.get());
    EXPECT_STREQ(restarted.lfFaceName, L"Liberation Mono");
    EXPECT_EQ(restarted.lfWeight, FW_NORMAL);
    EXPECT_EQ(Record().settings.fontSizePt, 11);
}

TEST_F(SmallCommandsTest, FontSizeOutsideTheRangeKeepsTheSizeButTakesTheFace) {
    Create();
    MainWindow& mw = Record();
    for (INT tenths : {40, 2500}) {
        AnswerFontDialog({L"Courier New", FW_NORMAL, tenths}, true);
        StoreNumber(L"FontSizePt", 99); // to see that the choice is saved all the same
        Command(IDM_FORMAT_FONT);
        EXPECT_EQ(mw.settings.fontSizePt, 11) << tenths;
        EXPECT_STREQ(FontOf(mw.editorFont.get()).lfFaceName, L"Courier New") << tenths;
        EXPECT_EQ(FontOf(mw.editorFont.get()).lfHeight, -MulDiv(11, 96, 72)) << tenths;
        EXPECT_EQ(StoredNumber(L"FontSizePt"), 11u) << tenths;
    }
}

TEST_F(SmallCommandsTest, AVerticalFaceFromTheDialogGivesTheDefaultFace) {
    Create();
    MainWindow& mw = Record();
    AnswerFontDialog({L"@Courier New", FW_BOLD, 140}, true);
    Command(IDM_FORMAT_FONT);
    const LOGFONTW made = FontOf(mw.editorFont.get());
    EXPECT_NE(made.lfFaceName[0], L'@') << made.lfFaceName;
    EXPECT_STREQ(mw.settings.editorLogFont.lfFaceName, L"Consolas");
    EXPECT_EQ(made.lfWeight, FW_BOLD); // the rest of the choice stands
    EXPECT_EQ(mw.settings.fontSizePt, 14);
    EXPECT_EQ(StoredFace(), L"Consolas");
}

TEST_F(SmallCommandsTest, CancelledFontDialogChangesNothing) {
    Create();
    MainWindow& mw = Record();
    const HFONT before = mw.editorFont.get();
    StoreNumber(L"FontSizePt", 99);
    AnswerFontDialog({L"Wingdings", FW_HEAVY, 300}, false);
    Command(IDM_FORMAT_FONT);
    EXPECT_EQ(mw.editorFont.get(), before);
    EXPECT_STREQ(mw.settings.editorLogFont.lfFaceName, L"Consolas");
    EXPECT_EQ(mw.settings.editorLogFont.lfWeight, FW_NORMAL);
    EXPECT_EQ(mw.settings.fontSizePt, 11);
    EXPECT_EQ(StoredNumber(L"FontSizePt"), 99u); // nothing written
}

TEST_F(SmallCommandsTest, NewWindowStartsThisProgramQuotedAndFailsSilently) {
    Create();
    std::vector<std::wstring> started;
    bool succeed = true;
    ui_.startProcess = [&](const std::wstring& commandLine) {
        started.push_back(commandLine);
        return succeed;
    };
    wchar_t path[MAX_PATH] = {};
    ASSERT_GT(GetModuleFileNameW(nullptr, path, MAX_PATH), 0u);
    EXPECT_EQ(MainWnd_ModulePath(), path);

    Command(IDM_FILE_NEW_WINDOW);
    ASSERT_EQ(started.size(), 1u);
    EXPECT_EQ(started[0], L"\"" + std::wstring(path) + L"\"");
    EXPECT_EQ(TabCount(), 1); // this window is untouched

    succeed = false;
    Command(IDM_FILE_NEW_WINDOW);
    EXPECT_EQ(started.size(), 2u);
    EXPECT_TRUE(messages_.empty());
}

TEST_F(SmallCommandsTest, AboutShowsTheTaskDialogOrFallsBackToAMessageBox) {
    Create();
    // This test program has no version block: the fallback version shows.
    const std::u16string expected = AboutText(u"");
    const std::wstring text(expected.begin(), expected.end());
    ASSERT_EQ(text.rfind(L"Version " TESSARY_VERSION_TEXT L"\n\n", 0), 0u);

    int shown = 0;
    TASKDIALOGCONFIG seen = {};
    std::wstring title, instruction, content;
    ui_.taskDialog = [&](const TASKDIALOGCONFIG& config) {
        ++shown;
        seen = config;
        title = config.pszWindowTitle;
        instruction = config.pszMainInstruction;
        content = config.pszContent;
        return true;
    };
    Command(IDM_HELP_ABOUT);
    ASSERT_EQ(shown, 1);
    EXPECT_EQ(seen.cbSize, sizeof(TASKDIALOGCONFIG));
    EXPECT_EQ(seen.hwndParent, window_);
    EXPECT_EQ(seen.hInstance, GetModuleHandleW(nullptr));
    EXPECT_EQ(seen.dwFlags, TDF_USE_HICON_MAIN | TDF_ALLOW_DIALOG_CANCELLATION);
    EXPECT_EQ(seen.dwCommonButtons, TDCBF_OK_BUTTON);
    EXPECT_EQ(title, L"About Tessary");
    EXPECT_EQ(instruction, L"Tessary");
    EXPECT_EQ(content, text);
    EXPECT_TRUE(messages_.empty());

    // Without a task dialog, a message box with the same text.
    ui_.taskDialog = nullptr;
    Command(IDM_HELP_ABOUT);
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0].text, text);
    EXPECT_EQ(messages_[0].caption, L"About Tessary");
    EXPECT_EQ(messages_[0].flags, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
}

TEST(AppVersionString, ReadsStringsOfTheVersionBlock) {
    EXPECT_EQ(MainWnd_GetVersionString(L"ProductVersion"), L""); // the tests have none
    EXPECT_EQ(MainWnd_GetFileVersionString(L"", L"ProductVersion"), L"");
    EXPECT_EQ(MainWnd_GetFileVersionString(L"Z:\\no\\such\\file.exe", L"ProductVersion"), L"");

    // The program itself is built one folder above the tests.
    std::wstring program = MainWnd_ModulePath();
    for (int i = 0; i < 2; ++i)
        program.erase(program.find_last_of(L"\\/"));
    program += L"\\tessary.exe";
    if (GetFileAttributesW(program.c_str()) == INVALID_FILE_ATTRIBUTES)
        GTEST_SKIP() << "tessary.exe not built";
    // The version block carries the version the build was made with.
    EXPECT_EQ(MainWnd_GetFileVersionString(program, L"ProductVersion"), L"" TESSARY_VERSION_TEXT);
    EXPECT_EQ(MainWnd_GetFileVersionString(program, L"FileVersion"), L"" TESSARY_VERSION_TEXT);
    EXPECT_EQ(MainWnd_GetFileVersionString(program, L"ProductName"), L"Tessary");
    EXPECT_EQ(MainWnd_GetFileVersionString(program, L"NoSuchString"), L"");
}
