#include "docs/file_commands.h"

#include "docs/disk_watch.h"
#include "docs/file_dialogs.h"
#include "docs/file_load.h"
#include "docs/main_window.h"
#include "docs/recovery.h"
#include "docs/recovery_files.h"
#include "docs/status_bar.h"
#include "docs/tabs.h"
#include "editctl/editctl.h"
#include "fileio/file_identity.h"
#include "fileio/file_paths.h"
#include "fileio/text_file.h"
#include "fileio/text_start.h"
#include "fileio/wide.h"
#include "winkit/modal_ui.h"
#include "winkit/program_name.h"
#include "winkit/win_handles.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

namespace {

// The first line as it always was, then why, when that is known.
std::wstring FailureText(const wchar_t* first, FileFailure failure, bool saving) {
    std::wstring text = first;
    const std::u16string_view reason = FileFailureReason(failure, saving);
    if (!reason.empty())
        text += L"\n" + std::wstring(reason.begin(), reason.end());
    return text;
}

void ShowFileError(HWND owner, const std::wstring& text) {
    ModalUi_MessageBox(owner, text.c_str(), L"Error", MB_ICONERROR);
}

// When the old bytes could not be put back, the file may be incomplete and
// the user needs to know where the old bytes are.
void ShowSaveError(HWND owner, FileFailure failure, const std::u16string& keptBackup = {}) {
    std::wstring text = FailureText(L"Failed to save file.", failure, true);
    if (!keptBackup.empty())
        text += L"\n\nThe file may now be incomplete. Its previous contents are kept in:\n" +
                std::wstring(Wide(keptBackup));
    ShowFileError(owner, text);
}

// Once saved, characters the encoding cannot hold are gone from the file
// for good: an ANSI save writes the code page's default character for
// those the page lacks, a UTF-8 save U+FFFD for each unpaired surrogate.
bool AskToSaveAnyway(HWND owner, TextEncoding encoding) {
    const wchar_t* text =
        encoding == TextEncoding::Ansi
            ? L"Some characters in this document cannot be represented in the ANSI code page "
              L"and will be replaced if you save it as ANSI.\n\n"
              L"Do you want to save anyway?\n\n"
              L"To keep them, choose No and then Format > Encoding > UTF-8."
            : L"Some characters in this document cannot be represented in UTF-8 and will be "
              L"replaced if you save it as UTF-8.\n\n"
              L"Do you want to save anyway?\n\n"
              L"They are unpaired surrogates, which only UTF-16 and UTF-32 files can hold; "
              L"each will be written as U+FFFD.";
    return ModalUi_MessageBox(owner, text, kProgramName, MB_YESNO | MB_ICONWARNING) == IDYES;
}

bool AskToSaveReplacedBytes(HWND owner) {
    return ModalUi_MessageBox(owner,
                              L"Some bytes of this file could not be read when it was opened and "
                              L"are marked as replacement characters. The marked characters will "
                              L"be written as U+FFFD if you save it, and the original bytes will "
                              L"be lost.\n\nDo you want to save anyway?",
                              kProgramName, MB_YESNO | MB_ICONWARNING) == IDYES;
}

// Asks about every loss the save of text would cause; false when the user
// declined one. The modeless Find and Replace dialogs can still edit the
// text while a question is open: text is then taken again, to save what is
// there now.
bool ConfirmLosses(MainWindow& mw, HWND owner, const Document& document) {
    if (document.replacedBytes && !AskToSaveReplacedBytes(owner))
        return false;
    return !EncodingLosesCharacters(EditCtl_TextPieces(mw.activeEdit), document.encoding) ||
           AskToSaveAnyway(owner, document.encoding);
}

// Another program's bytes are only written over when the user says so, and
// only those the user was asked about: a file that changes again while the
// question is open is asked about again. A No also answers for the change
// itself: the check that follows the box's closing does not ask about it
// again.
bool ConfirmReplacingChanges(MainWindow& mw, HWND owner, Document& document) {
    FileIdentity asked;
    if (!SaveWouldReplaceChanges(document, asked))
        return true;
    const std::wstring text = std::wstring(Wide(QuotedName(document))) +
                              L" was changed by another program since you opened it. Replace "
                              L"it with this text?";
    do {
        mw.askingAboutDisk = true;
        const int answer = ModalUi_MessageBox(owner, text.c_str(), kProgramName,
                                              MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2);
        mw.askingAboutDisk = false;
        if (answer != IDYES) {
            if (asked.known)
                document.declined = asked;
            return false;
        }
    } while (!FileStillAsAsked(document, asked));
    return true;
}

// What a document knows of its file once it loaded or saved it.
void TakeIdentity(Document& document, const FileIdentity& identity) {
    document.disk = identity;
    document.declined = {};
    document.missingReported = false;
}

// Puts files into tabs one after another: the first into the active tab when
// that was reusable before the first file, each other one into a new tab.
// When no new tab can be made (the system's window quota is spent), the
// files opened so far stay and the rest are not tried.
class TabFiller {
  public:
    TabFiller(MainWindow& mw, HWND owner)
        : mw_(mw), owner_(owner), reuseActive_(IsActiveTabReusable(mw)) {}

