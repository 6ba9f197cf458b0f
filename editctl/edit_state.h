// The record of one edit control, in parts. Platform-free: the window layer
// fills the window part and the client size, runs the core's operations on
// this record and then carries out the effects they left behind.
#pragma once

#include "editctl/column_stops.h"
#include "editctl/effects.h"
#include "editctl/history.h"
#include "editctl/line_table.h"
#include "editctl/live_spans.h"
#include "editctl/text_buffer.h"
#include "editctl/window_parts.h"
#include "fileio/text_units.h"

#include <cstdint>
#include <utility>

// The text, its logical lines and the selection in it.
struct TextModel {
    TextBuffer text;
    // Logical lines with their visual rows, running row tops, total rows and
    // widest line: derived from the text and the view by Relayout.
    LineTable lines;
    // Kept by the conversions between offsets and columns, which only read
    // the record otherwise; dropped or trimmed with every relayout.
    mutable ColumnStops columnStops;
    // Spans held outside the control, moved along with every edit.
    LiveSpans liveSpans;
    int32_t anchor = 0; // the selection's fixed end
    int32_t caret = 0;  // its moving end, where the caret is drawn
    // The longest text an edit may make: positions are signed 32-bit.
    int64_t maxLength = kMaxTextLength;
};

// How the text is shown: the cell grid, scrolling, the gutter, colours
// (0x00BBGGRR) and the settings the main window passes on.
struct ViewState {
    // Pixels, in 64 bits: a text of 2^31 units may be far more pixels tall
    // or wide than 32 bits count. The scroll bars show them scaled.
    int64_t scrollX = 0; // 0 while wrapping
    int64_t scrollY = 0;
    int32_t charWidth = 8;   // at least 1
    int32_t lineHeight = 16; // at least 1
    int32_t clientWidth = 0; // kept current by the window layer
    int32_t clientHeight = 0;
    bool wordWrap = true;
    bool showLineNumbers = true;
    int32_t gutterWidth = 50;
    // The gutter is wide enough for at least this many lines' numbers: those
    // a text still loading is expected to have, so that it does not widen
    // when the whole text comes. Every new text drops it.
    int32_t gutterLines = 0;
    int32_t margin = 4;
    int32_t currentLine = 0; // the logical line whose number is highlighted
    uint32_t backgroundColor = 0xFFFFFF;
    uint32_t textColor = 0x000000;
    uint32_t gutterColor = 0xF0F0F0;
    uint32_t lineNumberColor = 0x808080;
    uint32_t gutterLineColor = 0xC8C8C8;
    uint32_t selectionColor = 0xD77800;
    uint32_t selectedTextColor = 0xFFFFFF;
    bool highlightCurrentLine = true;
    uint32_t currentLineColor = 0xDCDCDC;
    uint32_t currentLineNumberColor = 0x000000;
    double scrollSpeed = 2.0; // mouse-wheel multiplier
    bool insertSpaces = false;
    int32_t tabWidth = 4; // below 1 counts as 4
};

// What one input message leaves for the next: the mouse's presses and
// drag, and the first half of a surrogate pair typed as two messages.
struct InputState {
    bool mouseSelecting = false;
    uint32_t lastClickTime = 0;
    int32_t lastClickX = -99999; // far outside any window: the first press never repeats
    int32_t lastClickY = -99999;
    int32_t clickCount = 0;
    char16_t pendingHighSurrogate = 0;
};

struct EditState {
    TextModel model;
    EditHistory history;
    ViewState view;
    InputState input;
    WindowParts attached;
    EditEffects effects; // accumulated by operations, taken by the window layer
};

// Asks the window to repaint its whole client area.
inline void InvalidateClient(EditState& s) {
    s.effects.invalidate = true;
}
// Asks the window to send the parent this notification, last.
inline void NotifyParent(EditState& s, EditNotify code) {
    s.effects.notify = code;
}

// Hands the accumulated effects to the window layer and starts a fresh record.
inline EditEffects TakeEffects(EditState& s) {
    EditEffects taken = std::move(s.effects);
    s.effects = EditEffects{};
    return taken;
}
