// The record of one edit control and its element records. Platform-free: the
// window layer fills the opaque handles and the client size, runs the core's
// operations on this record and then applies the effects they left behind.
#pragma once

#include "editctl/column_stops.h"
#include "editctl/line_table.h"
#include "editctl/text_buffer.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <span>
#include <string>
#include <utility>
#include <vector>

enum class UndoKind : int32_t { Insert = 0, Delete = 1 };

// Every match of Replace All given way to the same text: the places and
// units alone, so that the history holds no copy of the text around them.
struct ReplacedMatches {
    // Where each match starts in the text without the replacement; ascending, apart.
    std::vector<int32_t> positions;
    int32_t length = 0; // units in each match
    // The matches' units in turn, or the first one's alone when all are alike.
    std::u16string removed;
    std::u16string inserted;
};

// One edit: `text` was inserted at, or removed from, `position`. With
// `matches`, the edit is a Replace All starting at `position` instead: an
// Insert record put the inserted text in place of the matches, a Delete
// record the matches back.
struct UndoRecord {
    UndoKind kind = UndoKind::Insert;
    int32_t position = 0;
    std::u16string text;
    // Undone and redone in one step with the record beneath it in its history.
    bool joined = false;
    // Shared by copies of the record: it never changes once made.
    std::shared_ptr<const ReplacedMatches> matches = nullptr;
};

struct EditState;

// Hears of every change of the text once it is made, to keep a record of it
// elsewhere. Called inside the edit, so it must be quick and must not throw.
class TextObserver {
  public:
    // The records were carried out: in order when `forward`, else each
    // reversed, from the last to the first.
    virtual void TextChanged(const EditState& s, std::span<const UndoRecord> records,
                             bool forward) noexcept = 0;
    // The whole text was replaced; what came before no longer leads to it.
    virtual void TextReplaced(const EditState& s) noexcept = 0;

  protected:
    ~TextObserver() = default;
};

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

// What the window must do after a core operation, applied in this order:
// gutter cells, scroll bars, caret, whole client, notification last.
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
    EditNotify notify = EditNotify::None;
};

struct EditState {
    TextBuffer text;
    // Logical lines with their visual rows, running row tops, total rows and
    // widest line: derived from the text and the view by Relayout.
    LineTable lines;
    // Kept by the conversions between offsets and columns, which only read
    // the record otherwise; dropped or trimmed with every relayout.
    mutable ColumnStops columnStops;
    int32_t anchor = 0;
    int32_t caret = 0;
    int32_t scrollX = 0;
    int32_t scrollY = 0;
    void* font = nullptr;    // not owned: the main window creates and deletes it
    int32_t charWidth = 8;   // at least 1
    int32_t lineHeight = 16; // at least 1
    std::vector<UndoRecord> undoHistory;
    std::vector<UndoRecord> redoHistory;
    bool wordWrap = true;
    bool showLineNumbers = true;
    int32_t gutterWidth = 50;
    int32_t margin = 4;
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
    double scrollSpeed = 2.0;
    bool insertSpaces = false;
    int32_t tabWidth = 4;   // below 1 counts as 4
    void* window = nullptr; // null: no window, the view operations do nothing
    bool modified = false;
    bool mouseSelecting = false;
    uint32_t lastClickTime = 0;
    int32_t lastClickX = -99999; // far outside any window: the first press never repeats
    int32_t lastClickY = -99999;
    int32_t clickCount = 0;
    int32_t currentLine = 0;
    // The first half of a surrogate pair typed as two character messages.
    char16_t pendingHighSurrogate = 0;
    int32_t clientWidth = 0; // kept current by the window layer
    int32_t clientHeight = 0;
    EditEffects effects; // accumulated by operations, taken by the window layer
    // The longest text an edit may make: positions are signed 32-bit.
    int64_t maxLength = std::numeric_limits<int32_t>::max();
    // The window layer's accessibility element, made when a client first
    // asks; the core never touches it.
    void* automation = nullptr;
    // The window layer's off-screen bitmap, kept between paints at the
    // size it was made for; the core never touches it.
    void* backBuffer = nullptr;
    int32_t backBufferWidth = 0;
    int32_t backBufferHeight = 0;
    TextObserver* observer = nullptr; // not owned
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
