// Settings in the registry: what loading accepts, value by value, and what
// saving writes.
#include "tests/win/app_window_fixture.h"

#include "allocation_failure.h"
#include "app/settings.h"

#include <cstring>
#include <functional>
#include <new>
#include <string>
#include <vector>

namespace {

// The handles this process holds open, registry keys among them, as the
// system's extended handle list (information class 64) gives them:
// GetProcessHandleCount answers 0 under Wine 8.
size_t OpenHandles() {
    struct Entry {
        void* object;
        ULONG_PTR processId;
        ULONG_PTR handle;
        ULONG access;
        USHORT backTrace;
        USHORT type;
        ULONG attributes;
        ULONG reserved;
    };
    using Query = LONG(WINAPI*)(ULONG, void*, ULONG, ULONG*);
    const auto query = reinterpret_cast<Query>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
    std::vector<ULONG_PTR> table(1 << 14);
    ULONG bytes = 0;
    while (query(64, table.data(), static_cast<ULONG>(table.size() * sizeof(ULONG_PTR)),
                 &bytes) == static_cast<LONG>(0xC0000004)) // the table did not fit
        table.resize(table.size() * 2);
    const auto* entries = reinterpret_cast<const Entry*>(table.data() + 2);
    size_t open = 0;
    for (size_t i = 0; i < table[0]; ++i)
        open += entries[i].processId == GetCurrentProcessId();
    return open;
}

AppSettings Loaded() {
    AppSettings settings;
    Settings_SetDefaultFont(settings);
    Settings_Load(settings);
    return settings;
}

} // namespace

using SettingsTest = MainWindowTest;

TEST_F(SettingsTest, MissingKeyGivesDefaults) {
    const AppSettings s = Loaded();
    EXPECT_TRUE(s.wordWrap && s.showLineNumbers && s.showStatusBar && s.showTabs);
    EXPECT_FALSE(s.insertSpaces);
    EXPECT_DOUBLE_EQ(s.scrollSpeed, 2.0);
    EXPECT_EQ(s.fontSizePt, 11);
    EXPECT_STREQ(s.editorLogFont.lfFaceName, L"Consolas");
    EXPECT_EQ(s.editorLogFont.lfWeight, FW_NORMAL);
    EXPECT_EQ(s.editorLogFont.lfCharSet, DEFAULT_CHARSET);
    EXPECT_EQ(s.editorLogFont.lfPitchAndFamily, FIXED_PITCH | FF_MODERN);
    EXPECT_EQ(s.editorLogFont.lfHeight, 0);
}

TEST_F(SettingsTest, FlagsTakeAnyValueOfAtMostFourBytes) {
    StoreNumber(L"WordWrap", 0);
    StoreNumber(L"ShowLineNums", 7);
    const BYTE oneByte = 0;
    Store(L"ShowStatusBar", REG_BINARY, &oneByte, 1); // short data is zero-padded
    const BYTE eightBytes[8] = {0};
    Store(L"ShowTabs", REG_BINARY, eightBytes, 8); // too long: left as it was
    Store(L"InsertSpacesForTab", REG_SZ, L"1", 4); // "1" and its terminator: non-zero
    const AppSettings s = Loaded();
    EXPECT_FALSE(s.wordWrap);
    EXPECT_TRUE(s.showLineNumbers);
    EXPECT_FALSE(s.showStatusBar);
    EXPECT_TRUE(s.showTabs);
    EXPECT_TRUE(s.insertSpaces);
}

TEST_F(SettingsTest, FontSizeOnlyFrom6To200) {
    const struct {
        DWORD stored;
        int32_t loaded;
    } cases[] = {{5, 11}, {6, 6}, {200, 200}, {201, 11}, {0xFFFFFFFF, 11}};
    for (const auto& c : cases) {
        StoreNumber(L"FontSizePt", c.stored);
        EXPECT_EQ(Loaded().fontSizePt, c.loaded) << c.stored;
    }
}

TEST_F(SettingsTest, ScrollPercentIsClamped) {
    const struct {
        DWORD stored;
        double speed;
    } cases[] = {{0, 0.1}, {25, 0.25}, {130, 1.3}, {9999, 5.0}, {0xFFFFFFFF, 5.0}};
    for (const auto& c : cases) {
        StoreNumber(L"ScrollSpeedPercent", c.stored);
        EXPECT_DOUBLE_EQ(Loaded().scrollSpeed, c.speed) << c.stored;
    }
    // Missing: 2.0 even when the field held something else.
    StoreNumber(L"WordWrap", 1);
    RegDeleteKeyValueW(HKEY_CURRENT_USER, key_.c_str(), L"ScrollSpeedPercent");
    AppSettings s;
    s.scrollSpeed = 4.0;
    Settings_Load(s);
    EXPECT_DOUBLE_EQ(s.scrollSpeed, 2.0);
}

