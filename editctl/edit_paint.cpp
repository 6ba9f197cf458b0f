#include "editctl/edit_paint.h"

#include "editctl/edit_glyphs.h"
#include "editctl/layout.h"
#include "editctl/paint_plan.h"
#include "fileio/wide.h"
#include "winkit/high_contrast.h"
#include "winkit/win_handles.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <new>
#include <string_view>
#include <utility>
#include <vector>

namespace {

// The colours of one paint: the view's own, or while high contrast is on
// the system's, so the text keeps the contrast its reader chose.
struct PaintColors {
    COLORREF background;
    COLORREF text;
    COLORREF gutter;
    COLORREF gutterLine;
    COLORREF lineNumber;
    COLORREF currentLine;
    COLORREF currentLineNumber;
    COLORREF selection;
    COLORREF selectedText;
};

PaintColors ColorsOf(const ViewState& v) {
    if (!HighContrast_On())
        return {v.backgroundColor,        v.textColor,       v.gutterColor,
                v.gutterLineColor,        v.lineNumberColor, v.currentLineColor,
                v.currentLineNumberColor, v.selectionColor,  v.selectedTextColor};
    const COLORREF face = HighContrast_Color(COLOR_BTNFACE);
    const COLORREF highlight = HighContrast_Color(COLOR_HIGHLIGHT);
    const COLORREF highlightText = HighContrast_Color(COLOR_HIGHLIGHTTEXT);
    return {HighContrast_Color(COLOR_WINDOW),
            HighContrast_Color(COLOR_WINDOWTEXT),
            face,
            HighContrast_Color(COLOR_BTNTEXT),
            HighContrast_Color(COLOR_GRAYTEXT),
            highlight,
            highlightText,
            highlight,
            highlightText};
}

void Fill(HDC dc, int left, int top, int right, int bottom, COLORREF colour) {
    const RECT rect = {left, top, right, bottom};
    SetDCBrushColor(dc, colour);
    FillRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

// The gutter's background and its one-pixel separator at the right edge.
void DrawGutter(HDC dc, const EditState& s, const PaintColors& c, int top, int bottom) {
    Fill(dc, 0, top, s.view.gutterWidth, bottom, c.gutter);
    Fill(dc, s.view.gutterWidth - 1, top, s.view.gutterWidth, bottom, c.gutterLine);
}

// The caret line's cell stops short of the separator so the line stays whole.
void DrawNumber(HDC dc, const EditState& s, const PaintColors& c, const NumberCell& cell) {
    if (cell.current)
        Fill(dc, 0, cell.top, s.view.gutterWidth - 1, cell.top + s.view.lineHeight, c.currentLine);
    SetTextColor(dc, cell.current ? c.currentLineNumber : c.lineNumber);
    RECT box = {4, cell.top, s.view.gutterWidth - 8, cell.top + s.view.lineHeight};
    wchar_t digits[16]; // formatted in place: painting allocates nothing
    wchar_t* first = std::end(digits);
    uint32_t n = static_cast<uint32_t>(cell.number);
    do {
        *--first = static_cast<wchar_t>(L'0' + n % 10);
        n /= 10;
    } while (n > 0);
    DrawTextW(dc, first, static_cast<int>(std::end(digits) - first), &box,
              DT_RIGHT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

// Where a glyph of `advance` pixels starts to stand centred on its cells;
// a 1-cell glyph keeps to its cell's left edge.
INT CentredOrigin(const EditState& s, int32_t x, int32_t cells, INT advance) {
    return cells < 2 ? x : x + (cells * s.view.charWidth - advance) / 2;
}

// Draws a run holding wide, multi-unit or right-to-left characters. A
// character of several units (a pair, a letter with its marks, an emoji
// sequence) or a right-to-left one is drawn on its own inside its cells, so
// marks sit on their base and no reordering crosses cells. The other units,
// wide ones centred on their cells, go in one text-output call, each at its
// own origin, stepping over the cells of the characters drawn on their own.
void DrawCharacters(HDC dc, FontGlyphs* glyphs, const EditState& s, const TextRun& run) {
    const auto count = static_cast<int32_t>(run.text.size());
    const auto* units = reinterpret_cast<const wchar_t*>(run.text.data());
    std::vector<INT> extents(static_cast<size_t>(count), 0);
    SIZE size = {};
    GetTextExtentExPointW(dc, units, count, 0, nullptr, extents.data(), &size);
    std::vector<wchar_t> shared;
    std::vector<INT> origins;
    shared.reserve(static_cast<size_t>(count));
    origins.reserve(static_cast<size_t>(count));
    int32_t cell = 0;
    auto next = run.characters.begin();
    for (int32_t i = 0; i < count;) {
        const bool special = next != run.characters.end() && next->index == i;
        const int32_t length = special ? next->units : 1;
        const int32_t cells = special ? next->cells : 1;
        const int32_t x = run.x + cell * s.view.charWidth;
        if (special && next->alone) {
            DrawCharacter(dc, glyphs, s, x, run.top, cells,
                          std::u16string_view(run.text).substr(static_cast<size_t>(i),
                                                               static_cast<size_t>(length)));
        } else {
            const INT advance = extents[i] - (i > 0 ? extents[i - 1] : 0);
            shared.push_back(units[i]);
            origins.push_back(CentredOrigin(s, x, cells, advance));
        }
        if (special)
            ++next;
        cell += cells;
        i += length;
    }
    if (shared.empty())
        return;
    const INT first = origins.front();
    // Each step reaches the next unit's origin; the last one's is not used.
    for (size_t k = 0; k + 1 < origins.size(); ++k)
        origins[k] = origins[k + 1] - origins[k];
    origins.back() = 0;
    ExtTextOutW(dc, first, run.top, 0, nullptr, shared.data(), static_cast<UINT>(shared.size()),
                origins.data());
}

// Every unit is placed on its own cell of the grid, so a font whose glyphs
// are not exactly `charWidth` wide still lines up with the caret and clicks.
void DrawRun(HDC dc, FontGlyphs* glyphs, const EditState& s, const PaintColors& c,
             const TextRun& run, std::vector<INT>& advances) {
    if (run.selected)
        Fill(dc, run.x, run.top, run.x + run.cells * s.view.charWidth, run.top + s.view.lineHeight,
             c.selection);
    SetTextColor(dc, run.selected ? c.selectedText : c.text);
    if (!run.characters.empty()) {
        DrawCharacters(dc, glyphs, s, run);
        return;
    }
    advances.assign(run.text.size(), s.view.charWidth);
    ExtTextOutW(dc, run.x, run.top, 0, nullptr, Wide(run.text.data()),
                static_cast<UINT>(run.text.size()), advances.data());
}

// Draws `area` of the client into `dc`, nothing outside it. Needs no memory
// beyond `advances`, which holds the longest run: nothing drawn between
// selecting the off-screen bitmap and putting it back may fail.
void DrawContent(HDC dc, FontGlyphs* glyphs, const EditState& s, const PaintPlan& plan,
                 std::vector<INT>& advances, const RECT& area) {
    const PaintColors colors = ColorsOf(s.view);
    IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
    Fill(dc, area.left, area.top, area.right, area.bottom, colors.background);
    if (s.view.showLineNumbers)
        DrawGutter(dc, s, colors, area.top, area.bottom);
    const SelectedObject font(dc, s.attached.font);
    SetBkMode(dc, TRANSPARENT);
    for (const NumberCell& cell : plan.numbers)
        DrawNumber(dc, s, colors, cell);
    // Text scrolled to the left disappears under the gutter's edge.
    IntersectClipRect(dc, ShownGutter(s.view), area.top, area.right, area.bottom);
    for (const TextRun& run : plan.runs)
        DrawRun(dc, glyphs, s, colors, run, advances);
}

// Plans `area`, draws it into `bitmap` and copies it to the same place of `dc`.
void PaintThrough(EditState& s, HDC dc, HBITMAP bitmap, const RECT& area) {
    const PaintPlan plan = PlanPaint(s, {area.left, area.top, area.right, area.bottom});
    size_t longest = 0;
    for (const TextRun& run : plan.runs)
        longest = std::max(longest, run.text.size());
    std::vector<INT> advances;
    advances.reserve(longest);
    const MemoryDc memory(CreateCompatibleDC(dc));
    if (!memory.get())
        return;
    FontGlyphs* glyphs = EditCtl_FontGlyphs(s, memory.get());
    const SelectedObject canvas(memory.get(), bitmap);
    DrawContent(memory.get(), glyphs, s, plan, advances, area);
    BitBlt(dc, area.left, area.top, area.right - area.left, area.bottom - area.top, memory.get(),
           area.left, area.top, SRCCOPY);
}

// The kept bitmap, made again when the client's size differs from its own.
HBITMAP KeptBackBuffer(EditState& s, HDC dc, int width, int height) {
    const BackBuffer* kept = s.attached.backBuffer.get();
    if (kept && kept->width == width && kept->height == height)
        return kept->bitmap.get();
    s.attached.backBuffer.reset();
    GdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(dc, width, height));
    if (!bitmap)
        return nullptr;
    BackBuffer* made = new (std::nothrow) BackBuffer{std::move(bitmap), width, height};
    if (!made)
        return nullptr;
    s.attached.backBuffer.reset(made, [](BackBuffer* b) { delete b; });
    return made->bitmap.get();
}

} // namespace

void PaintControl(HWND window, EditState& s, HDC dc) {
    RECT client;
    if (!GetClientRect(window, &client) || client.right <= 0 || client.bottom <= 0)
        return;
    const GdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(dc, client.right, client.bottom));
    if (bitmap.get())
        PaintThrough(s, dc, bitmap.get(), client);
}

void PaintUpdate(HWND window, EditState& s, HDC dc, const RECT& area) {
    RECT client;
    if (!GetClientRect(window, &client) || client.right <= 0 || client.bottom <= 0)
        return;
    RECT shown;
    if (!IntersectRect(&shown, &client, &area))
        return;
    if (HBITMAP bitmap = KeptBackBuffer(s, dc, client.right, client.bottom))
        PaintThrough(s, dc, bitmap, shown);
}
