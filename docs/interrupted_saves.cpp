#include "docs/interrupted_saves.h"

#include "docs/recovery_files.h"
#include "fileio/save_record.h"
#include "fileio/wide.h"
#include "winkit/modal_ui.h"
#include "winkit/program_name.h"

#include <string>

namespace {

std::wstring Question(const InterruptedSave& save) {
    return L"" TESSARY_NAME " did not finish saving this file, which may now be incomplete:\n\n" +
           std::wstring(Wide(save.target)) + L"\n\nIts earlier version is kept in:\n\n" +
           std::wstring(Wide(save.backup)) +
           L"\n\nPut the earlier version back? No keeps both files as they are.";
}

void ReportNotRestored(HWND window, const InterruptedSave& save) {
    const std::wstring text = L"The earlier version could not be put back into:\n\n" +
                              std::wstring(Wide(save.target)) + L"\n\nIt is still kept in:\n\n" +
                              std::wstring(Wide(save.backup));
    ModalUi_MessageBox(window, text.c_str(), kProgramName, MB_OK | MB_ICONWARNING);
}

} // namespace

void MainWnd_OfferInterruptedSaves(HWND window) {
    const std::u16string spare = U16(Recovery_Folder());
    if (spare.empty())
        return;
    for (const InterruptedSave& save : CollectInterruptedSaves(spare)) {
        const std::wstring question = Question(save);
        switch (
            ModalUi_MessageBox(window, question.c_str(), kProgramName, MB_YESNO | MB_ICONWARNING)) {
        case IDYES:
            if (!RestoreInterruptedSave(save, spare))
                ReportNotRestored(window, save);
            break;
        case IDNO:
            DismissInterruptedSave(save);
            break;
        }
    }
}