TEST_F(SettingsTest, FaceNameMustBeANonEmptyShortString) {
    auto storeFace = [this](DWORD type, const std::wstring& face) {
        Store(L"FontFace", type, face.c_str(), static_cast<DWORD>((face.size() + 1) * 2));
    };
    storeFace(REG_SZ, L"");
    EXPECT_STREQ(Loaded().editorLogFont.lfFaceName, L"Consolas");
    storeFace(REG_SZ, std::wstring(40, L'F'));
    EXPECT_STREQ(Loaded().editorLogFont.lfFaceName, L"Consolas");
    storeFace(REG_EXPAND_SZ, L"Courier New");
    EXPECT_STREQ(Loaded().editorLogFont.lfFaceName, L"Consolas");
    StoreNumber(L"FontFace", 0x41);
    EXPECT_STREQ(Loaded().editorLogFont.lfFaceName, L"Consolas");
    storeFace(REG_SZ, L"@MS Gothic"); // vertical: every character sideways
    EXPECT_STREQ(Loaded().editorLogFont.lfFaceName, L"Consolas");

    const std::wstring longest(31, L'L');
    storeFace(REG_SZ, longest);
    EXPECT_EQ(std::wstring(Loaded().editorLogFont.lfFaceName), longest);
    // 32 characters without a terminator fit the buffer and lose the last
    // one. (The registry adds a terminator to a string whose next unit in
    // memory is zero, so the data stored comes from a longer one.)
    const std::wstring full(33, L'M');
    Store(L"FontFace", REG_SZ, full.c_str(), 64);
    EXPECT_EQ(std::wstring(Loaded().editorLogFont.lfFaceName), std::wstring(31, L'M'));

    storeFace(REG_SZ, L"Lucida Console");
    const AppSettings s = Loaded();
    EXPECT_STREQ(s.editorLogFont.lfFaceName, L"Lucida Console");
    // Only the face comes from the registry; the rest stays the default.
    EXPECT_EQ(s.editorLogFont.lfWeight, FW_NORMAL);
}

TEST_F(SettingsTest, SaveWritesEveryValueWithItsType) {
    AppSettings s;
    Settings_SetDefaultFont(s);
    s.wordWrap = false;
    s.showTabs = false;
    s.insertSpaces = true;
    s.fontSizePt = 14;
    s.scrollSpeed = 0.25;
    s.editorLogFont.lfWeight = FW_BOLD; // not stored
    Settings_Save(s);
    EXPECT_EQ(StoredNumber(L"WordWrap"), 0u);
    EXPECT_EQ(StoredNumber(L"ShowLineNums"), 1u);
    EXPECT_EQ(StoredNumber(L"ShowStatusBar"), 1u);
    EXPECT_EQ(StoredNumber(L"ShowTabs"), 0u);
    EXPECT_EQ(StoredNumber(L"InsertSpacesForTab"), 1u);
    EXPECT_EQ(StoredNumber(L"FontSizePt"), 14u);
    EXPECT_EQ(StoredNumber(L"ScrollSpeedPercent"), 25u);

    wchar_t face[64] = {};
    DWORD size = sizeof face;
    DWORD type = 0;
    ASSERT_EQ(
        RegGetValueW(HKEY_CURRENT_USER, key_.c_str(), L"FontFace", RRF_RT_ANY, &type, face, &size),
        ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(size, (std::wcslen(L"Consolas") + 1) * 2);
    EXPECT_STREQ(face, L"Consolas");

    AppSettings back;
    Settings_SetDefaultFont(back);
    Settings_Load(back);
    EXPECT_FALSE(back.wordWrap);
    EXPECT_FALSE(back.showTabs);
    EXPECT_TRUE(back.insertSpaces);
    EXPECT_EQ(back.fontSizePt, 14);
    EXPECT_DOUBLE_EQ(back.scrollSpeed, 0.25);
    EXPECT_EQ(back.editorLogFont.lfWeight, FW_NORMAL);

    // An empty face is not written; the stored one stays.
    s.editorLogFont.lfFaceName[0] = 0;
    s.scrollSpeed = 5.0;
    Settings_Save(s);
    EXPECT_EQ(StoredNumber(L"ScrollSpeedPercent"), 500u);
    EXPECT_STREQ(Loaded().editorLogFont.lfFaceName, L"Consolas");
}

TEST_F(SettingsTest, RunningOutOfMemoryLeavesNoKeyOpen) {
    AppSettings settings;
    Settings_SetDefaultFont(settings);
    Settings_Save(settings); // a face name to load, which takes an allocation
    // Wine opens handles of its own for the first exception of a process.
    try {
        throw std::bad_alloc();
    } catch (const std::bad_alloc&) {
    }
    const std::function<void()> steps[] = {[&] { Settings_Save(settings); },
                                           [&] { Settings_Load(settings); }};
    for (const auto& step : steps) {
        bool struck = true;
        for (size_t nth = 1; struck; ++nth) {
            const size_t before = OpenHandles();
            {
                AllocationFailure failure(nth);
                try {
                    step();
                } catch (const std::bad_alloc&) {
                }
                struck = failure.struck();
            }
            EXPECT_EQ(OpenHandles(), before) << "allocation " << nth;
            EXPECT_TRUE(nth > 1 || struck) << "no allocation to fail";
        }
    }
}
