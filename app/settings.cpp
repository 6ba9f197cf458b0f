#include "app/settings.h"

#include "app/settings_rules.h"
#include "winkit/program_name.h"
#include "winkit/win_handles.h"

#include <cstring>
#include <cwchar>
#include <optional>

namespace {

struct FlagValue {
    const wchar_t* name;
    bool AppSettings::*field;
};

// Read and written in this order.
constexpr FlagValue kFlags[] = {{L"WordWrap", &AppSettings::wordWrap},
                                {L"ShowLineNums", &AppSettings::showLineNumbers},
                                {L"ShowStatusBar", &AppSettings::showStatusBar},
                                {L"ShowTabs", &AppSettings::showTabs},
                                {L"InsertSpacesForTab", &AppSettings::insertSpaces}};

// Any value whose data fits in 4 bytes, of whatever type, read as a
// little-endian number; nothing when missing or longer.
std::optional<uint32_t> ReadNumber(HKEY key, const wchar_t* name) {
    uint8_t bytes[4] = {};
    DWORD size = sizeof bytes;
    if (RegQueryValueExW(key, name, nullptr, nullptr, bytes, &size) != ERROR_SUCCESS)
        return std::nullopt;
    return static_cast<uint32_t>(bytes[0] | bytes[1] << 8 | bytes[2] << 16 |
                                 static_cast<uint32_t>(bytes[3]) << 24);
}

void ReadFaceName(HKEY key, LOGFONTW& font) {
    char16_t buffer[kFaceBufferUnits] = {};
    DWORD size = sizeof buffer;
    DWORD type = REG_NONE;
    if (RegQueryValueExW(key, L"FontFace", nullptr, &type, reinterpret_cast<BYTE*>(buffer),
                         &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return;
    const std::optional<std::u16string> face = Settings_AcceptFaceName(buffer);
    if (!face)
        return;
    static_assert(LF_FACESIZE == kFaceBufferUnits);
    std::memset(font.lfFaceName, 0, sizeof font.lfFaceName);
    std::memcpy(font.lfFaceName, face->data(), face->size() * sizeof(char16_t));
}

void WriteNumber(HKEY key, const wchar_t* name, uint32_t value) {
    const DWORD data = value;
    RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data);
}

} // namespace

std::wstring& Settings_KeyPath() {
    static std::wstring path = L"Software\\Orvanel\\" TESSARY_NAME;
    return path;
}

void Settings_SetDefaults(AppSettings& settings) {
    settings = AppSettings{};
}

void Settings_SetDefaultFont(AppSettings& settings) {
    LOGFONTW& font = settings.editorLogFont;
    font = LOGFONTW{};
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
    wcscpy_s(font.lfFaceName, L"Consolas");
    settings.fontSizePt = 11;
}

void Settings_Load(AppSettings& settings) {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, Settings_KeyPath().c_str(), 0, KEY_READ, &opened) !=
        ERROR_SUCCESS)
        return;
    const RegistryKey owner(opened);
    HKEY key = owner.get();
    for (const FlagValue& flag : kFlags) {
        if (const std::optional<uint32_t> value = ReadNumber(key, flag.name))
            settings.*flag.field = *value != 0;
    }
    ReadFaceName(key, settings.editorLogFont);
    if (const std::optional<uint32_t> size = ReadNumber(key, L"FontSizePt")) {
        if (const std::optional<int32_t> accepted = Settings_AcceptFontSize(*size))
            settings.fontSizePt = *accepted;
    }
    settings.scrollSpeed = Settings_ScrollSpeedFromPercent(ReadNumber(key, L"ScrollSpeedPercent"));
}

void Settings_Save(const AppSettings& settings) {
    HKEY created = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, Settings_KeyPath().c_str(), 0, nullptr,
                        REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, &created,
                        nullptr) != ERROR_SUCCESS)
        return;
    const RegistryKey owner(created);
    HKEY key = owner.get();
    for (const FlagValue& flag : kFlags)
        WriteNumber(key, flag.name, settings.*flag.field ? 1 : 0);
    const wchar_t* faceField = settings.editorLogFont.lfFaceName;
    const std::wstring face(faceField, wcsnlen(faceField, LF_FACESIZE - 1));
    if (!face.empty())
        RegSetValueExW(key, L"FontFace", 0, REG_SZ, reinterpret_cast<const BYTE*>(face.c_str()),
                       static_cast<DWORD>((face.size() + 1) * sizeof(wchar_t)));
    WriteNumber(key, L"FontSizePt", static_cast<uint32_t>(settings.fontSizePt));
    WriteNumber(key, L"ScrollSpeedPercent", Settings_ScrollPercentForSave(settings.scrollSpeed));
}