    // False once no further file can be opened.
    bool Open(const std::u16string& path) {
        if (reuseActive_) {
            reuseActive_ = false; // also when this file fails to load
        } else if (!MainWnd_NewTab(mw_, owner_)) {
            outOfTabs_ = true;
            return false;
        }
        if (OpenFileIntoActiveDocument(mw_, owner_, path))
            ++opened_;
        return true;
    }

    void ReportIfOutOfTabs() const {
        if (!outOfTabs_)
            return;
        const std::wstring text = L"No more tabs can be created: the system has run out of "
                                  L"window handles. The remaining files were not opened.\n\n"
                                  L"Files opened: " +
                                  std::to_wstring(opened_);
        ModalUi_MessageBox(owner_, text.c_str(), kProgramName, MB_OK | MB_ICONINFORMATION);
    }

  private:
    MainWindow& mw_;
    HWND owner_;
    bool reuseActive_;
    bool outOfTabs_ = false;
    int opened_ = 0;
};

// The path made absolute; as given when the system cannot resolve it.
std::u16string FullPath(const std::wstring& path) {
    const DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (size == 0)
        return U16(path.c_str());
    std::wstring full(size, L'\0');
    const DWORD length = GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
    if (length == 0 || length >= size)
        return U16(path.c_str());
    full.resize(length);
    return U16(full.c_str());
}

bool SaveToChosenPath(MainWindow& mw, HWND owner) {
    const SaveDialogResult chosen = ShowSaveFileDialog(owner);
    if (chosen.path.empty())
        return false;
    return SaveDocumentToPath(mw, owner, AddTxtExtension(chosen.path, chosen.filterIndex));
}

template <typename Change> void ChangeActiveForm(MainWindow& mw, HWND owner, Change change) {
    Document* document = MainWnd_ActiveDocument(mw);
    if (!document || MainWnd_RefuseWhileLoading(mw, owner))
        return;
    change(*document);
    MainWnd_JournalFormChanged(mw, owner, *document);
    MainWnd_ShowActiveDocument(mw, owner);
}

} // namespace

