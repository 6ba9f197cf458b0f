// The user's preferences as the main window holds them; app/settings.h reads
// and writes them in the per-user registry.
#pragma once

#include <windows.h>

#include <cstdint>

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
