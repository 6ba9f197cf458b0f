#include "docs/file_dialogs.h"

#include "fileio/file_paths.h"
#include "fileio/wide.h"
#include "winkit/modal_ui.h"

#include <cderr.h>
#include <commdlg.h>
#include <dlgs.h>

#include <algorithm>
#include <cwchar>

namespace {

// Room for a long multiple selection: a folder and many names.
constexpr DWORD kOpenBufferUnits = 65536;
constexpr DWORD kSaveBufferUnits = 260;

// Display text and pattern pairs; the literal's own zero ends the list.
constexpr wchar_t kOpenFilters[] = L"All Files (*.*)\0*.*\0Text Files (*.txt)\0*.txt\0";
constexpr wchar_t kSaveFilters[] = L"Text Files (*.txt)\0*.txt\0All Files (*.*)\0*.*\0";

constexpr wchar_t kSelectionProperty[] = L"Tessary.OpenSelection";

OPENFILENAMEW DialogFor(HWND owner, std::wstring& buffer, const wchar_t* filters) {
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filters;
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = buffer.data();
    dialog.nMaxFile = static_cast<DWORD>(buffer.size());
    return dialog;
}

std::u16string_view View(const std::wstring& buffer, size_t units) {
    return U16(buffer.data(), std::min(units, buffer.size()));
}

void ShowError(HWND owner, const std::wstring& text) {
    ModalUi_MessageBox(owner, text.c_str(), L"Error", MB_ICONERROR);
}

// A dialog that failed rather than being cancelled says so.
void ReportDialogError(HWND owner, const wchar_t* dialogName, DWORD error) {
    wchar_t code[16] = {};
    swprintf(code, 16, L"0x%04lX", static_cast<unsigned long>(error));
    ShowError(owner, std::wstring(L"The ") + dialogName + L" dialog failed (error " + code + L").");
}

void ReportTooManyFiles(HWND owner) {
    ShowError(owner, L"The selected files could not be opened: together their names are longer "
                     L"than the Open dialog can pass on.\n\nSelect fewer files at a time.");
}

// The open dialog's result buffer. Wine's dialog writes a multiple selection
// whole, whatever nMaxFile says: so there the dialog's hook makes room for
// the selection before the dialog writes it. The buffer also keeps as many
// units again past nMaxFile, so that even a dialog that overruns writes into
// spare room, never past the buffer.
struct OpenSelection {
    std::wstring buffer;
    DWORD reported = 0;             // nMaxFile
    OPENFILENAMEW* inUse = nullptr; // the structure the dialog reads nMaxFile from
    WNDPROC dialogProc = nullptr;   // the dialog's own procedure, while subclassed
};

// The dialog writes its result only when it closes, so the buffer is
// replaced, not copied.
void MakeRoom(OpenSelection& selection, size_t units) {
    if (units <= selection.reported || units > MAXDWORD / 2)
        return;
    selection.buffer.assign(2 * units, L'\0');
    selection.reported = static_cast<DWORD>(units);
    selection.inUse->lpstrFile = selection.buffer.data();
    selection.inUse->nMaxFile = selection.reported;
}

size_t TextLength(HWND dialog, int id) {
    HWND control = GetDlgItem(dialog, id);
    return control ? static_cast<size_t>(std::max(0, GetWindowTextLengthW(control))) : 0;
}

// Room for the folder and for every name of the file name box, each with its
// terminator, and the empty string that ends the list; a selection in the
// list shows its names, quoted, in that box.
void FitSelection(OpenSelection& selection, HWND dialog) {
    const LRESULT folder = SendMessageW(dialog, CDM_GETFOLDERPATH, 0, 0);
    const size_t names = std::max(TextLength(dialog, edt1), TextLength(dialog, cmb13));
    MakeRoom(selection,
             static_cast<size_t>(std::max<LRESULT>(folder, MAX_PATH)) + names + MAX_PATH);
}

// Sees every OK before the dialog acts on it, typed or pasted names included.
LRESULT CALLBACK OpenDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* selection = static_cast<OpenSelection*>(GetPropW(dialog, kSelectionProperty));
    if (!selection)
        return DefDlgProcW(dialog, message, wParam, lParam);
    const WNDPROC proc = selection->dialogProc;
    if (message == WM_COMMAND && LOWORD(wParam) == IDOK)
        FitSelection(*selection, dialog);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(dialog, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc));
        RemovePropW(dialog, kSelectionProperty);
    }
    return CallWindowProcW(proc, dialog, message, wParam, lParam);
}

