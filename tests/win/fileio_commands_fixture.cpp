#include "tests/win/fileio_commands_fixture.h"

#include "editctl/editctl.h"

#include <cderr.h>
#include <dlgs.h>

#include <algorithm>

namespace {

ShownFileDialog Inspect(const OPENFILENAMEW& dialog) {
    ShownFileDialog shown;
    shown.owner = dialog.hwndOwner;
    shown.flags = dialog.Flags;
    shown.maxFile = dialog.nMaxFile;
    shown.filterIndex = dialog.nFilterIndex;
    for (const wchar_t* at = dialog.lpstrFilter; at && *at; at += wcslen(at) + 1)
        shown.filters.append(at, wcslen(at) + 1);
    if (dialog.lpstrDefExt)
        shown.defaultExtension = dialog.lpstrDefExt;
    shown.titled = dialog.lpstrTitle || dialog.lpstrInitialDir;
    shown.emptyBuffer = std::all_of(dialog.lpstrFile, dialog.lpstrFile + dialog.nMaxFile,
                                    [](wchar_t unit) { return unit == 0; });
    return shown;
}

// The open dialog's window as its hook sees it: it reports its folder and
// shows the selection in its file name box.
LRESULT CALLBACK FakeOpenDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == CDM_GETFOLDERPATH)
        return GetWindowLongPtrW(window, GWLP_USERDATA);
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND CreateFakeOpenDialog(const std::wstring& folder, const std::wstring& names) {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = FakeOpenDialogProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"TessaryTestOpenDialog";
    RegisterClassW(&windowClass); // fails harmlessly once registered
    HWND dialog = CreateWindowExW(0, windowClass.lpszClassName, L"Open", WS_POPUP, 0, 0, 10, 10,
                                  nullptr, nullptr, windowClass.hInstance, nullptr);
    SetWindowLongPtrW(dialog, GWLP_USERDATA, static_cast<LONG_PTR>(folder.size() + 1));
    CreateWindowExW(0, L"STATIC", names.c_str(), WS_CHILD, 0, 0, 1, 1, dialog,
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(edt1)), nullptr, nullptr);
    return dialog;
}

} // namespace

::testing::AssertionResult IsFileError(const ShownMessage& message, const wchar_t* first,
                                       const wchar_t* words) {
    const std::wstring& text = message.text;
    const size_t end = text.find(L'\n');
    const std::wstring reason = end == std::wstring::npos ? L"" : text.substr(end + 1);
    if (message.caption == L"Error" && message.flags == MB_ICONERROR &&
        text.substr(0, end) == first &&
        reason.substr(0, reason.find(L'\n')).find(words) != std::wstring::npos)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "the box says: " << ::testing::PrintToString(text);
}

::testing::AssertionResult IsSaveAnywayQuestion(const ShownMessage& message, const wchar_t* words) {
    const std::wstring& text = message.text;
    if (message.caption == L"Tessary" && message.flags == (MB_YESNO | MB_ICONWARNING) &&
        text.find(L"save anyway?") != std::wstring::npos && text.find(words) != std::wstring::npos)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "the box says: " << ::testing::PrintToString(text);
}

// The hook sees the dialog open and OK pressed; then the dialog writes what
// was chosen.
FileDialogOutcome FileCommandsTest::AnswerOpenDialog(OPENFILENAMEW& dialog) {
    if (dialog.lpfnHook) {
        HWND box = CreateFakeOpenDialog(openFolder_, openNames_);
        HWND hook = CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 1, 1, box, nullptr, nullptr,
                                    nullptr);
        dialog.lpfnHook(hook, WM_INITDIALOG, 0, reinterpret_cast<LPARAM>(&dialog));
        SendMessageW(box, WM_COMMAND, IDOK, 0);
        DestroyWindow(box);
    }
    if (openBuffer_.empty())
        return {};
    if (openBuffer_.size() > dialog.nMaxFile && !overrunOpen_)
        return {false, FNERR_BUFFERTOOSMALL};
    std::copy(openBuffer_.begin(), openBuffer_.end(), dialog.lpstrFile);
    return {true, 0};
}

void FileCommandsTest::SetUp() {
    MainWindowTest::SetUp();
    handlers_.messageBox = [this](HWND, const std::wstring& text, const std::wstring& caption,
                                  UINT flags) {
        messages_.push_back({text, caption, flags});
        if (whilePrompting_)
            whilePrompting_();
        if (answers_.empty())
            return answer_;
        const int next = answers_.front();
        answers_.pop_front();
        return next;
    };
    handlers_.openFile = [this](OPENFILENAMEW& dialog) {
        openDialogs_.push_back(Inspect(dialog));
        return AnswerOpenDialog(dialog);
    };
    handlers_.saveFile = [this](OPENFILENAMEW& dialog) {
        saveDialogs_.push_back(Inspect(dialog));
        if (savePath_.empty())
            return FileDialogOutcome{};
        if (savePath_.size() >= dialog.nMaxFile)
            return FileDialogOutcome{false, FNERR_BUFFERTOOSMALL};
        std::copy(savePath_.begin(), savePath_.end(), dialog.lpstrFile);
        dialog.lpstrFile[savePath_.size()] = 0;
        dialog.nFilterIndex = saveFilter_;
        return FileDialogOutcome{true, 0};
    };
    handlers_.pickFolder = [this](HWND, const std::wstring& title) {
        folderTitles_.push_back(title);
        return std::wstring(pickedFolder_.begin(), pickedFolder_.end());
    };
    ModalUi_SetHandlers(&handlers_);
}

void FileCommandsTest::ChooseFile(const std::u16string& path) {
    openBuffer_.assign(path.begin(), path.end());
    openBuffer_.append(2, L'\0');
    openFolder_.clear();
    openNames_ = openBuffer_.c_str();
}

void FileCommandsTest::ChooseFiles(const std::u16string& folder,
                                   const std::vector<std::u16string>& names) {
    openBuffer_.assign(folder.begin(), folder.end());
    openBuffer_.push_back(L'\0');
    openFolder_.assign(folder.begin(), folder.end());
    openNames_.clear();
    for (const std::u16string& name : names) {
        openBuffer_.append(name.begin(), name.end());
        openBuffer_.push_back(L'\0');
        openNames_ += L"\"" + std::wstring(name.begin(), name.end()) + L"\" ";
    }
    openBuffer_.push_back(L'\0');
}

void FileCommandsTest::MakeReadOnly(const std::string& name) const {
    const std::wstring path = folder_.Path(name).wstring();
    ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));
}

void FileCommandsTest::TypeText(std::u16string_view text) {
    for (char16_t unit : text)
        Type(static_cast<wchar_t>(unit));
}

std::u16string FileCommandsTest::TextOf(int index) {
    return EditCtl_GetText(Record().documents[index].editWindow);
}

std::u16string FileCommandsTest::Folder() const {
    std::u16string folder = folder_.U16("");
    while (!folder.empty() && (folder.back() == u'\\' || folder.back() == u'/'))
        folder.pop_back();
    return folder;
}

bool FileCommandsTest::Exists(const std::string& name) const {
    return std::filesystem::exists(folder_.Path(name));
}
