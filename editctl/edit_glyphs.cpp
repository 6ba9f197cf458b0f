#include "editctl/edit_glyphs.h"

#include "editctl/characters.h"
#include "winkit/win_handles.h"

#include <algorithm>
#include <new>
#include <vector>

namespace {

// Glyphs drawn of one character at most: marks beyond these would only lie
// on top of the ones drawn.
constexpr int kMostGlyphs = 64;

// Code points a character shows through the code point they follow: the
// joiners, variation selectors, tags and skin tones. A font that has no
// glyph for the whole sequence draws its first pictograph alone.
bool ShownByItsBase(char32_t c) {
    return c == 0x200C || c == 0x200D || (c >= 0xFE00 && c <= 0xFE0F) ||
           (c >= 0xE0000 && c <= 0xE007F) || (c >= 0xE0100 && c <= 0xE01EF) ||
           (c >= 0x1F3FB && c <= 0x1F3FF);
}

const ABC& MetricsOf(HDC dc, FontGlyphs& glyphs, uint16_t glyph) {
    FontGlyphs::Kept& kept = glyphs.kept[glyph & 0xFF];
    if (!kept.valid || kept.glyph != glyph) {
        kept.glyph = glyph;
        kept.valid = true;
        if (!GetCharABCWidthsI(dc, glyph, 1, nullptr, &kept.abc))
            kept.abc = {};
    }
    return kept.abc;
}

// One box in the cells, for a character the font has no glyph for.
void DrawMissingBox(HDC dc, const EditState& s, const RECT& cells) {
    const int across = std::max(1, s.view.charWidth / 6);
    const int down = std::max(1, s.view.lineHeight / 5);
    const RECT box = {cells.left + across, cells.top + down, cells.right - across,
                      cells.bottom - down};
    SetDCBrushColor(dc, GetTextColor(dc));
    FrameRect(dc, &box, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

// Draws the units as text, centred on the cells and cut to them.
void DrawAsText(HDC dc, const RECT& cells, std::u16string_view units) {
    const auto* text = reinterpret_cast<const wchar_t*>(units.data());
    const auto count = static_cast<int>(units.size());
    SIZE size = {};
    GetTextExtentPoint32W(dc, text, count, &size);
    ExtTextOutW(dc, cells.left + (cells.right - cells.left - size.cx) / 2, cells.top, ETO_CLIPPED,
                &cells, text, static_cast<UINT>(count), nullptr);
}

} // namespace

FontGlyphs* EditCtl_FontGlyphs(EditState& s, HDC dc) {
    FontGlyphs* kept = s.attached.glyphs.get();
    if (kept && kept->font == s.attached.font)
        return kept;
    s.attached.glyphs.reset();
    FontGlyphs* made = new (std::nothrow) FontGlyphs;
    if (!made)
        return nullptr;
    s.attached.glyphs.reset(made, [](FontGlyphs* g) { delete g; });
    made->font = s.attached.font;
    const SelectedObject font(dc, s.attached.font);
    constexpr DWORD kCmap = 'c' | 'm' << 8 | 'a' << 16 | 'p' << 24;
    const DWORD size = GetFontData(dc, kCmap, 0, nullptr, 0);
    if (size == GDI_ERROR || size == 0)
        return made;
    try {
        std::vector<uint8_t> table(size);
        if (GetFontData(dc, kCmap, 0, table.data(), size) == size)
            made->map = GlyphMap(table);
    } catch (const std::bad_alloc&) {
        // Without the map characters are drawn as text, as the font draws them.
    }
    return made;
}

void DrawCharacter(HDC dc, FontGlyphs* glyphs, const EditState& s, int left, int top, int cells,
                   std::u16string_view units) {
    const RECT clip = {left, top, left + cells * s.view.charWidth, top + s.view.lineHeight};
    // One unit is drawn as text, so that a font linked to the control's
    // font may draw what that one lacks.
    if (!glyphs || !glyphs->map.known() || units.size() == 1) {
        DrawAsText(dc, clip, units);
        return;
    }
    WORD ids[kMostGlyphs];
    INT origins[kMostGlyphs];
    int count = 0;
    // Marks the font lacks: where in `units` and over which base centre.
    struct Borrowed {
        size_t at;
        size_t length;
        int centre;
    };
    Borrowed borrowed[kMostGlyphs];
    int borrowedCount = 0;
    int pen = 0;    // the spacing glyphs' advances so far
    int centre = 0; // the middle of the last spacing glyph's advance
    ClusterState state;
    for (size_t i = 0; i < units.size() && count + borrowedCount < kMostGlyphs;) {
        const size_t at = i;
        const char32_t c = CodePointAt(units, static_cast<int32_t>(i));
        i += c > 0xFFFF ? 2 : 1;
        const bool joinedPictograph = state.joinsPictograph && IsExtendedPictographic(c);
        state = Advance(state, c);
        if (joinedPictograph)
            break;
        if (ShownByItsBase(c))
            continue;
        const uint16_t glyph = glyphs->map.glyphOf(c);
        const bool mark = count > 0 && GraphemeBreakOf(c) == GraphemeBreak::Extend;
        if (glyph == 0 && mark) {
            borrowed[borrowedCount++] = {at, i - at, centre};
            continue;
        }
        if (glyph == 0) {
            DrawMissingBox(dc, s, clip);
            return;
        }
        const ABC& abc = MetricsOf(dc, *glyphs, glyph);
        if (mark) {
            // A mark's ink centred over its base, wherever the font put it.
            origins[count] = centre - (abc.abcA + static_cast<int>(abc.abcB) / 2);
        } else {
            const int advance = abc.abcA + static_cast<int>(abc.abcB) + abc.abcC;
            origins[count] = pen;
            centre = pen + advance / 2;
            pen += advance;
        }
        ids[count++] = glyph;
    }
    if (count == 0)
        return;
    INT steps[kMostGlyphs];
    for (int k = 0; k < count; ++k)
        steps[k] = k + 1 < count ? origins[k + 1] - origins[k] : 0;
    const int start = left + (clip.right - clip.left - pen) / 2;
    ExtTextOutW(dc, start + origins[0], top, ETO_GLYPH_INDEX | ETO_CLIPPED, &clip,
                reinterpret_cast<LPCWSTR>(ids), static_cast<UINT>(count), steps);
    // A mark the font lacks is drawn as text, which lets the system draw it
    // from a font that has it, over its base and cut to the cells; a base
    // the font has is not hidden behind a box for a missing accent.
    for (int k = 0; k < borrowedCount; ++k) {
        const auto* mark = reinterpret_cast<const wchar_t*>(units.data() + borrowed[k].at);
        const auto length = static_cast<int>(borrowed[k].length);
        SIZE size = {};
        GetTextExtentPoint32W(dc, mark, length, &size);
        ExtTextOutW(dc, start + borrowed[k].centre - size.cx / 2, top, ETO_CLIPPED, &clip, mark,
                    static_cast<UINT>(length), nullptr);
    }
}
