#include "docs/disk_changes.h"

#include "docs/disk_watch.h"
#include "docs/file_commands.h"
#include "docs/main_window.h"
#include "docs/recovery.h"
#include "docs/tabs.h"
#include "editctl/editctl.h"
#include "fileio/wide.h"
#include "winkit/modal_ui.h"
#include "winkit/program_name.h"

#include <string>

namespace {

constexpr UINT kDiskCheckMessage = WM_APP + 13;

int Ask(MainWindow& mw, HWND window, const Document& document, const wchar_t* question,
        UINT flags) {
    const std::wstring text = std::wstring(Wide(QuotedName(document))) + question;
    mw.askingAboutDisk = true;
    const int answer = ModalUi_MessageBox(window, text.c_str(), kProgramName, flags);
    mw.askingAboutDisk = false;
    return answer;
}

// Unsaved edits are only thrown away when the user says so: No is the default.
void OfferReload(MainWindow& mw, HWND window, Document& document, const FileIdentity& current) {
    const bool edited = document.modified || EditCtl_IsModified(mw.activeEdit);
    const int answer =
        edited ? Ask(mw, window, document,
                     L" was changed by another program. Reload it and lose your changes?",
                     MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2)
               : Ask(mw, window, document, L" was changed by another program. Reload it?",
                     MB_YESNO | MB_ICONWARNING);
    if (answer == IDYES && ReloadActiveDocument(mw, window))
        return;
    document.declined = current;
}

// The text is all that is left of the file: modified, so that closing asks
// to save it.
void ReportMissing(MainWindow& mw, HWND window, Document& document) {
    document.missingReported = true;
    Ask(mw, window, document,
        L" was deleted or moved by another program. Its text stays open, and Save writes it "
        L"again.",
        MB_OK | MB_ICONWARNING);
    MainWnd_SetModified(mw, window, true);
    MainWnd_CheckJournalBase(mw, window, document);
}

} // namespace

void MainWnd_QueueDiskCheck(MainWindow& mw, HWND window) {
    if (!mw.diskCheckPosted && PostMessageW(window, kDiskCheckMessage, 0, 0))
        mw.diskCheckPosted = true;
}

bool MainWnd_OnDiskCheckMessage(MainWindow& mw, HWND window, UINT message) {
    if (message != kDiskCheckMessage)
        return false;
    mw.diskCheckPosted = false;
    // A modal dialog disables the window: no question goes over it. Closing
    // the dialog activates the window again, which checks then.
    if (IsWindowEnabled(window))
        MainWnd_CheckActiveOnDisk(mw, window);
    return true;
}

void MainWnd_CheckActiveOnDisk(MainWindow& mw, HWND window) {
    Document* document = MainWnd_ActiveDocument(mw);
    // A document still loading knows its file's bytes only once they are read.
    if (!document || document->loading || mw.askingAboutDisk)
        return;
    FileIdentity current;
    const DiskChange change = FindDiskChange(*document, current);
    // Before any question, which may stay open for long.
    MainWnd_CheckJournalBase(mw, window, *document);
    switch (change) {
    case DiskChange::Changed:
        OfferReload(mw, window, *document, current);
        break;
    case DiskChange::Missing:
        ReportMissing(mw, window, *document);
        break;
    case DiskChange::None:
        break;
    }
}
