// The user's preferences in the per-user registry.
#pragma once

#include "docs/app_settings.h"

#include <string>

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
