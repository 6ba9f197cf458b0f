#include "docs/file_commands.h"

#include "docs/disk_watch.h"
#include "docs/file_dialogs.h"
#include "docs/main_window.h"
#include "docs/recovery.h"
#include "docs/recovery_files.h"
#include "docs/tabs.h"
#include "editctl/editctl.h"
#include "fileio/file_identity.h"
#include "fileio/file_paths.h"
#include "fileio/text_file.h"
#include "fileio/wide.h"
#include "winkit/modal_ui.h"
#include "winkit/program_name.h"
#include "winkit/win_handles.h"

#include <string_view>
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
    if (!document)
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

// The document takes the file's form; its text has gone into the control.
void TakeLoadedForm(MainWindow& mw, HWND owner, Document& document, const LoadedFile& file) {
    document.encoding = file.encoding;
    document.encodingLabel = EncodingLabel(file.encoding);
    document.lineEnding = file.lineEnding;
    document.lineEndingLabel = LineEndingLabel(file.lineEnding);
    document.replacedBytes = file.replacedBytes;
    TakeIdentity(document, file.identity);
    MainWnd_ShowCleanDocument(mw, owner);
}

} // namespace

bool OpenFileIntoActiveDocument(MainWindow& mw, HWND owner, const std::u16string& path) {
    Document* document = MainWnd_ActiveDocument(mw);
    LoadedFile file;
    if (!document || path.empty() || !LoadFile(owner, path, file))
        return false;
    EditCtl_SetText(mw.activeEdit, std::move(file.text));
    EditCtl_SetModified(mw.activeEdit, false);
    document->path = path;
    document->displayName = FileNameFromPath(path);
    TakeLoadedForm(mw, owner, *document, file);
    return true;
}

bool ReloadActiveDocument(MainWindow& mw, HWND owner) {
    Document* document = MainWnd_ActiveDocument(mw);
    LoadedFile file;
    if (!document || document->path.empty() || !LoadFile(owner, document->path, file))
        return false;
    EditCtl_ReloadText(mw.activeEdit, std::move(file.text));
    TakeLoadedForm(mw, owner, *document, file);
    return true;
}

bool SaveDocumentToPath(MainWindow& mw, HWND owner, const std::u16string& path) {
    Document* document = MainWnd_ActiveDocument(mw);
    if (!document)
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
    if (!document)
        return false;
    if (!document->path.empty()) {
        const std::u16string path = document->path; // the save rewrites the field
        return SaveDocumentToPath(mw, owner, path);
    }
    return SaveToChosenPath(mw, owner);
}

bool MainWnd_SaveAs(MainWindow& mw, HWND owner) {
    return SaveToChosenPath(mw, owner);
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
