// The About box and the version block it reads its version from.
#include "app/about.h"

#include "app/resource.h"
#include "app/window_modes.h"
#include "app/window_modes_rules.h"
#include "fileio/wide.h"
#include "winkit/modal_ui.h"
#include "winkit/program_name.h"
#include "winkit/win_handles.h"

#include <algorithm>
#include <cwchar>
#include <vector>

std::wstring MainWnd_GetFileVersionString(const std::wstring& path, const wchar_t* key) {
    if (path.empty())
        return {};
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    if (size == 0)
        return {};
    std::vector<BYTE> block(size);
    if (!GetFileVersionInfoW(path.c_str(), 0, size, block.data()))
        return {};
    const std::wstring query = std::wstring(L"\\StringFileInfo\\040904B0\\") + key;
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(block.data(), query.c_str(), &value, &length) || !value || length == 0)
        return {};
    // Read no further than the stated length, the first terminator or the
    // end of the block, whichever comes first.
    const auto* text = static_cast<const wchar_t*>(value);
    const auto* end = reinterpret_cast<const wchar_t*>(block.data() + block.size());
    if (text >= end)
        return {};
    const size_t limit = std::min<size_t>(length, static_cast<size_t>(end - text));
    return std::wstring(text, wcsnlen(text, limit));
}

std::wstring MainWnd_GetVersionString(const wchar_t* key) {
    return MainWnd_GetFileVersionString(MainWnd_ModulePath(), key);
}

void MainWnd_ShowAbout(HWND window) {
    const std::wstring version = MainWnd_GetVersionString(L"ProductVersion");
    const std::u16string message = AboutText(std::u16string(U16(version.c_str(), version.size())));
    const auto* text = Wide(message);
    HINSTANCE instance = GetModuleHandleW(nullptr);
    const OwnedIcon icon(static_cast<HICON>(
        LoadImageW(instance, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON, GetSystemMetrics(SM_CXICON),
                   GetSystemMetrics(SM_CYICON), LR_DEFAULTCOLOR)));

    TASKDIALOGCONFIG config = {};
    config.cbSize = sizeof config;
    config.hwndParent = window;
    config.hInstance = instance;
    config.dwFlags = TDF_USE_HICON_MAIN | TDF_ALLOW_DIALOG_CANCELLATION;
    config.dwCommonButtons = TDCBF_OK_BUTTON;
    config.pszWindowTitle = L"About " TESSARY_NAME;
    config.hMainIcon = icon.get();
    config.pszMainInstruction = kProgramName;
    config.pszContent = text;
    if (!ModalUi_TaskDialog(config))
        ModalUi_MessageBox(window, text, L"About " TESSARY_NAME, MB_ICONINFORMATION);
}
