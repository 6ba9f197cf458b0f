#include "editctl/editctl.h"

#include "editctl/commands.h"
#include "editctl/edit_effects.h"
#include "editctl/edit_record.h"
#include "winkit/win_handles.h"

namespace {

// The cell size of `font` (the context's default font when null) as the
// window's own device context measures it; false when it cannot be read.
bool MeasureFont(HWND window, HFONT font, TEXTMETRICW& metrics) {
    const WindowDc dc(window);
    if (!dc.get())
        return false;
    const SelectedObject selected(dc.get(), font);
    return GetTextMetricsW(dc.get(), &metrics) != FALSE;
}

} // namespace

void EditCtl_SetFont(HWND window, HFONT font) {
    EditState* s = EditCtl_State(window);
    if (!s)
        return;
    // A new font may come with the handle of a deleted one: its glyphs are read again.
    s->attached.glyphs.reset();
    TEXTMETRICW metrics = {};
    if (MeasureFont(window, font, metrics))
        SetFontMetrics(*s, font, metrics.tmAveCharWidth, metrics.tmHeight);
    else
        SetFontMetrics(*s, font, s->view.charWidth, s->view.lineHeight);
    EditCtl_ApplyEffects(window, *s);
    // The caret of a focused control takes the new row height at once.
    if (GetFocus() == window) {
        EditCtl_HideCaret(window);
        EditCtl_ShowCaret(window, *s);
    }
}