namespace {

// A file read and decoded, before it goes into a document.
struct LoadedFile {
    std::u16string text;
    TextEncoding encoding = TextEncoding::Utf8;
    LineEnding lineEnding = LineEnding::Crlf;
    bool replacedBytes = false;
    FileIdentity identity;
};

bool LoadFile(HWND owner, const std::u16string& path, LoadedFile& file) {
    FileFailure failure;
    if (ReadTextFile(path, file.text, file.encoding, file.lineEnding, &file.replacedBytes,
                     &file.identity, &failure))
        return true;
    ShowFileError(owner, FailureText(L"Failed to open file.", failure, false));
    return false;
}

// The document takes the file's form.
void TakeForm(Document& document, TextEncoding encoding, LineEnding lineEnding) {
    document.encoding = encoding;
    document.encodingLabel = EncodingLabel(encoding);
    document.lineEnding = lineEnding;
    document.lineEndingLabel = LineEndingLabel(lineEnding);
}

// The document takes the file's form; its text has gone into the control.
void TakeLoadedForm(MainWindow& mw, HWND owner, Document& document, const LoadedFile& file) {
    TakeForm(document, file.encoding, file.lineEnding);
    document.replacedBytes = file.replacedBytes;
    TakeIdentity(document, file.identity);
    MainWnd_ShowCleanDocument(mw, owner);
}

// From this size on a file shows its start at once, read-only, while a
// thread of its own reads it whole: below it a load takes too little time
// to be worth the wait for the rest.
constexpr uint64_t kLoadInBackgroundBytes = 8 << 20;
// Thousands of lines to scroll through meanwhile, decoded in milliseconds.
constexpr size_t kStartBytes = 2 << 20;

// How many lines a file of `size` bytes whose first kStartBytes make the
// lines of `start` has, judged by them.
int32_t ExpectedLines(std::u16string_view start, uint64_t size) {
    const auto breaks = static_cast<uint64_t>(std::count(start.begin(), start.end(), u'\n'));
    return static_cast<int32_t>(std::min<uint64_t>(breaks * size / kStartBytes + 1, INT32_MAX));
}

// Shows the start of a large file in the active tab and starts reading it
// whole; false for a smaller file or when its start cannot be read or no
// thread made: the file is then loaded as usual.
bool StartLoading(MainWindow& mw, HWND owner, Document& document, const std::u16string& path) {
    FileStamp stamp;
    LoadedFile start;
    if (NamesDevice(path) || !ReadFileStamp(path, stamp) || stamp.size < kLoadInBackgroundBytes ||
        !ReadTextStart(path, kStartBytes, start.text, start.encoding, start.lineEnding))
        return false;
    const int32_t lines = ExpectedLines(start.text, stamp.size);
    EditCtl_SetText(mw.activeEdit, std::move(start.text));
    EditCtl_SetGutterLines(mw.activeEdit, lines);
    try {
        document.loading =
            std::make_shared<FileLoad>(owner, path, stamp.size, EditCtl_LineMetrics(mw.activeEdit));
    } catch (const std::system_error&) {
        return false;
    }
    EditCtl_SetReadOnly(mw.activeEdit, true);
    document.path = path;
    document.displayName = FileNameFromPath(path);
    // Which bytes the document holds is known once they are all read.
    TakeLoadedForm(mw, owner, document, start);
    return true;
}

// Starts reading a large document's file again on a thread of its own,
// the text it holds shown read-only meanwhile; false for a smaller file or
// when no thread can be made: the file is then read at once.
bool StartReloading(MainWindow& mw, HWND owner, Document& document) {
    FileStamp stamp;
    if (!ReadFileStamp(document.path, stamp) || stamp.size < kLoadInBackgroundBytes)
        return false;
    try {
        document.loading = std::make_shared<FileLoad>(owner, document.path, stamp.size,
                                                      EditCtl_LineMetrics(mw.activeEdit));
    } catch (const std::system_error&) {
        return false;
    }
    document.reloading = true;
    EditCtl_SetReadOnly(mw.activeEdit, true);
    if (mw.settings.showStatusBar)
        Status_UpdatePosition(mw);
    return true;
}

int LoadingIndex(const MainWindow& mw, uint32_t id) {
    for (size_t i = 0; i < mw.documents.size(); ++i) {
        const FileLoad* load = mw.documents[i].loading.get();
        if (load && load->Id() == id)
            return static_cast<int>(i);
    }
    return -1;
}

// The whole file in place of its start, or, when it could not be read, an
// empty Untitled tab: nothing half loaded that a save could write over the file.
// A reload that fails instead keeps the text the tab held, as it was.
void FinishLoading(MainWindow& mw, HWND window, int index) {
    Document& document = mw.documents[index];
    const std::shared_ptr<FileLoad> load = std::move(document.loading);
    const bool reloading = std::exchange(document.reloading, false);
    LoadOutcome outcome = load->Finish();
    EditCtl_SetReadOnly(document.editWindow, false);
    if (outcome.failure == FileFailure::None) {
        try {
            if (reloading)
                EditCtl_ReloadPrepared(document.editWindow, std::move(outcome.prepared));
            else
                EditCtl_AdoptPrepared(document.editWindow, std::move(outcome.prepared));
        } catch (const std::bad_alloc&) {
            outcome.failure = FileFailure::OutOfMemory;
        }
    }
    if (outcome.failure != FileFailure::None) {
        if (!reloading)
            MainWnd_ResetDocument(mw, window, index);
        else if (index == mw.activeIndex && mw.settings.showStatusBar)
            Status_UpdatePosition(mw);
        ShowFileError(window, FailureText(L"Failed to open file.", outcome.failure, false));
        return;
    }
    TakeForm(document, outcome.encoding, outcome.lineEnding);
    document.replacedBytes = outcome.replacedBytes;
    TakeIdentity(document, outcome.identity);
    MainWnd_ShowCleanDocumentAt(mw, window, index);
}

} // namespace

