#include "tests/win/fileio_commands_fixture.h"

#include "editctl/editctl.h"

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

} // namespace

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
        if (openBuffer_.empty() || openBuffer_.size() > dialog.nMaxFile)
            return FALSE;
        std::copy(openBuffer_.begin(), openBuffer_.end(), dialog.lpstrFile);
        return TRUE;
    };
    handlers_.saveFile = [this](OPENFILENAMEW& dialog) {
        saveDialogs_.push_back(Inspect(dialog));
        if (savePath_.empty() || savePath_.size() >= dialog.nMaxFile)
            return FALSE;
        std::copy(savePath_.begin(), savePath_.end(), dialog.lpstrFile);
        dialog.lpstrFile[savePath_.size()] = 0;
        dialog.nFilterIndex = saveFilter_;
        return TRUE;
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
}

void FileCommandsTest::ChooseFiles(const std::u16string& folder,
                                   const std::vector<std::u16string>& names) {
    openBuffer_.assign(folder.begin(), folder.end());
    openBuffer_.push_back(L'\0');
    for (const std::u16string& name : names) {
        openBuffer_.append(name.begin(), name.end());
        openBuffer_.push_back(L'\0');
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