UINT_PTR CALLBACK OpenDialogHook(HWND hook, UINT message, WPARAM, LPARAM lParam) {
    HWND dialog = GetParent(hook);
    if (message == WM_INITDIALOG) {
        auto* inUse = reinterpret_cast<OPENFILENAMEW*>(lParam);
        auto* selection = reinterpret_cast<OpenSelection*>(inUse->lCustData);
        selection->inUse = inUse;
        if (dialog && SetPropW(dialog, kSelectionProperty, selection))
            selection->dialogProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
                dialog, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(OpenDialogProc)));
    } else if (message == WM_NOTIFY &&
               reinterpret_cast<const NMHDR*>(lParam)->code == CDN_SELCHANGE) {
        const auto* notice = reinterpret_cast<const OFNOTIFYW*>(lParam);
        auto* selection = reinterpret_cast<OpenSelection*>(notice->lpOFN->lCustData);
        selection->inUse = notice->lpOFN;
        FitSelection(*selection, dialog);
    }
    return 0;
}

} // namespace

std::vector<std::u16string> ShowOpenFileDialog(HWND owner, bool guardOverrun) {
    OpenSelection selection;
    OPENFILENAMEW dialog = DialogFor(owner, selection.buffer, kOpenFilters);
    selection.inUse = &dialog;
    MakeRoom(selection, kOpenBufferUnits);
    dialog.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_ALLOWMULTISELECT |
                   OFN_HIDEREADONLY;
    if (guardOverrun) {
        dialog.Flags |= OFN_ENABLEHOOK;
        dialog.lpfnHook = OpenDialogHook;
        dialog.lCustData = reinterpret_cast<LPARAM>(&selection);
    }
    const FileDialogOutcome outcome = ModalUi_GetOpenFileName(dialog);
    if (!outcome.chosen) {
        if (outcome.error == FNERR_BUFFERTOOSMALL)
            ReportTooManyFiles(owner);
        else if (outcome.error != 0)
            ReportDialogError(owner, L"Open", outcome.error);
        return {};
    }
    // The list must end inside the room the dialog was given.
    const std::u16string_view result = View(selection.buffer, selection.reported);
    if (result.find(std::u16string_view(u"\0\0", 2)) == std::u16string_view::npos) {
        ReportTooManyFiles(owner);
        return {};
    }
    return ParseOpenFileSelection(result);
}

SaveDialogResult ShowSaveFileDialog(HWND owner) {
    std::wstring buffer(kSaveBufferUnits, L'\0');
    OPENFILENAMEW dialog = DialogFor(owner, buffer, kSaveFilters);
    dialog.lpstrDefExt = L"txt";
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST;
    const FileDialogOutcome outcome = ModalUi_GetSaveFileName(dialog);
    if (!outcome.chosen) {
        if (outcome.error == FNERR_BUFFERTOOSMALL)
            ShowError(owner, L"The file was not saved: its path is too long. A path can have at "
                             L"most 259 characters.\n\nChoose a shorter name or folder.");
        else if (outcome.error != 0)
            ReportDialogError(owner, L"Save As", outcome.error);
        return {};
    }
    const std::u16string_view chosen = View(buffer, buffer.size());
    SaveDialogResult result;
    result.path = chosen.substr(0, chosen.find(u'\0'));
    if (!result.path.empty())
        result.filterIndex = static_cast<int>(dialog.nFilterIndex);
    return result;
}

std::u16string PickFolder(HWND owner) {
    const std::wstring folder = ModalUi_PickFolder(owner, L"Select folder to open");
    return std::u16string(U16(folder.data(), folder.size()));
}
