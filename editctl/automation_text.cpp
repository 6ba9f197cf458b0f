#include "editctl/automation_text.h"

#include "editctl/characters.h"
#include "editctl/text_model.h"
#include "editctl/visual_rows.h"
#include "editctl/words.h"
#include "fileio/text_units.h"

#include <algorithm>

namespace {

char16_t At(const EditState& s, int32_t position) {
    return s.model.text[static_cast<size_t>(position)];
}

// ---- Characters: caret stops, a CR LF pair being one ----

bool InsideCrLf(const EditState& s, int32_t p) {
    return p > 0 && p < TextLength(s.model) && At(s, p - 1) == kCr && At(s, p) == kLf;
}

bool IsCharBoundary(const EditState& s, int32_t p) {
    return IsCharStop(s.model.text, p) && !InsideCrLf(s, p);
}

int32_t NextChar(const EditState& s, int32_t p) {
    if (p + 1 < TextLength(s.model) && At(s, p) == kCr && At(s, p + 1) == kLf)
        return p + 2;
    return NextCharStop(s.model.text, p);
}

int32_t PreviousChar(const EditState& s, int32_t p) {
    if (p >= 2 && At(s, p - 1) == kLf && At(s, p - 2) == kCr)
        return p - 2;
    return PrevCharStop(s.model.text, p);
}

// ---- Logical lines ----

int32_t LineStart(const EditState& s, int32_t line) {
    return s.model.lines[line].start;
}

int32_t NextParagraph(const EditState& s, int32_t p) {
    const int32_t line = LocateLine(s.model, p).line;
    return line + 1 < s.model.lines.size() ? LineStart(s, line + 1) : TextLength(s.model);
}

int32_t PreviousParagraph(const EditState& s, int32_t p) {
    const int32_t line = LocateLine(s.model, p).line;
    if (LineStart(s, line) < p)
        return LineStart(s, line);
    return line > 0 ? LineStart(s, line - 1) : 0;
}

// ---- Visual rows ----

int32_t NextRow(const EditState& s, int32_t p) {
    const VisualRow row = RowOfPosition(s, p);
    if (row.row + 1 < s.model.lines[row.line].rows)
        return row.end;
    return row.line + 1 < s.model.lines.size() ? LineStart(s, row.line + 1) : TextLength(s.model);
}

int32_t PreviousRow(const EditState& s, int32_t p) {
    const VisualRow row = RowOfPosition(s, p);
    if (row.start < p)
        return row.start;
    if (row.row > 0)
        return RowOfLine(s, row.line, row.row - 1).start;
    return row.line > 0 ? RowOfLine(s, row.line - 1, s.model.lines[row.line - 1].rows - 1).start
                        : 0;
}

// ---- Screens of rows, lined up with the one the client area shows ----

struct Pages {
    int64_t first; // a row where a page starts
    int64_t rows;  // rows per page, at least 1
};

Pages PageGrid(const EditState& s) {
    const RowWindow visible = VisibleRows(s);
    return {visible.first, std::max<int64_t>(visible.count, 1)};
}

// The page holding the row, counted from the one the client area shows.
int64_t PageOf(const Pages& pages, int64_t row) {
    const int64_t offset = row - pages.first;
    return offset >= 0 ? offset / pages.rows : -((-offset + pages.rows - 1) / pages.rows);
}

int32_t PageStart(const EditState& s, const Pages& pages, int64_t page) {
    return RowAtIndex(s, std::max<int64_t>(pages.first + page * pages.rows, 0)).start;
}

int32_t NextPage(const EditState& s, int32_t p) {
    const Pages pages = PageGrid(s);
    const int64_t next = pages.first + (PageOf(pages, RowOfPosition(s, p).index) + 1) * pages.rows;
    return next >= s.model.lines.totalRows() ? TextLength(s.model)
                                             : RowAtIndex(s, std::max<int64_t>(next, 0)).start;
}

int32_t PreviousPage(const EditState& s, int32_t p) {
    const Pages pages = PageGrid(s);
    const int64_t page = PageOf(pages, RowOfPosition(s, p).index);
    const int32_t start = PageStart(s, pages, page);
    return start < p ? start : PageStart(s, pages, page - 1);
}

bool IsPageBoundary(const EditState& s, int32_t p) {
    const Pages pages = PageGrid(s);
    const VisualRow row = RowOfPosition(s, p);
    return row.start == p && (row.index - pages.first) % pages.rows == 0;
}

TextUnit Supported(TextUnit unit) {
    return unit == TextUnit::Format ? TextUnit::Word : unit;
}

bool Fold(char16_t a, char16_t b, bool ignoreCase) {
    if (!ignoreCase)
        return a == b;
    auto lower = [](char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c; };
    return lower(a) == lower(b);
}

} // namespace

