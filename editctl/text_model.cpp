#include "editctl/text_model.h"

#include <algorithm>

LineLocation LocateLine(const EditState& s, int32_t position) {
    if (s.lines.empty())
        return {};
    position = std::clamp(position, 0, TextLength(s));
    const int32_t line = s.lines.lineOfPosition(position);
    const LineInfo info = s.lines[line];
    return {line, std::clamp(position - info.start, 0, info.length)};
}

void EraseText(EditState& s, int32_t position, int32_t count) {
    s.text.erase(static_cast<size_t>(position), static_cast<size_t>(std::max(count, 0)));
}

void InsertText(EditState& s, int32_t position, std::u16string_view inserted) {
    s.text.insert(static_cast<size_t>(position), inserted);
}
