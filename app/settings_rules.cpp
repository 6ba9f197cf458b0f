#include "app/settings_rules.h"

#include <algorithm>

std::optional<int32_t> Settings_AcceptFontSize(uint32_t stored) {
    if (stored < static_cast<uint32_t>(kMinFontSizePt) ||
        stored > static_cast<uint32_t>(kMaxFontSizePt))
        return std::nullopt;
    return static_cast<int32_t>(stored);
}

double Settings_ScrollSpeedFromPercent(std::optional<uint32_t> stored) {
    const uint32_t percent = std::clamp<uint32_t>(stored.value_or(200), 10, 500);
    return percent / 100.0;
}

uint32_t Settings_ScrollPercentForSave(double speed) {
    if (!(speed > 0.0))
        speed = 0.1;
    speed = std::min(speed, 5.0);
    return static_cast<uint32_t>(speed * 100.0 + 0.5);
}

bool Settings_IsUsableFaceName(std::u16string_view face) {
    return !face.empty() && face.front() != u'@';
}

std::optional<std::u16string> Settings_AcceptFaceName(const char16_t (&buffer)[kFaceBufferUnits]) {
    std::u16string face;
    for (int i = 0; i < kFaceBufferUnits - 1 && buffer[i] != 0; ++i)
        face.push_back(buffer[i]);
    if (!Settings_IsUsableFaceName(face))
        return std::nullopt;
    return face;
}

int Settings_SnapScrollSpeed(double speed) {
    // Upper bounds of each menu value's band; the 0.5 band includes both ends.
    if (speed < 0.5)
        return 0;
    if (speed <= 0.75)
        return 1;
    if (speed <= 1.5)
        return 2;
    if (speed <= 2.5)
        return 3;
    if (speed <= 3.5)
        return 4;
    if (speed <= 4.5)
        return 5;
    return 6;
}
