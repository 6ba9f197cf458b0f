// Windows' high contrast setting and the system colours windows draw with
// while it is on. The setting is read once and kept until
// HighContrast_Refresh, which windows call when told of a change
// (WM_SYSCOLORCHANGE, WM_SETTINGCHANGE). Tests put their own source in the
// system's place.
#pragma once

#include <windows.h>

struct HighContrastSource {
    bool (*on)();
    COLORREF (*color)(int index); // a COLOR_* index
};

bool HighContrast_On();
COLORREF HighContrast_Color(int index);
// Reads the setting again.
void HighContrast_Refresh();
// Null puts the system back; either way the setting is read again.
void HighContrast_Override(const HighContrastSource* source);
