// Which glyph of a font draws each code point, read from the font's
// character-to-glyph table (the 'cmap' table of TrueType and OpenType): its
// Unicode subtable of format 12, which covers every plane, or else of
// format 4, which covers the Basic Multilingual Plane. The window layer
// draws characters by these glyphs, so that a pair beyond the BMP draws as
// the one glyph it stands for and a character the font lacks is known.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

class GlyphMap {
  public:
    // Maps nothing: known() is false.
    GlyphMap() = default;
    // A table it cannot read, or one without a Unicode subtable, maps nothing.
    explicit GlyphMap(std::span<const uint8_t> cmap);

    // Whether a table was read; without one, no character is known missing.
    bool known() const { return !runs_.empty(); }
    // The glyph that draws `c`; 0, the font's missing glyph, when none does.
    uint16_t glyphOf(char32_t c) const;

  private:
    // Code points [first, last] drawn by glyphs from `glyph` on, one each.
    struct Run {
        char32_t first;
        char32_t last;
        uint32_t glyph;
    };
    bool readFormat12(std::span<const uint8_t> table);
    bool readFormat4(std::span<const uint8_t> table);
    void add(char32_t c, uint32_t glyph);

    std::vector<Run> runs_; // ascending, not overlapping
};
