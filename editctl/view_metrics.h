// The view's measures that layout and editing both read: tab stops, the
// gutter, cells per row, and the metrics the line table is measured by.
#pragma once

#include "editctl/cells.h"
#include "editctl/edit_state.h"

#include <cstdint>

// The tab stop distance in use: `tabWidth`, or 4 when it is below 1.
int32_t TabStop(const ViewState& view);
// The gutter's width while it is shown, else 0.
int32_t ShownGutter(const ViewState& view);
// Cells per visual row from the client width; at least 1, and 1 without a window.
int32_t ColumnsPerRow(const EditState& s);
// How the lines' characters take cells in the current view.
CellRules LineCellRules(const EditState& s);
// What the line table measures lines by in the current view.
LineMetrics CurrentLineMetrics(const EditState& s);
