// The user's preferences and their home in the per-user registry.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

// The persisted preferences; a group of fields inside MainWindow.
struct AppSettings {
    bool wordWrap = true;
    bool showLineNumbers = true;
    bool showStatusBar = true;
    bool showTabs = true;
    double scrollSpeed = 2.0; // multiplier, stored as a percent
    bool insertSpaces = false;
    int32_t fontSizePt = 11;
    // Only the face name persists; the height always comes from fontSizePt
    // and the DPI, and weight or italics last until the program ends.
    LOGFONTW editorLogFont = {};
};

// The key under HKEY_CURRENT_USER, "Software\Orvanel\Tessary"; tests point
// it at a key of their own.
std::wstring& Settings_KeyPath();

void Settings_SetDefaults(AppSettings& settings);
// The default editor font: "Consolas", regular, fixed pitch, 11 points.
void Settings_SetDefaultFont(AppSettings& settings);
// Leaves every field whose value is missing or unacceptable as it was, except
// the scroll speed, which becomes 2.0 without a stored value.
void Settings_Load(AppSettings& settings);
// Writes every value; failures leave the registry as it is, silently.
void Settings_Save(const AppSettings& settings);