TextSpan ClampSpan(const EditState& s, TextSpan span) {
    const int32_t length = TextLength(s.model);
    const int32_t start = std::clamp(span.start, 0, length);
    return {start, std::clamp(span.end, start, length)};
}

bool IsUnitBoundary(const EditState& s, int32_t p, TextUnit unit) {
    if (p <= 0 || p >= TextLength(s.model) || s.model.lines.empty())
        return true;
    switch (Supported(unit)) {
    case TextUnit::Character:
        return IsCharBoundary(s, p);
    case TextUnit::Word:
        return IsWordStart(s.model, p);
    case TextUnit::Line:
        return RowOfPosition(s, p).start == p;
    case TextUnit::Paragraph:
        return LineStart(s, LocateLine(s.model, p).line) == p;
    case TextUnit::Page:
        return IsPageBoundary(s, p);
    default:
        return false;
    }
}

int32_t NextUnitBoundary(const EditState& s, int32_t p, TextUnit unit) {
    const int32_t length = TextLength(s.model);
    if (p >= length || s.model.lines.empty())
        return length;
    p = std::max(p, 0);
    switch (Supported(unit)) {
    case TextUnit::Character:
        return NextChar(s, p);
    case TextUnit::Word:
        return NextWordStart(s.model, p);
    case TextUnit::Line:
        return NextRow(s, p);
    case TextUnit::Paragraph:
        return NextParagraph(s, p);
    case TextUnit::Page:
        return NextPage(s, p);
    default:
        return length;
    }
}

int32_t PreviousUnitBoundary(const EditState& s, int32_t p, TextUnit unit) {
    if (p <= 0 || s.model.lines.empty())
        return 0;
    p = std::min(p, TextLength(s.model));
    switch (Supported(unit)) {
    case TextUnit::Character:
        return PreviousChar(s, p);
    case TextUnit::Word:
        return WordLeft(s.model, p);
    case TextUnit::Line:
        return PreviousRow(s, p);
    case TextUnit::Paragraph:
        return PreviousParagraph(s, p);
    case TextUnit::Page:
        return PreviousPage(s, p);
    default:
        return 0;
    }
}

TextSpan ExpandToUnit(const EditState& s, TextSpan span, TextUnit unit) {
    int32_t start = ClampSpan(s, span).start;
    // No unit starts at the end of the text: a reader asking there for the
    // current line or character gets the last one.
    if (start == TextLength(s.model) || !IsUnitBoundary(s, start, unit))
        start = PreviousUnitBoundary(s, start, unit);
    return {start, NextUnitBoundary(s, start, unit)};
}

int32_t MovePositionByUnit(const EditState& s, int32_t& position, TextUnit unit, int32_t count) {
    const int32_t length = TextLength(s.model);
    position = std::clamp(position, 0, length);
    int32_t moved = 0;
    for (; moved < count && position < length; ++moved)
        position = NextUnitBoundary(s, position, unit);
    for (; moved > count && position > 0; --moved)
        position = PreviousUnitBoundary(s, position, unit);
    return moved;
}

int32_t MoveSpanByUnit(const EditState& s, TextSpan& span, TextUnit unit, int32_t count) {
    span = ClampSpan(s, span);
    if (count == 0)
        return 0;
    if (span.start == span.end) {
        const int32_t moved = MovePositionByUnit(s, span.start, unit, count);
        span.end = span.start;
        return moved;
    }
    int32_t start = span.start;
    if (!IsUnitBoundary(s, start, unit))
        start = PreviousUnitBoundary(s, start, unit);
    int32_t moved = 0;
    if (count > 0) {
        for (int32_t next;
             moved < count && (next = NextUnitBoundary(s, start, unit)) < TextLength(s.model);
             ++moved)
            start = next;
    } else {
        moved = MovePositionByUnit(s, start, unit, count);
    }
    span = {start, NextUnitBoundary(s, start, unit)};
    return moved;
}

TextSpan FindInSpan(const EditState& s, TextSpan span, std::u16string_view pattern, bool backward,
                    bool ignoreCase) {
    span = ClampSpan(s, span);
    const auto length = static_cast<int32_t>(pattern.size());
    if (pattern.empty() || length > span.end - span.start)
        return {-1, -1};
    const TextBuffer& text = s.model.text;
    const auto matchesAt = [&](int32_t p) {
        for (int32_t k = 0; k < length; ++k) {
            if (!Fold(text[static_cast<size_t>(p + k)], pattern[static_cast<size_t>(k)],
                      ignoreCase))
                return false;
        }
        // A match must begin and end between characters, never inside one.
        return IsCharStop(text, p) && IsCharStop(text, p + length);
    };
    const int32_t last = span.end - length;
    for (int32_t i = 0; i <= last - span.start; ++i) {
        const int32_t p = backward ? last - i : span.start + i;
        if (matchesAt(p))
            return {p, p + length};
    }
    return {-1, -1};
}
