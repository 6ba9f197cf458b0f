#include "editctl/clipboard_text.h"

#include "editctl/editing.h"
#include "editctl/text_model.h"

std::u16string SelectedText(const TextModel& model) {
    const int32_t low = SelectionLow(model);
    return model.text.substr(static_cast<size_t>(low),
                             static_cast<size_t>(SelectionHigh(model) - low));
}

std::u16string NormalizePastedBreaks(std::u16string_view clipboardText) {
    std::u16string result;
    result.reserve(clipboardText.size());
    char16_t previous = 0;
    for (const char16_t unit : clipboardText) {
        if (unit == 10 && previous != 13)
            result.push_back(13);
        result.push_back(unit);
        previous = unit;
    }
    return result;
}

void PasteText(EditState& s, std::u16string_view clipboardText) {
    ReplaceSelection(s, NormalizePastedBreaks(clipboardText));
}
