#include "docs/closing.h"

#include "docs/file_commands.h"
#include "docs/main_window.h"
#include "docs/recovery_files.h"
#include "docs/tabs.h"
#include "editctl/editctl.h"
#include "docs/disk_changes.h"
#include "docs/file_commands.h"
#include "winkit/modal_ui.h"
#include "winkit/program_name.h"

#include <commctrl.h>

#include <vector>

namespace {

// A background tab's flag was taken from its control when it was left; the
// control is asked as well, as the save prompt does for the active one.
bool IsModified(const Document& document) {
    return document.modified || (document.editWindow && EditCtl_IsModified(document.editWindow));
}

} // namespace

bool MainWnd_QuerySave(MainWindow& mw, HWND owner) {
    const Document* active = MainWnd_ActiveDocument(mw);
    if (!active)
        return true;
    if (!active->modified && (!mw.activeEdit || !EditCtl_IsModified(mw.activeEdit)))
        return true;
    switch (ModalUi_MessageBox(owner, L"Do you want to save changes?", kProgramName,
                               MB_YESNOCANCEL | MB_ICONWARNING)) {
    case IDYES:
        return MainWnd_Save(mw, owner);
    case IDNO:
        return true;
    default:
        return false;
    }
}

void MainWnd_CloseTab(MainWindow& mw, HWND window, int index) {
    if (mw.documents.empty())
        return;
    if (index < 0 || index >= static_cast<int>(mw.documents.size()))
        index = 0;
    if (mw.tabControl)
        SendMessageW(mw.tabControl, TCM_SETCURSEL, index, 0);
    if (index != mw.activeIndex) {
        MainWnd_ActivateTab(mw, window, index);
        // The save prompt about it follows: whether to save depends on what
        // became of its file. An unmodified tab just goes.
        if (IsModified(mw.documents[index]))
            MainWnd_CheckActiveOnDisk(mw, window);
    }
    if (!MainWnd_QuerySave(mw, window))
        return;

    Recovery_Discard(mw.documents[index]);
    HWND closing = mw.documents[index].editWindow;
    const bool hadFocus = GetFocus() == closing;
    DestroyWindow(closing);
    if (mw.tabControl)
        SendMessageW(mw.tabControl, TCM_DELETEITEM, index, 0);
    mw.documents.erase(mw.documents.begin() + index);
    // The closed tab no longer counts as active: nothing of it is hidden or read.
    mw.activeIndex = -1;
    mw.activeEdit = nullptr;
    // A destroyed focus window leaves the focus nowhere; parked on the main
    // window, it moves on to the control activated next.
    if (hadFocus)
        SetFocus(window);
    const int count = static_cast<int>(mw.documents.size());
    if (count == 0) {
        MainWnd_NewTab(mw, window);
        return;
    }
    const int next = index < count ? index : count - 1;
    if (mw.tabControl)
        SendMessageW(mw.tabControl, TCM_SETCURSEL, next, 0);
    MainWnd_ActivateTab(mw, window, next);
    MainWnd_CheckActiveOnDisk(mw, window);
}

bool MainWnd_QueryCloseWindow(MainWindow& mw, HWND window) {
    const int count = static_cast<int>(mw.documents.size());
    std::vector<int> order;
    if (MainWnd_ActiveDocument(mw))
        order.push_back(mw.activeIndex);
    for (int index = 0; index < count; ++index) {
        if (index != mw.activeIndex)
            order.push_back(index);
    }
    for (int index : order) {
        if (!IsModified(mw.documents[index]))
            continue;
        if (index != mw.activeIndex) {
            if (mw.tabControl)
                SendMessageW(mw.tabControl, TCM_SETCURSEL, index, 0);
            MainWnd_ActivateTab(mw, window, index);
            MainWnd_CheckActiveOnDisk(mw, window);
        }
        if (!MainWnd_QuerySave(mw, window))
            return false;
    }
    return true;
}
