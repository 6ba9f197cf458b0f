#include "docs/status_bar.h"

#include "docs/file_load.h"
#include "docs/main_window.h"
#include "docs/status_text.h"
#include "editctl/editctl.h"
#include "fileio/wide.h"
#include "winkit/command_ids.h"

#include <commctrl.h>

namespace {

void SetPart(const MainWindow& mw, int part, const std::u16string& text) {
    SendMessageW(mw.statusBar, SB_SETTEXTW, part, reinterpret_cast<LPARAM>(Wide(text)));
}

} // namespace

HWND Status_Create(HWND mainWindow) {
    const auto instance =
        reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(mainWindow, GWLP_HINSTANCE));
    return CreateWindowExW(0, STATUSCLASSNAMEW, nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 0, 0,
                           mainWindow, reinterpret_cast<HMENU>(IDC_STATUS), instance, nullptr);
}

void Status_UpdatePosition(MainWindow& mw) {
    if (!mw.activeEdit || !mw.statusBar)
        return;
    int line = 1;
    int column = 1;
    EditCtl_GetCaretLineCol(mw.activeEdit, &line, &column);
    const Document* active = MainWnd_ActiveDocument(mw);
    if (active && active->loading)
        SetPart(mw, 0,
                Status_LoadingText(active->loading->Percent()) + u"    " +
                    Status_PositionText(line, column));
    else
        SetPart(mw, 0, Status_PositionText(line, column));
}

void Status_UpdateEncoding(MainWindow& mw) {
    if (!mw.statusBar)
        return;
    const Document* active = MainWnd_ActiveDocument(mw);
    SetPart(mw, 1, active ? active->encodingLabel : std::u16string());
}

void Status_UpdateLineEnding(MainWindow& mw) {
    if (!mw.statusBar)
        return;
    const Document* active = MainWnd_ActiveDocument(mw);
    SetPart(mw, 2, active ? active->lineEndingLabel : std::u16string());
}

void Status_UpdateCharCode(MainWindow& mw) {
    if (!mw.activeEdit || !mw.statusBar)
        return;
    int32_t index = -1;
    const wchar_t unit = EditCtl_GetCharAtCaret(mw.activeEdit, &index);
    SetPart(mw, 3, Status_CharCodeText(static_cast<char16_t>(unit)));
}

void Status_UpdateAll(MainWindow& mw) {
    Status_UpdatePosition(mw);
    Status_UpdateEncoding(mw);
    Status_UpdateLineEnding(mw);
    Status_UpdateCharCode(mw);
}

void MainWnd_UpdateTitle(MainWindow& mw, HWND window) {
    const std::u16string title = WindowTitle(MainWnd_ActiveDocument(mw));
    SetWindowTextW(window, Wide(title));
}
