// The Font dialog: fixed-pitch screen fonts, opened at the current face and
// size. Face and style are taken from it; the size only within 6..200.
#include "app/font_dialog.h"

#include "app/settings.h"
#include "app/settings_rules.h"
#include "app/window_modes.h"
#include "app/window_modes_rules.h"
#include "docs/main_window.h"
#include "docs/window_geometry.h"
#include "docs/window_layout.h"
#include "winkit/modal_ui.h"
#include "winkit/win_handles.h"

namespace {

// The dialog turns heights into points with the screen's DPI, whatever the
// window's monitor, so the initial size is given in the same terms.
int ScreenDpi() {
    const WindowDc screen(nullptr);
    const int dpi = screen.get() ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 0;
    return dpi > 0 ? dpi : 96;
}

// A vertical face would turn every character sideways; the editor takes the
// default face instead, as it does when none is stored.
void ReplaceUnusableFace(LOGFONTW& font) {
    const std::u16string_view face(reinterpret_cast<const char16_t*>(font.lfFaceName),
                                   wcsnlen(font.lfFaceName, LF_FACESIZE));
    if (Settings_IsUsableFaceName(face))
        return;
    AppSettings defaults;
    Settings_SetDefaultFont(defaults);
    wcscpy_s(font.lfFaceName, defaults.editorLogFont.lfFaceName);
}

} // namespace

void MainWnd_ChooseEditorFont(MainWindow& mw, HWND window) {
    AppSettings& s = mw.settings;
    // The dialog works on a copy: a cancelled dialog must leave the font as
    // it was. The editor font's height never comes from this field, but the
    // dialog shows it, so it carries the current size rather than whatever
    // an earlier dialog left there.
    LOGFONTW font = s.editorLogFont;
    font.lfHeight = FontHeightForPoints(s.fontSizePt, ScreenDpi());

    CHOOSEFONTW dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = window;
    dialog.lpLogFont = &font;
    dialog.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_FIXEDPITCHONLY | CF_NOVERTFONTS;
    dialog.nFontType = SCREEN_FONTTYPE;
    if (!ModalUi_ChooseFont(dialog))
        return;

    font.lfFaceName[LF_FACESIZE - 1] = L'\0';
    ReplaceUnusableFace(font);
    s.editorLogFont = font;
    if (const auto size = ChosenFontSize(dialog.iPointSize))
        s.fontSizePt = *size;
    MainWnd_RebuildFonts(mw, MainWnd_GetDpi(window));
    MainWnd_Layout(mw, window);
    Settings_Save(s);
}
