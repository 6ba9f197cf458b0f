#include "editctl/clipboard_text.h"

#include "editctl/editing.h"
#include "editctl/text_model.h"
#include "fileio/page_prefault.h"
#include "fileio/text_units.h"

#include <algorithm>

void WriteSelection(const TextModel& model, char16_t* out) {
    const int32_t low = SelectionLow(model);
    const auto [first, second] = model.text.pieces(static_cast<size_t>(low),
                                                   static_cast<size_t>(SelectionHigh(model) - low));
    PrefaultPages(out, (first.size() + second.size()) * sizeof(char16_t));
    out = std::copy(first.begin(), first.end(), out);
    out = std::copy(second.begin(), second.end(), out);
    *out = 0;
}

std::u16string NormalizePastedBreaks(std::u16string_view clipboardText) {
    std::u16string result;
    result.reserve(clipboardText.size());
    char16_t previous = 0;
    for (const char16_t unit : clipboardText) {
        if (unit == kLf && previous != kCr)
            result.push_back(kCr);
        result.push_back(unit);
        previous = unit;
    }
    return result;
}

void PasteText(EditState& s, std::u16string_view clipboardText) {
    ReplaceSelection(s, NormalizePastedBreaks(clipboardText));
}
