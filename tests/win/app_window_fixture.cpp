#include "tests/win/app_window_fixture.h"

#include "app/settings.h"
#include "docs/recovery_files.h"

#include <algorithm>

namespace {

void RegisterMainClassOnce() {
    static const bool registered =
        RegisterMainWindowClass(GetModuleHandleW(nullptr), nullptr, nullptr);
    ASSERT_TRUE(registered);
}

// Destroying a main window posts WM_QUIT; later tests must not see it.
void DrainMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message != WM_QUIT)
            DispatchMessageW(&msg);
    }
}

} // namespace

void MainWindowTest::SetUp() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::string name = std::string(info->test_suite_name()) + "." + info->name();
    key_ = L"Software\\Orvanel\\TessaryTests\\" + std::wstring(name.begin(), name.end());
    RegDeleteTreeW(HKEY_CURRENT_USER, key_.c_str());
    savedKey_ = Settings_KeyPath();
    Settings_KeyPath() = key_;
    startupPath.clear();
    Recovery_FolderOverride() = recovery_.Path("Recovery").wstring();
    handlers_.messageBox = [this](HWND, const std::wstring& text, const std::wstring& caption,
                                  UINT flags) {
        messages_.push_back({text, caption, flags});
        return answer_;
    };
    ModalUi_SetHandlers(&handlers_);
}

void MainWindowTest::TearDown() {
    if (window_ && IsWindow(window_))
        DestroyWindow(window_);
    window_ = nullptr;
    DrainMessages();
    ModalUi_SetHandlers(nullptr);
    Recovery_FolderOverride().clear();
    RegDeleteTreeW(HKEY_CURRENT_USER, key_.c_str());
    Settings_KeyPath() = savedKey_;
}

HWND MainWindowTest::Create(int clientWidth, int clientHeight) {
    RegisterMainClassOnce();
    RECT frame = {0, 0, clientWidth, clientHeight};
    AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, TRUE);
    window_ = CreateWindowExW(0, kMainWindowClass, L"", WS_OVERLAPPEDWINDOW, 0, 0,
                              frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
    // The menu bar may wrap differently from AdjustWindowRect's guess: set
    // the client size exactly.
    RECT client = {};
    GetClientRect(window_, &client);
    RECT outer = {};
    GetWindowRect(window_, &outer);
    SetWindowPos(window_, nullptr, 0, 0, outer.right - outer.left + clientWidth - client.right,
                 outer.bottom - outer.top + clientHeight - client.bottom,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return window_;
}

void MainWindowTest::Destroy() {
    DestroyWindow(window_);
    window_ = nullptr;
    DrainMessages();
}

void MainWindowTest::Command(int id) {
    SendMessageW(window_, WM_COMMAND, id, 0);
}

void MainWindowTest::Type(wchar_t character) {
    SendMessageW(Record().activeEdit, WM_CHAR, character, 1);
}

std::wstring MainWindowTest::Title() const {
    wchar_t text[256] = {};
    GetWindowTextW(window_, text, 256);
    return text;
}

std::wstring MainWindowTest::TabText(int index) const {
    wchar_t text[256] = {};
    TCITEMW item = {};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = 256;
    if (!SendMessageW(MainWnd_FromWindow(window_)->tabControl, TCM_GETITEMW, index,
                      reinterpret_cast<LPARAM>(&item)))
        return L"<no item>";
    return text;
}

int MainWindowTest::TabCount() const {
    return static_cast<int>(
        SendMessageW(MainWnd_FromWindow(window_)->tabControl, TCM_GETITEMCOUNT, 0, 0));
}

std::wstring MainWindowTest::StatusText(int part) const {
    HWND bar = MainWnd_FromWindow(window_)->statusBar;
    const int length = LOWORD(SendMessageW(bar, SB_GETTEXTLENGTHW, part, 0));
    std::wstring text(length + 1, L'\0');
    SendMessageW(bar, SB_GETTEXTW, part, reinterpret_cast<LPARAM>(text.data()));
    text.resize(length);
    return text;
}

UINT MainWindowTest::MenuState(int id) const {
    return GetMenuState(MainWnd_FromWindow(window_)->mainMenu, id, MF_BYCOMMAND);
}

std::optional<DWORD> MainWindowTest::StoredNumber(const wchar_t* name) const {
    DWORD value = 0;
    DWORD size = sizeof value;
    DWORD type = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, key_.c_str(), name, RRF_RT_ANY, &type, &value, &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD)
        return std::nullopt;
    return value;
}

void MainWindowTest::Store(const wchar_t* name, DWORD type, const void* data, DWORD size) const {
    HKEY created = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, key_.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                              &created, nullptr),
              ERROR_SUCCESS);
    const RegistryKey key(created);
    RegSetValueExW(key.get(), name, 0, type, static_cast<const BYTE*>(data), size);
}

POINT CloseGlyphCentre(HWND tabs, int index) {
    RECT item = {};
    SendMessageW(tabs, TCM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&item));
    // 8 pixels in from the right, its side the item's height - 10 within 10..16.
    const int height = item.bottom - item.top;
    const int side = std::clamp(height - 10, 10, 16);
    return {item.right - 8 - side / 2, item.top + height / 2};
}

void ClickAt(HWND tabs, POINT at) {
    SendMessageW(tabs, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    SendMessageW(tabs, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
}
