#include "docs/tabs.h"

#include "docs/format_menu.h"
#include "docs/main_window.h"
#include "docs/recovery_files.h"
#include "docs/status_bar.h"
#include "docs/window_layout.h"
#include "editctl/editctl.h"
#include "fileio/wide.h"
#include "winkit/command_ids.h"

#include <commctrl.h>

namespace {

bool ValidIndex(const MainWindow& mw, int index) {
    return index >= 0 && index < static_cast<int>(mw.documents.size());
}

// Hiding the focused control would leave the keyboard focus on an invisible
// tab, so typing would go there: the focus moves on with the active tab.
bool FocusFollowsActiveTab(const MainWindow& mw, HWND window) {
    HWND focus = GetFocus();
    return focus && (focus == window || (mw.activeEdit && focus == mw.activeEdit));
}

// The document's flag and its control's; false without an active document.
bool MarkActiveModified(MainWindow& mw, bool modified) {
    Document* active = MainWnd_ActiveDocument(mw);
    if (!active)
        return false;
    active->modified = modified;
    if (mw.activeEdit)
        EditCtl_SetModified(mw.activeEdit, modified);
    return true;
}

void WriteTabItem(MainWindow& mw, int index, UINT message) {
    const Document& document = mw.documents[index];
    // The control's window text is the name screen readers give its document.
    SetWindowTextW(document.editWindow,
                   reinterpret_cast<const wchar_t*>(document.displayName.c_str()));
    if (!mw.tabControl)
        return;
    std::u16string caption = TabCaption(document);
    TCITEMW item = {};
    item.mask = TCIF_TEXT;
    item.pszText = Wide(caption.data());
    SendMessageW(mw.tabControl, message, index, reinterpret_cast<LPARAM>(&item));
}

} // namespace

bool MainWnd_AddTab(MainWindow& mw, HWND window) {
    RECT client = {};
    GetClientRect(window, &client);
    const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window, GWLP_HINSTANCE));
    Document document;
    document.editWindow =
        EditCtl_Create(window, 0, 0, client.right, client.bottom, IDC_EDIT, instance);
    HWND edit = document.editWindow;
    if (!edit)
        return false;
    Recovery_Attach(document);
    const AppSettings& s = mw.settings;
    EditCtl_SetWordWrap(edit, s.wordWrap);
    EditCtl_SetShowLineNumbers(edit, s.showLineNumbers);
    if (mw.editorFont)
        EditCtl_SetFont(edit, mw.editorFont.get());
    EditCtl_SetScrollSpeed(edit, s.scrollSpeed);
    EditCtl_SetInsertSpaces(edit, s.insertSpaces);

    const bool moveFocus = FocusFollowsActiveTab(mw, window);
    if (Document* active = MainWnd_ActiveDocument(mw))
        ShowWindow(active->editWindow, SW_HIDE);
    mw.documents.push_back(document);
    mw.activeIndex = static_cast<int>(mw.documents.size()) - 1;
    mw.activeEdit = edit;
    if (moveFocus)
        SetFocus(edit);
    WriteTabItem(mw, mw.activeIndex, TCM_INSERTITEMW);
    if (mw.tabControl)
        SendMessageW(mw.tabControl, TCM_SETCURSEL, mw.activeIndex, 0);
    return true;
}

bool MainWnd_NewTab(MainWindow& mw, HWND window) {
    if (!MainWnd_AddTab(mw, window))
        return false;
    EditCtl_SetText(mw.activeEdit, u"");
    MainWnd_ShowCleanDocument(mw, window);
    MainWnd_Layout(mw, window);
    return true;
}

void MainWnd_ActivateTab(MainWindow& mw, HWND window, int index) {
    if (!ValidIndex(mw, index))
        return;
    const bool moveFocus = FocusFollowsActiveTab(mw, window);
    if (Document* previous = MainWnd_ActiveDocument(mw)) {
        ShowWindow(previous->editWindow, SW_HIDE);
        previous->modified = EditCtl_IsModified(previous->editWindow);
    }
    mw.activeIndex = index;
    mw.activeEdit = mw.documents[index].editWindow;
    ShowWindow(mw.activeEdit, SW_SHOW);
    if (moveFocus)
        SetFocus(mw.activeEdit);
    MainWnd_ShowActiveDocument(mw, window);
    EditCtl_EnsureCaretVisible(mw.activeEdit);
    MainWnd_Layout(mw, window);
}

void MainWnd_SetModified(MainWindow& mw, HWND window, bool modified) {
    // Every keystroke lands here: the title and caption show only the flag,
    // so they are written again only when it flips.
    const Document* active = MainWnd_ActiveDocument(mw);
    const bool flips = active && active->modified != modified;
    if (!MarkActiveModified(mw, modified) || !flips)
        return;
    MainWnd_UpdateTitle(mw, window);
    MainWnd_UpdateTabCaption(mw, mw.activeIndex);
}

void MainWnd_ResetActiveDocument(MainWindow& mw, HWND window) {
    MainWnd_ResetDocument(mw, window, mw.activeIndex);
}

void MainWnd_ResetDocument(MainWindow& mw, HWND window, int index) {
    if (!ValidIndex(mw, index))
        return;
    Document& document = mw.documents[index];
    EditCtl_SetText(document.editWindow, u"");
    document.path.clear();
    document.displayName = u"Untitled";
    document.encoding = TextEncoding::Utf8;
    document.encodingLabel = u"UTF-8";
    document.lineEnding = LineEnding::Crlf;
    document.lineEndingLabel = u"Win";
    document.replacedBytes = false;
    document.disk = {};
    document.declined = {};
    document.missingReported = false;
    MainWnd_ShowCleanDocumentAt(mw, window, index);
}

void MainWnd_ShowCleanDocument(MainWindow& mw, HWND window) {
    if (Document* active = MainWnd_ActiveDocument(mw))
        Recovery_Discard(*active);
    MarkActiveModified(mw, false);
    MainWnd_ShowActiveDocument(mw, window);
}

void MainWnd_ShowCleanDocumentAt(MainWindow& mw, HWND window, int index) {
    if (index == mw.activeIndex) {
        MainWnd_ShowCleanDocument(mw, window);
        return;
    }
    if (!ValidIndex(mw, index))
        return;
    Document& document = mw.documents[index];
    Recovery_Discard(document);
    document.modified = false;
    EditCtl_SetModified(document.editWindow, false);
    MainWnd_UpdateTabCaption(mw, index);
}

void MainWnd_ShowActiveDocument(MainWindow& mw, HWND window) {
    MainWnd_UpdateTitle(mw, window);
    MainWnd_UpdateTabCaption(mw, mw.activeIndex);
    MainWnd_RefreshEncodingMenu(mw);
    MainWnd_RefreshLineEndingMenu(mw);
    if (mw.settings.showStatusBar)
        Status_UpdateAll(mw);
}

void MainWnd_NextTab(MainWindow& mw, HWND window) {
    const int count = static_cast<int>(mw.documents.size());
    if (count < 2)
        return;
    const int next = mw.activeIndex + 1 < count ? mw.activeIndex + 1 : 0;
    if (mw.tabControl)
        SendMessageW(mw.tabControl, TCM_SETCURSEL, next, 0);
    MainWnd_ActivateTab(mw, window, next);
}

void MainWnd_UpdateTabCaption(MainWindow& mw, int index) {
    if (ValidIndex(mw, index))
        WriteTabItem(mw, index, TCM_SETITEMW);
}
