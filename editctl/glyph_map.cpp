#include "editctl/glyph_map.h"

#include <algorithm>

namespace {

// Big-endian fields at `at`, 0 beyond the end: a short table reads as
// zeros, which the readers below take for an empty or a broken one.
uint32_t Read(std::span<const uint8_t> bytes, size_t at, size_t size) {
    if (at > bytes.size() || bytes.size() - at < size)
        return 0;
    uint32_t value = 0;
    for (size_t i = 0; i < size; ++i)
        value = value << 8 | bytes[at + i];
    return value;
}
uint32_t U16(std::span<const uint8_t> bytes, size_t at) {
    return Read(bytes, at, 2);
}
uint32_t U32(std::span<const uint8_t> bytes, size_t at) {
    return Read(bytes, at, 4);
}

// How much a subtable is wanted: format 12 of a Unicode encoding first,
// then format 4; 0 for one of no use.
int Preference(uint32_t platform, uint32_t encoding, uint32_t format) {
    const bool unicode = platform == 0 || (platform == 3 && (encoding == 1 || encoding == 10));
    if (!unicode)
        return 0;
    return format == 12 ? 2 : format == 4 ? 1 : 0;
}

} // namespace

GlyphMap::GlyphMap(std::span<const uint8_t> cmap) {
    const uint32_t tables = U16(cmap, 2);
    int best = 0;
    size_t offset = 0;
    for (uint32_t i = 0; i < tables; ++i) {
        const size_t record = 4 + size_t{i} * 8;
        const uint32_t at = U32(cmap, record + 4);
        const int preference = Preference(U16(cmap, record), U16(cmap, record + 2), U16(cmap, at));
        if (preference > best) {
            best = preference;
            offset = at;
        }
    }
    if (best == 0 || offset >= cmap.size())
        return;
    const std::span<const uint8_t> table = cmap.subspan(offset);
    if (!(best == 2 ? readFormat12(table) : readFormat4(table)))
        runs_.clear();
}

uint16_t GlyphMap::glyphOf(char32_t c) const {
    const auto after =
        std::upper_bound(runs_.begin(), runs_.end(), c,
                         [](char32_t value, const Run& r) { return value < r.first; });
    if (after == runs_.begin() || c > (after - 1)->last)
        return 0;
    const uint32_t glyph = (after - 1)->glyph + (c - (after - 1)->first);
    return glyph > 0xFFFF ? 0 : static_cast<uint16_t>(glyph);
}

bool GlyphMap::readFormat12(std::span<const uint8_t> table) {
    const uint32_t groups = U32(table, 12);
    if (groups > (table.size() - std::min<size_t>(table.size(), 16)) / 12)
        return false;
    for (uint32_t i = 0; i < groups; ++i) {
        const size_t group = 16 + size_t{i} * 12;
        const char32_t first = U32(table, group);
        const char32_t last = U32(table, group + 4);
        if (last < first || last >= 0x110000 || (!runs_.empty() && first <= runs_.back().last))
            return false;
        runs_.push_back({first, last, U32(table, group + 8)});
    }
    return true;
}

bool GlyphMap::readFormat4(std::span<const uint8_t> table) {
    const size_t segments = U16(table, 6) / 2;
    const size_t ends = 14;
    const size_t starts = ends + segments * 2 + 2;
    const size_t deltas = starts + segments * 2;
    const size_t rangeOffsets = deltas + segments * 2;
    if (rangeOffsets + segments * 2 > table.size())
        return false;
    for (size_t i = 0; i < segments; ++i) {
        const uint32_t first = U16(table, starts + i * 2);
        const uint32_t last = U16(table, ends + i * 2);
        const uint32_t delta = U16(table, deltas + i * 2);
        const uint32_t rangeOffset = U16(table, rangeOffsets + i * 2);
        if (last < first || (!runs_.empty() && first <= runs_.back().last))
            return false;
        for (uint32_t c = first; c <= last; ++c) {
            uint32_t glyph = c;
            if (rangeOffset != 0) {
                // The offset counts from its own field into the glyph array.
                glyph = U16(table, rangeOffsets + i * 2 + rangeOffset + (c - first) * 2);
                if (glyph == 0)
                    continue;
            }
            add(static_cast<char32_t>(c), (glyph + delta) & 0xFFFF);
        }
    }
    return true;
}

void GlyphMap::add(char32_t c, uint32_t glyph) {
    if (glyph == 0)
        return;
    if (!runs_.empty() && runs_.back().last + 1 == c &&
        runs_.back().glyph + (c - runs_.back().first) == glyph) {
        runs_.back().last = c;
        return;
    }
    runs_.push_back({c, c, glyph});
}
