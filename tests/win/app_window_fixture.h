// A real main window, hidden, for in-process tests. Each test gets a registry
// key and a recovery folder of its own, deleted afterwards, and modal UI that never blocks: message
// boxes are recorded and answered with `answer`.
#pragma once

#include "app/main_window_proc.h"
#include "app/settings.h"
#include "docs/main_window.h"
#include "tests/core/fileio_temp_folder.h"
#include "winkit/modal_ui.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

struct ShownMessage {
    std::wstring text;
    std::wstring caption;
    UINT flags = 0;
};

class MainWindowTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Creates the main window with the given client size, not shown.
    HWND Create(int clientWidth = 800, int clientHeight = 600);
    // Destroys the window; its teardown writes the settings.
    void Destroy();
    MainWindow& Record() { return *MainWnd_FromWindow(window_); }

    void Command(int id);
    void Type(wchar_t character);
    std::wstring Title() const;
    std::wstring TabText(int index) const;
    int TabCount() const;
    std::wstring StatusText(int part) const;
    UINT MenuState(int id) const;
    bool Checked(int id) const { return (MenuState(id) & MFS_CHECKED) != 0; }
    // The window's own visibility; the main window itself stays hidden.
    static bool Shown(HWND child) { return (GetWindowLongW(child, GWL_STYLE) & WS_VISIBLE) != 0; }

    std::optional<DWORD> StoredNumber(const wchar_t* name) const;
    void Store(const wchar_t* name, DWORD type, const void* data, DWORD size) const;
    void StoreNumber(const wchar_t* name, DWORD value) const {
        Store(name, REG_DWORD, &value, sizeof value);
    }

    HWND window_ = nullptr;
    std::wstring key_;
    std::vector<ShownMessage> messages_;
    int answer_ = IDCANCEL;
    // Recovery journals go here, not into the user's folder.
    TempFolder recovery_;

  private:
    std::wstring savedKey_;
    ModalUiHandlers handlers_;
};

// The centre of a tab's close glyph, where a click closes that tab.
POINT CloseGlyphCentre(HWND tabs, int index);
void ClickAt(HWND tabs, POINT at);
