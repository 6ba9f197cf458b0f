#include "editctl/text_model.h"

#include <algorithm>

LineLocation LocateLine(const TextModel& model, int32_t position) {
    if (model.lines.empty())
        return {};
    position = std::clamp(position, 0, TextLength(model));
    const int32_t line = model.lines.lineOfPosition(position);
    const LineInfo info = model.lines[line];
    return {line, std::clamp(position - info.start, 0, info.length)};
}

void EraseText(TextModel& model, int32_t position, int32_t count) {
    model.text.erase(static_cast<size_t>(position), static_cast<size_t>(std::max(count, 0)));
}

void InsertText(TextModel& model, int32_t position, std::u16string_view inserted) {
    model.text.insert(static_cast<size_t>(position), inserted);
}
