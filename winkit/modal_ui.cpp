#include "winkit/modal_ui.h"

#include "winkit/module_function.h"
#include "winkit/win_handles.h"

#include <shobjidl.h>

namespace {

const ModalUiHandlers* g_handlers = nullptr;

using TaskDialogIndirectFn = HRESULT(WINAPI*)(const TASKDIALOGCONFIG*, int*, int*, BOOL*);

// A string the shell allocated for us, freed with CoTaskMemFree.
struct ShellString {
    PWSTR text = nullptr;
    ~ShellString() { CoTaskMemFree(text); }
};

std::wstring ShowFolderPicker(HWND owner, const wchar_t* title) {
    ComScope com(COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    ComPtr<IFileOpenDialog> dialog;
    if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(dialog.Receive()))))
        return {};
    FILEOPENDIALOGOPTIONS options = 0;
    if (SUCCEEDED(dialog->GetOptions(&options)))
        dialog->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST);
    dialog->SetTitle(title);
    ComPtr<IShellItem> item;
    if (FAILED(dialog->Show(owner)) || FAILED(dialog->GetResult(item.Receive())))
        return {};
    ShellString name;
    if (FAILED(item->GetDisplayName(SIGDN_FILESYSPATH, &name.text)))
        return {};
    return name.text;
}

bool ShowTaskDialog(const TASKDIALOGCONFIG& config) {
    const LoadedLibrary library(LoadLibraryW(L"comctl32.dll"));
    auto function = ModuleFunction<TaskDialogIndirectFn>(library.get(), "TaskDialogIndirect");
    if (function)
        function(&config, nullptr, nullptr, nullptr);
    return function != nullptr;
}

bool StartProcess(const std::wstring& commandLine) {
    std::wstring writable = commandLine; // CreateProcessW may write into it
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, writable.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return false;
    // Nothing waits for the new process: both of its handles go at once.
    const FileHandle thread(process.hThread);
    const FileHandle started(process.hProcess);
    return true;
}

FileDialogOutcome Outcome(BOOL chosen) {
    return {chosen != FALSE, chosen ? 0 : CommDlgExtendedError()};
}

} // namespace

void ModalUi_SetHandlers(const ModalUiHandlers* handlers) {
    g_handlers = handlers;
}

int ModalUi_MessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT flags) {
    if (!g_handlers)
        return MessageBoxW(owner, text, caption, flags);
    return g_handlers->messageBox ? g_handlers->messageBox(owner, text, caption, flags) : IDCANCEL;
}

void ModalUi_ReportOutOfMemory(HWND owner) {
    ModalUi_MessageBox(owner, L"Not enough memory to complete the operation.", L"Error",
                       MB_ICONERROR);
}

FileDialogOutcome ModalUi_GetOpenFileName(OPENFILENAMEW& dialog) {
    if (!g_handlers)
        return Outcome(GetOpenFileNameW(&dialog));
    return g_handlers->openFile ? g_handlers->openFile(dialog) : FileDialogOutcome{};
}

FileDialogOutcome ModalUi_GetSaveFileName(OPENFILENAMEW& dialog) {
    if (!g_handlers)
        return Outcome(GetSaveFileNameW(&dialog));
    return g_handlers->saveFile ? g_handlers->saveFile(dialog) : FileDialogOutcome{};
}

BOOL ModalUi_ChooseFont(CHOOSEFONTW& dialog) {
    if (!g_handlers)
        return ChooseFontW(&dialog);
    return g_handlers->chooseFont ? g_handlers->chooseFont(dialog) : FALSE;
}

std::wstring ModalUi_PickFolder(HWND owner, const wchar_t* title) {
    if (!g_handlers)
        return ShowFolderPicker(owner, title);
    return g_handlers->pickFolder ? g_handlers->pickFolder(owner, title) : std::wstring();
}

bool ModalUi_TaskDialog(const TASKDIALOGCONFIG& config) {
    if (!g_handlers)
        return ShowTaskDialog(config);
    // Without a handler the test sees the message box the caller falls back to.
    return g_handlers->taskDialog ? g_handlers->taskDialog(config) : false;
}

bool ModalUi_StartProcess(const std::wstring& commandLine) {
    if (!g_handlers)
        return StartProcess(commandLine);
    return g_handlers->startProcess ? g_handlers->startProcess(commandLine) : false;
}