bool OpenFileIntoActiveDocument(MainWindow& mw, HWND owner, const std::u16string& path) {
    Document* document = MainWnd_ActiveDocument(mw);
    if (!document || path.empty())
        return false;
    if (StartLoading(mw, owner, *document, path))
        return true;
    LoadedFile file;
    if (!LoadFile(owner, path, file))
        return false;
    EditCtl_SetText(mw.activeEdit, std::move(file.text));
    EditCtl_SetModified(mw.activeEdit, false);
    document->path = path;
    document->displayName = FileNameFromPath(path);
    TakeLoadedForm(mw, owner, *document, file);
    return true;
}

bool MainWnd_OnLoadMessage(MainWindow& mw, HWND window, UINT message, WPARAM wParam) {
    if (message != kLoadProgressMessage && message != kLoadEndMessage)
        return false;
    // A closed tab's load was stopped; its messages may still arrive.
    const int index = LoadingIndex(mw, static_cast<uint32_t>(wParam));
    if (index < 0)
        return true;
    if (message == kLoadEndMessage)
        FinishLoading(mw, window, index);
    else if (index == mw.activeIndex && mw.settings.showStatusBar)
        Status_UpdatePosition(mw);
    return true;
}

bool MainWnd_RefuseWhileLoading(MainWindow& mw, HWND owner) {
    const Document* document = MainWnd_ActiveDocument(mw);
    if (!document || !document->loading)
        return false;
    const std::wstring text = std::wstring(Wide(QuotedName(*document))) +
                              L" is still loading. Try again once it has loaded.";
    ModalUi_MessageBox(owner, text.c_str(), kProgramName, MB_OK | MB_ICONINFORMATION);
    return true;
}

bool ReloadActiveDocument(MainWindow& mw, HWND owner) {
    Document* document = MainWnd_ActiveDocument(mw);
    LoadedFile file;
    if (!document || document->path.empty() || MainWnd_RefuseWhileLoading(mw, owner))
        return false;
    if (StartReloading(mw, owner, *document))
        return true;
    if (!LoadFile(owner, document->path, file))
        return false;
    EditCtl_ReloadText(mw.activeEdit, std::move(file.text));
    TakeLoadedForm(mw, owner, *document, file);
    return true;
}

