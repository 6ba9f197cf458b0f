// What the window must do after a core operation. Operations only record
// it; the window layer carries it out.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// The codes the control sends its parent; the values are the notification codes.
enum class EditNotify : int32_t { None = 0, Change = 1, SelChange = 2, Scroll = 3 };

struct PixelRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

// A scroll bar's range is always 0..max.
struct ScrollBarState {
    int32_t max = 0;
    int32_t page = 0;
    int32_t pos = 0;
};

// Gutter cells to repaint, held without allocating, so that recording them
// cannot fail after an operation changed the record. A caret move adds two;
// when more pile up, the whole client is repainted instead.
class GutterCells {
  public:
    // False when full: the caller repaints everything.
    bool add(const PixelRect& cell) {
        if (count_ == cells_.size())
            return false;
        cells_[count_++] = cell;
        return true;
    }
    size_t size() const { return count_; }
    bool empty() const { return count_ == 0; }
    const PixelRect& operator[](size_t i) const { return cells_[i]; }
    const PixelRect* begin() const { return cells_.data(); }
    const PixelRect* end() const { return cells_.data() + count_; }

  private:
    std::array<PixelRect, 4> cells_;
    size_t count_ = 0;
};

// Applied in this order: gutter cells, scroll bars, caret, whole client,
// notification last.
struct EditEffects {
    GutterCells gutterInvalidations;
    bool scrollBars = false; // push `vertical`, and `horizontal` or hide it
    ScrollBarState vertical;
    bool horizontalShown = false;
    ScrollBarState horizontal;
    bool caret = false; // move the system caret to (caretX, caretY)
    int32_t caretX = 0;
    int32_t caretY = 0;
    bool invalidate = false; // the whole client area, without erasing
    bool tooLong = false;    // an edit was refused: tell the user the text would grow too long
    bool readOnly = false;   // an edit was refused because the text is read-only: beep
    EditNotify notify = EditNotify::None;
};
