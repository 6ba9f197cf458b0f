#include "editctl/editctl.h"

#include "editctl/commands.h"
#include "editctl/edit_effects.h"
#include "editctl/edit_window.h"

namespace {

// The cell size of `font` (the context's default font when null) as the
// window's own device context measures it; false when it cannot be read.
bool MeasureFont(HWND window, HFONT font, TEXTMETRICW& metrics) {
    HDC dc = GetDC(window);
    if (!dc)
        return false;
    HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
    const bool measured = GetTextMetricsW(dc, &metrics) != FALSE;
    if (old)
        SelectObject(dc, old);
    ReleaseDC(window, dc);
    return measured;
}

} // namespace

void EditCtl_SetFont(HWND window, HFONT font) {
    EditState* s = EditCtl_State(window);
    if (!s)
        return;
    TEXTMETRICW metrics = {};
    if (MeasureFont(window, font, metrics))
        SetFontMetrics(*s, font, metrics.tmAveCharWidth, metrics.tmHeight);
    else
        SetFontMetrics(*s, font, s->charWidth, s->lineHeight);
    EditCtl_ApplyEffects(window, *s);
    // The caret of a focused control takes the new row height at once.
    if (GetFocus() == window) {
        EditCtl_HideCaret(window);
        EditCtl_ShowCaret(window, *s);
    }
}
