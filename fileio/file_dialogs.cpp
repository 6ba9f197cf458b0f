#include "fileio/file_dialogs.h"

#include "app/modal_ui.h"
#include "fileio/file_paths.h"
#include "fileio/wide.h"

#include <commdlg.h>

namespace {

// Room for a long multiple selection: a folder and many names.
constexpr DWORD kOpenBufferUnits = 65536;
constexpr DWORD kSaveBufferUnits = 260;

// Display text and pattern pairs; the literal's own zero ends the list.
constexpr wchar_t kOpenFilters[] = L"All Files (*.*)\0*.*\0Text Files (*.txt)\0*.txt\0";
constexpr wchar_t kSaveFilters[] = L"Text Files (*.txt)\0*.txt\0All Files (*.*)\0*.*\0";

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

std::u16string_view View(const std::wstring& buffer) {
    return U16(buffer.data(), buffer.size());
}

} // namespace

std::vector<std::u16string> ShowOpenFileDialog(HWND owner) {
    std::wstring buffer(kOpenBufferUnits, L'\0');
    OPENFILENAMEW dialog = DialogFor(owner, buffer, kOpenFilters);
    dialog.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_ALLOWMULTISELECT |
                   OFN_HIDEREADONLY;
    if (!ModalUi_GetOpenFileName(dialog))
        return {};
    return ParseOpenFileSelection(View(buffer));
}

SaveDialogResult ShowSaveFileDialog(HWND owner) {
    std::wstring buffer(kSaveBufferUnits, L'\0');
    OPENFILENAMEW dialog = DialogFor(owner, buffer, kSaveFilters);
    dialog.lpstrDefExt = L"txt";
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST;
    if (!ModalUi_GetSaveFileName(dialog))
        return {};
    const std::u16string_view chosen = View(buffer);
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
