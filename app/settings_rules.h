// What the settings store accepts: the checks applied to registry values on
// load and the conversions applied on save. Platform-free, so the rules are
// testable without a registry.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

constexpr int32_t kMinFontSizePt = 6;
constexpr int32_t kMaxFontSizePt = 200;
constexpr int kFaceBufferUnits = 32; // 64 bytes, as the face name is read

// A point size from the registry, or nothing when it lies outside 6..200.
std::optional<int32_t> Settings_AcceptFontSize(uint32_t stored);

// The scroll speed a stored percent gives: clamped to 10..500, divided by
// 100. Without a stored value the speed is the default 2.0.
double Settings_ScrollSpeedFromPercent(std::optional<uint32_t> stored);

// The percent written for a speed: at most 5.0, and a speed not above zero
// (or NaN) counts as 0.1; rounded half up.
uint32_t Settings_ScrollPercentForSave(double speed);

// A face the editor font can take: not empty, and not a vertical face (its
// name starts with "@"), which would turn every character sideways.
bool Settings_IsUsableFaceName(std::u16string_view face);

// The face name held by a 64-byte registry read of type REG_SZ: at most 31
// characters, or nothing when that is not a usable face name.
std::optional<std::u16string> Settings_AcceptFaceName(const char16_t (&buffer)[kFaceBufferUnits]);

// The menu's scroll speeds, slowest first; index 3 (2x) is the default.
constexpr double kScrollSpeeds[7] = {0.25, 0.5, 1.0, 2.0, 3.0, 4.0, 5.0};

// The index in kScrollSpeeds that a loaded speed snaps to at start-up.
int Settings_SnapScrollSpeed(double speed);
