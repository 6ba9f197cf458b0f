#include "docs/status_text.h"

#include <cstdio>

namespace {

std::u16string Widen(const char* ascii) {
    std::u16string text;
    for (; *ascii; ++ascii)
        text.push_back(static_cast<char16_t>(*ascii));
    return text;
}

} // namespace

std::u16string Status_PositionText(int line, int column) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "Ln %d, Col %d", line, column);
    return Widen(buffer);
}

std::u16string Status_LoadingText(int percent) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%d%% (read-only until loaded)", percent);
    return u"Loading\u2026 " + Widen(buffer);
}

std::u16string Status_CharCodeText(char16_t unit) {
    if (unit == 0)
        return u"----";
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "x%04X", static_cast<unsigned>(unit));
    return Widen(buffer);
}