bool SaveDocumentToPath(MainWindow& mw, HWND owner, const std::u16string& path) {
    Document* document = MainWnd_ActiveDocument(mw);
    if (!document || MainWnd_RefuseWhileLoading(mw, owner))
        return false;
    // Refused before anything is asked about the text.
    if (NamesDevice(path)) {
        ShowSaveError(owner, FileFailure::Device);
        return false;
    }
    // The question about the file on disk comes last, so that nothing but
    // its own check of the file lies between its answer and the write.
    if (!ConfirmLosses(mw, owner, *document))
        return false;
    if (path == document->path && !ConfirmReplacingChanges(mw, owner, *document))
        return false;
    // Read in place: a large text is neither copied nor joined to be saved.
    const std::vector<std::u16string_view> text = EditCtl_TextPieces(mw.activeEdit);
    SaveSafety safety;
    safety.spareFolder = U16(Recovery_Folder());
    FileIdentity identity;
    if (!WriteTextFile(text, path, document->encoding, document->lineEnding, &safety, &identity)) {
        ShowSaveError(owner, safety.failure, safety.keptBackup);
        return false;
    }
    document->replacedBytes = false;
    TakeIdentity(*document, identity);
    document->path = path;
    document->displayName = FileNameFromPath(path);
    document->encodingLabel = EncodingLabel(document->encoding);
    document->lineEndingLabel = LineEndingLabel(document->lineEnding);
    MainWnd_ShowCleanDocument(mw, owner);
    return true;
}

bool IsActiveTabReusable(MainWindow& mw) {
    const Document* document = MainWnd_ActiveDocument(mw);
    return document && document->path.empty() && !document->modified &&
           !EditCtl_IsModified(mw.activeEdit) && EditCtl_GetTextLength(mw.activeEdit) == 0;
}

void MainWnd_OpenStartupFile(MainWindow& mw, HWND owner, const std::wstring& path) {
    if (!path.empty())
        OpenFileIntoActiveDocument(mw, owner, FullPath(path));
}

void MainWnd_OpenFiles(MainWindow& mw, HWND owner) {
    const std::vector<std::u16string> paths = ShowOpenFileDialog(owner);
    if (paths.empty())
        return;
    TabFiller filler(mw, owner);
    for (const std::u16string& path : paths) {
        if (!filler.Open(path))
            break;
    }
    filler.ReportIfOutOfTabs();
}

void MainWnd_OpenFolder(MainWindow& mw, HWND owner) {
    const std::u16string folder = PickFolder(owner);
    if (folder.empty())
        return;
    WIN32_FIND_DATAW entry = {};
    const FileSearch search(Wide(JoinFolderAndName(folder, u"*")), entry);
    if (!search.Found())
        return;
    TabFiller filler(mw, owner);
    do {
        // Also ".", ".." and every subfolder: nothing is opened recursively.
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        if (!filler.Open(JoinFolderAndName(folder, U16(entry.cFileName))))
            break;
    } while (search.Next(entry));
    filler.ReportIfOutOfTabs();
}

bool MainWnd_Save(MainWindow& mw, HWND owner) {
    const Document* document = MainWnd_ActiveDocument(mw);
    if (!document || MainWnd_RefuseWhileLoading(mw, owner))
        return false;
    if (!document->path.empty()) {
        const std::u16string path = document->path; // the save rewrites the field
        return SaveDocumentToPath(mw, owner, path);
    }
    return SaveToChosenPath(mw, owner);
}

bool MainWnd_SaveAs(MainWindow& mw, HWND owner) {
    return !MainWnd_RefuseWhileLoading(mw, owner) && SaveToChosenPath(mw, owner);
}

void MainWnd_SetEncoding(MainWindow& mw, HWND owner, TextEncoding encoding) {
    ChangeActiveForm(mw, owner, [encoding](Document& document) {
        document.encoding = encoding;
        document.encodingLabel = EncodingLabel(encoding);
    });
}

void MainWnd_SetLineEnding(MainWindow& mw, HWND owner, LineEnding lineEnding) {
    ChangeActiveForm(mw, owner, [lineEnding](Document& document) {
        document.lineEnding = lineEnding;
        document.lineEndingLabel = LineEndingLabel(lineEnding);
    });
}
