#include "app/window_modes_rules.h"

#include "app/settings_rules.h"

std::optional<int32_t> ChosenFontSize(int32_t tenths) {
    const int32_t points = tenths / 10;
    if (points < kMinFontSizePt || points > kMaxFontSizePt)
        return std::nullopt;
    return points;
}

std::u16string AboutText(const std::u16string& version) {
    std::u16string text = u"Version ";
    text += version.empty() ? std::u16string(kFallbackVersion) : version;
    text += u"\n\n"
            u"A small, fast plain-text editor for Windows.\n"
            u"Tabs, word wrap, line numbers and unlimited undo.\n"
            u"\n"
            u"Home page and issue tracker:\n"
            u"https://tessary.orvanel.example\n"
            u"https://tessary.orvanel.example/issues";
    return text;
}
