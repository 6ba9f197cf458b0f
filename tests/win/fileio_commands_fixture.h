// The main window with its file dialogs answered by the test: the open
// dialog's selection, the save dialog's path and filter, the folder picked.
// The open dialog acts as the system's does: its hook sees a dialog window
// whose file name box shows the selection, and a selection longer than
// nMaxFile fails with FNERR_BUFFERTOOSMALL (or, with overrunOpen_, is
// written whole, as Wine does). A save path that does not fit fails the
// same way. Every dialog shown is counted and its settings kept. Message
// boxes are answered from answers_ in order, then with answer_. Files live
// in a fresh temporary folder.
#pragma once

#include "tests/core/fileio_temp_folder.h"
#include "tests/win/app_window_fixture.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

// Whether message is a file error box whose first line is exactly first and
// whose second line, the reason, mentions words.
::testing::AssertionResult IsFileError(const ShownMessage& message, const wchar_t* first,
                                       const wchar_t* words);

// Whether message asks whether to save anyway, as a Yes/No warning, and
// mentions words.
::testing::AssertionResult IsSaveAnywayQuestion(const ShownMessage& message, const wchar_t* words);

// What the test saw of one file dialog.
struct ShownFileDialog {
    HWND owner = nullptr;
    DWORD flags = 0;
    DWORD maxFile = 0;
    DWORD filterIndex = 0;
    std::wstring filters; // every zero kept, up to and including the final pair
    std::wstring defaultExtension;
    bool titled = false;      // a title or an initial folder was given
    bool emptyBuffer = false; // the whole result buffer came zero-filled
};

class FileCommandsTest : public MainWindowTest {
  protected:
    void SetUp() override;

    // The open dialog chooses these: one full path, or several names of one folder.
    void ChooseFile(const std::u16string& path);
    void ChooseFiles(const std::u16string& folder, const std::vector<std::u16string>& names);

    std::u16string PathOf(const std::string& name) const { return folder_.U16(name); }
    // The temporary folder as a dialog gives it: no separator at the end.
    std::u16string Folder() const;
    void Write(const std::string& name, const std::string& bytes) const {
        TempFolder::WriteBytes(folder_.Path(name), bytes);
    }
    std::string Read(const std::string& name) const {
        return TempFolder::ReadBytes(folder_.Path(name));
    }
    void MakeReadOnly(const std::string& name) const;
    void TypeText(std::u16string_view text);
    std::u16string TextOf(int index);
    bool Exists(const std::string& name) const;

    TempFolder folder_;
    std::wstring openBuffer_; // empty: the open dialog is cancelled
    std::wstring openFolder_; // the folder and the file name box of the open dialog
    std::wstring openNames_;
    bool overrunOpen_ = false;
    std::u16string savePath_; // empty: the save dialog is cancelled
    DWORD saveFilter_ = 1;
    std::u16string pickedFolder_; // empty: the folder dialog is cancelled
    std::deque<int> answers_;
    std::function<void()> whilePrompting_; // runs while a message box is open
    std::vector<ShownFileDialog> openDialogs_;
    std::vector<ShownFileDialog> saveDialogs_;
    std::vector<std::wstring> folderTitles_;

  private:
    FileDialogOutcome AnswerOpenDialog(OPENFILENAMEW& dialog);

    ModalUiHandlers handlers_;
};
