#include "editctl/edit_paint.h"

#include "app/win_handles.h"
#include "editctl/layout.h"
#include "editctl/paint_plan.h"
#include "fileio/wide.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <vector>

namespace {

void Fill(HDC dc, int left, int top, int right, int bottom, COLORREF colour) {
    const RECT rect = {left, top, right, bottom};
    SetDCBrushColor(dc, colour);
    FillRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

// The gutter's background and its one-pixel separator at the right edge.
void DrawGutter(HDC dc, const EditState& s, int height) {
    Fill(dc, 0, 0, s.gutterWidth, height, s.gutterColor);
    Fill(dc, s.gutterWidth - 1, 0, s.gutterWidth, height, s.gutterLineColor);
}

// The caret line's cell stops short of the separator so the line stays whole.
void DrawNumber(HDC dc, const EditState& s, const NumberCell& cell) {
    if (cell.current)
        Fill(dc, 0, cell.top, s.gutterWidth - 1, cell.top + s.lineHeight, s.currentLineColor);
    SetTextColor(dc, cell.current ? s.currentLineNumberColor : s.lineNumberColor);
    RECT box = {4, cell.top, s.gutterWidth - 8, cell.top + s.lineHeight};
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

// Every unit is placed on its own cell of the grid, so a font whose glyphs
// are not exactly `charWidth` wide still lines up with the caret and clicks.
void DrawRun(HDC dc, const EditState& s, const TextRun& run, std::vector<INT>& advances) {
    if (run.selected)
        Fill(dc, run.x, run.top, run.x + run.cells * s.charWidth, run.top + s.lineHeight,
             s.selectionColor);
    SetTextColor(dc, run.selected ? s.selectedTextColor : s.textColor);
    advances.assign(run.text.size(), s.charWidth);
    ExtTextOutW(dc, run.x, run.top, 0, nullptr, Wide(run.text.data()),
                static_cast<UINT>(run.text.size()), advances.data());
}

// Needs no memory beyond `advances`, which holds the longest run: nothing
// drawn between creating and deleting the off-screen bitmap may fail.
void DrawContent(HDC dc, const EditState& s, const PaintPlan& plan, std::vector<INT>& advances,
                 int width, int height) {
    Fill(dc, 0, 0, width, height, s.backgroundColor);
    if (s.showLineNumbers)
        DrawGutter(dc, s, height);
    const SelectedObject font(dc, static_cast<HFONT>(s.font));
    SetBkMode(dc, TRANSPARENT);
    for (const NumberCell& cell : plan.numbers)
        DrawNumber(dc, s, cell);
    // Text scrolled to the left disappears under the gutter's edge.
    IntersectClipRect(dc, ShownGutter(s), 0, width, height);
    for (const TextRun& run : plan.runs)
        DrawRun(dc, s, run, advances);
}

} // namespace

void PaintControl(HWND window, const EditState& s, HDC dc) {
    RECT client;
    if (!GetClientRect(window, &client) || client.right <= 0 || client.bottom <= 0)
        return;
    const int width = client.right;
    const int height = client.bottom;
    const PaintPlan plan = PlanPaint(s);
    size_t longest = 0;
    for (const TextRun& run : plan.runs)
        longest = std::max(longest, run.text.size());
    std::vector<INT> advances;
    advances.reserve(longest);
    const MemoryDc memory(CreateCompatibleDC(dc));
    if (!memory.get())
        return;
    const GdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(dc, width, height));
    if (!bitmap.get())
        return;
    const SelectedObject canvas(memory.get(), bitmap.get());
    DrawContent(memory.get(), s, plan, advances, width, height);
    BitBlt(dc, 0, 0, width, height, memory.get(), 0, 0, SRCCOPY);
}
