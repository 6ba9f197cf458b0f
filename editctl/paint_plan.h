// What one paint of the control draws, in client pixels: the number cells of
// the visible lines and the text runs of their visible rows. Platform-free,
// so the window layer only turns the plan into drawing calls.
#pragma once

#include "editctl/edit_state.h"

#include <cstdint>
#include <string>
#include <vector>

struct NumberCell {
    int32_t top = 0;    // client y of the line's first row
    int32_t number = 0; // 1-based logical line
    bool current = false;
};

// A character of a run that is not one unit in one cell of left-to-right
// text: wide, several units, or of a right-to-left script.
struct RunCharacter {
    int32_t index = 0; // its first unit in the run's text
    int32_t units = 0;
    int32_t cell = 0; // cells from the run's start
    int32_t cells = 0;
    bool alone = false; // several units or right-to-left: drawn on its own
};

// Cells of one visual row drawn in one colour. Tabs are expanded to spaces.
// Every unit of `text` takes one cell except the units of `characters`.
struct TextRun {
    int32_t x = 0;
    int32_t top = 0;
    int32_t cells = 0;
    bool selected = false;
    std::u16string text;
    int32_t position = 0; // in the document, of the first character drawn
    std::vector<RunCharacter> characters;
};

struct PaintPlan {
    std::vector<NumberCell> numbers; // empty while line numbers are hidden
    std::vector<TextRun> runs;
};

// The rows that meet the client area, at most three runs each. A run is cut
// to the cells near the text area, so a very long line costs only what shows.
PaintPlan PlanPaint(const EditState& s);
// The same for the part of the client inside `area`: the rows meeting it,
// their runs cut to it, and the number cells when it reaches the gutter.
PaintPlan PlanPaint(const EditState& s, const PixelRect& area);
