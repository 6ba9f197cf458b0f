#include "editctl/text_model.h"

#include <algorithm>
#include <functional>
#include <string>

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
    const std::less<const char16_t*> before;
    const char16_t* begin = s.text.data();
    const char16_t* end = begin + s.text.size();
    const bool aliases =
        !inserted.empty() && !before(inserted.data(), begin) && before(inserted.data(), end);
    if (aliases) {
        // Growing the text may move it; insert from a copy.
        const std::u16string copy(inserted);
        s.text.insert(static_cast<size_t>(position), copy);
    } else {
        s.text.insert(static_cast<size_t>(position), inserted.data(), inserted.size());
    }
}
