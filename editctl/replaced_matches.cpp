#include "editctl/replaced_matches.h"

#include <algorithm>
#include <string>
#include <utility>

namespace {

int64_t Count(const ReplacedMatches& m) {
    return static_cast<int64_t>(m.positions.size());
}

int64_t Growth(const ReplacedMatches& m) {
    return static_cast<int64_t>(m.inserted.size()) - m.length;
}

// Where match `i` starts in the text with the inserted text in its place
// (`replaced`) or without.
int64_t PlaceOf(const ReplacedMatches& m, size_t i, bool replaced) {
    return m.positions[i] + (replaced ? static_cast<int64_t>(i) * Growth(m) : 0);
}

std::u16string_view Removed(const ReplacedMatches& m, size_t i) {
    if (m.removed.size() == static_cast<size_t>(m.length))
        return m.removed;
    return std::u16string_view(m.removed).substr(i * static_cast<size_t>(m.length),
                                                 static_cast<size_t>(m.length));
}

// Whether every match holds the same units as the first.
bool AllAlike(const TextBuffer& text, const std::vector<int32_t>& positions, int32_t length) {
    for (const int32_t p : positions) {
        for (int32_t k = 0; k < length; ++k) {
            if (text[static_cast<size_t>(p + k)] != text[static_cast<size_t>(positions[0] + k)])
                return false;
        }
    }
    return true;
}

std::u16string RemovedUnits(const TextBuffer& text, const std::vector<int32_t>& positions,
                            int32_t length) {
    const auto n = static_cast<size_t>(length);
    if (AllAlike(text, positions, length))
        return text.substr(static_cast<size_t>(positions[0]), n);
    std::u16string units;
    units.reserve(positions.size() * n);
    for (const int32_t p : positions) {
        for (size_t k = 0; k < n; ++k)
            units.push_back(text[static_cast<size_t>(p) + k]);
    }
    return units;
}

// Copies text[from, to) to `out`; returns the end of the copy.
char16_t* CopyText(const TextBuffer& text, int64_t from, int64_t to, char16_t* out) {
    for (auto i = static_cast<size_t>(from); i < static_cast<size_t>(to); ++i)
        *out++ = text[i];
    return out;
}

} // namespace

std::shared_ptr<const ReplacedMatches> CollectMatches(const TextBuffer& text,
                                                      std::vector<int32_t> positions,
                                                      int32_t length,
                                                      std::u16string_view inserted) {
    if (length <= 0)
        return nullptr;
    const int64_t size = static_cast<int64_t>(text.size());
    int64_t free = 0; // where the next match may start
    const auto kept = std::remove_if(positions.begin(), positions.end(), [&](int32_t p) {
        if (p < free || p + int64_t{length} > size)
            return true;
        free = p + int64_t{length};
        return false;
    });
    positions.erase(kept, positions.end());
    if (positions.empty())
        return nullptr;
    auto m = std::make_shared<ReplacedMatches>();
    m->removed = RemovedUnits(text, positions, length);
    m->positions = std::move(positions);
    m->length = length;
    m->inserted = std::u16string(inserted);
    return m;
}

int64_t RebuiltLength(const TextBuffer& text, const ReplacedMatches& m, bool putInserted) {
    const int64_t change = Count(m) * Growth(m);
    return static_cast<int64_t>(text.size()) + (putInserted ? change : -change);
}

std::u16string RebuiltText(const TextBuffer& text, const ReplacedMatches& m, bool putInserted) {
    std::u16string rebuilt(static_cast<size_t>(RebuiltLength(text, m, putInserted)), u'\0');
    const int64_t cut = putInserted ? m.length : static_cast<int64_t>(m.inserted.size());
    char16_t* out = rebuilt.data();
    int64_t read = 0;
    for (size_t i = 0; i < m.positions.size(); ++i) {
        const int64_t at = PlaceOf(m, i, !putInserted);
        out = CopyText(text, read, at, out);
        const std::u16string_view piece = putInserted ? m.inserted : Removed(m, i);
        out = std::copy(piece.begin(), piece.end(), out);
        read = at + cut;
    }
    CopyText(text, read, static_cast<int64_t>(text.size()), out);
    return rebuilt;
}

TextChange RebuiltChange(const ReplacedMatches& m, bool putInserted) {
    const size_t last = m.positions.size() - 1;
    const auto inserted = static_cast<int64_t>(m.inserted.size());
    const int64_t start = m.positions.front();
    const int64_t end = PlaceOf(m, last, !putInserted) + (putInserted ? m.length : inserted);
    TextChange change;
    change.add(static_cast<int32_t>(start), static_cast<int32_t>(end - start),
               RebuiltEnd(m, putInserted) - static_cast<int32_t>(start));
    return change;
}

int32_t RebuiltEnd(const ReplacedMatches& m, bool putInserted) {
    const size_t last = m.positions.size() - 1;
    const int64_t piece = putInserted ? static_cast<int64_t>(m.inserted.size()) : m.length;
    return static_cast<int32_t>(PlaceOf(m, last, putInserted) + piece);
}
