#include "docs/recovery.h"

#include "docs/journal_writer.h"
#include "docs/main_window.h"
#include "docs/recovery_files.h"
#include "editctl/editctl.h"
#include "winkit/modal_ui.h"
#include "winkit/program_name.h"

#include <string>

namespace {

constexpr UINT kWriteDelayMs = 1000;
// While a copy of a text is under way, the timer comes back this soon and
// each round takes the copy this many bytes further: a few milliseconds of
// work, after any waiting input, since a timer comes last of all messages.
constexpr UINT kStepDelayMs = 10;
constexpr size_t kStepBytes = 2u << 20;

// Once per run: the user learns that a crash would now lose unsaved text.
void TellJournalsFail(MainWindow& mw, HWND window) {
    if (mw.journalFailureTold)
        return;
    mw.journalFailureTold = true;
    const std::wstring text = L"" TESSARY_NAME " cannot write its recovery journals in:\n" +
                              Recovery_FolderPath() + L"\n\n" + Recovery_FailureText() +
                              L"\n\nUntil this is put right, unsaved text cannot be recovered "
                              L"after a crash: save your documents to keep them safe.";
    ModalUi_MessageBox(window, text.c_str(), kProgramName, MB_OK | MB_ICONWARNING);
}

// A round over the documents; whether a copy is still under way.
bool WriteRound(MainWindow& mw, size_t budget, bool& failed) {
    bool more = false;
    for (Document& document : mw.documents) {
        const JournalProgress progress = Recovery_Write(document, budget);
        more = more || progress.more;
        failed = failed || progress.failed;
    }
    return more;
}

} // namespace

void MainWnd_ScheduleJournalWrite(MainWindow& mw, HWND window) {
    if (mw.journalWriteDue)
        return;
    mw.journalWriteDue = SetTimer(window, IDT_JOURNAL_WRITE, kWriteDelayMs, nullptr) != 0;
    // Without a timer the journals are written at once rather than never.
    if (!mw.journalWriteDue)
        MainWnd_FinishJournals(mw, window);
}

void MainWnd_WriteJournals(MainWindow& mw, HWND window) {
    KillTimer(window, IDT_JOURNAL_WRITE);
    mw.journalWriteDue = false;
    bool failed = false;
    if (WriteRound(mw, kStepBytes, failed)) {
        mw.journalWriteDue = SetTimer(window, IDT_JOURNAL_WRITE, kStepDelayMs, nullptr) != 0;
        if (!mw.journalWriteDue)
            MainWnd_FinishJournals(mw, window);
    }
    if (failed)
        TellJournalsFail(mw, window);
}

void MainWnd_FinishJournals(MainWindow& mw, HWND window) {
    KillTimer(window, IDT_JOURNAL_WRITE);
    mw.journalWriteDue = false;
    bool failed = false;
    while (WriteRound(mw, kStepBytes, failed) && !failed)
        JournalWriter_WaitAll();
    JournalWriter_WaitAll();
}

void MainWnd_DiscardJournals(MainWindow& mw) {
    for (Document& document : mw.documents)
        Recovery_Discard(document);
}

void MainWnd_CheckJournalBase(MainWindow& mw, HWND window, Document& document) {
    if (!document.journal || !(document.modified || EditCtl_IsModified(document.editWindow)) ||
        JournalBaseOnDisk(document))
        return;
    document.journal->BaseLost();
    MainWnd_ScheduleJournalWrite(mw, window);
}

void MainWnd_JournalFormChanged(MainWindow& mw, HWND window, Document& document) {
    if (!document.journal)
        return;
    document.journal->FormChanged(document.encoding, document.lineEnding);
    if (document.journal->Due())
        MainWnd_ScheduleJournalWrite(mw, window);
}
