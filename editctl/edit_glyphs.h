// Drawing one character inside its cells by the glyphs of the control's
// font: a pair beyond the Basic Multilingual Plane as the one glyph it
// stands for, marks centred on their base, a character the font cannot draw
// as one box, and all of it clipped to the character's cells. A character
// of one unit is drawn as text, clipped the same way.
#pragma once

#include "editctl/edit_state.h"
#include "editctl/glyph_map.h"

#include <windows.h>

#include <cstdint>
#include <string_view>

// What the control knows of its font's glyphs, read again when the font changes.
struct FontGlyphs {
    HFONT font = nullptr; // the font it was read from; null for the context's default
    GlyphMap map;
    // The metrics of glyphs drawn lately, by glyph number: a fixed cache,
    // so that drawing allocates nothing.
    struct Kept {
        uint16_t glyph = 0;
        bool valid = false;
        ABC abc = {};
    };
    Kept kept[256];
};

// The glyphs of the record's font, read through `dc` when the font changed.
// Null when they cannot be read: characters are then drawn as text.
FontGlyphs* EditCtl_FontGlyphs(EditState& s, HDC dc);

// Draws `units`, one character, in `cells` cells from client x `left` on
// the row at `top`, in the context's font and text colour.
void DrawCharacter(HDC dc, FontGlyphs* glyphs, const EditState& s, int left, int top, int cells,
                   std::u16string_view units);
