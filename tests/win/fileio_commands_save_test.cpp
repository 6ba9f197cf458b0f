// Save, Save As, the encoding and line-ending commands and what reaches the
// disk; a failed or refused save leaves document and file as they were.
#include "tests/win/fileio_commands_fixture.h"

#include "docs/file_commands.h"
#include "editctl/editctl.h"
#include "fileio/file_bytes.h"
#include "winkit/command_ids.h"

namespace {

bool Radio(HMENU menu, int id) {
    return (GetMenuState(menu, id, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

int g_writes = 0;

// The backup copy goes through; the new bytes and their undoing stop half-way.
size_t BackupOnlyGetsWritten(size_t requested) {
    return ++g_writes == 1 ? requested : requested / 2;
}

} // namespace

using SaveTest = FileCommandsTest;

TEST_F(SaveTest, SaveDialogIsSetUpAndCancelSavesNothing) {
    Create();
    MainWindow& mw = Record();
    Type(L'a');
    EXPECT_FALSE(MainWnd_Save(mw, window_));
    ASSERT_EQ(saveDialogs_.size(), 1u);
    const ShownFileDialog& shown = saveDialogs_[0];
    EXPECT_EQ(shown.owner, window_);
    EXPECT_EQ(shown.flags, 0x802u);
    EXPECT_EQ(shown.maxFile, 260u);
    EXPECT_TRUE(shown.emptyBuffer);
    using namespace std::string_literals;
    EXPECT_EQ(shown.filters, L"Text Files (*.txt)\0*.txt\0All Files (*.*)\0*.*\0"s);
    EXPECT_EQ(shown.filterIndex, 1u);
    EXPECT_EQ(shown.defaultExtension, L"txt");
    EXPECT_FALSE(shown.titled);
    EXPECT_TRUE(messages_.empty());
    EXPECT_TRUE(mw.documents[0].modified);
    EXPECT_EQ(Title(), L"*Untitled - Tessary");

    // A document with a path still gets an empty name in Save As.
    savePath_ = PathOf("named.txt");
    ASSERT_TRUE(MainWnd_Save(mw, window_));
    savePath_.clear();
    EXPECT_FALSE(MainWnd_SaveAs(mw, window_));
    ASSERT_EQ(saveDialogs_.size(), 3u);
    EXPECT_TRUE(saveDialogs_[2].emptyBuffer);
    EXPECT_EQ(mw.documents[0].path, PathOf("named.txt"));
}

TEST_F(SaveTest, SaveWritesToTheDocumentsPathWithoutADialog) {
    Write("a.txt", "one\r\ntwo");
    Create();
    MainWindow& mw = Record();
    ASSERT_TRUE(OpenFileIntoActiveDocument(mw, window_, PathOf("a.txt")));
    EditCtl_SetSelection(mw.activeEdit, 8, 8);
    TypeText(u"\u00E9");
    EXPECT_EQ(TabText(0), L" *a.txt ");
    Command(IDM_FILE_SAVE);
    EXPECT_TRUE(saveDialogs_.empty());
    EXPECT_EQ(Read("a.txt"), "one\r\ntwo\xC3\xA9");
    EXPECT_FALSE(mw.documents[0].modified);
    EXPECT_FALSE(EditCtl_IsModified(mw.activeEdit));
    EXPECT_EQ(TabText(0), L" a.txt ");
    EXPECT_EQ(Title(), L"a.txt - Tessary");

    // Unmodified, the file is written all the same.
    std::filesystem::remove(folder_.Path("a.txt"));
    EXPECT_TRUE(MainWnd_Save(mw, window_));
    EXPECT_EQ(Read("a.txt"), "one\r\ntwo\xC3\xA9");
    EXPECT_TRUE(messages_.empty());
}

TEST_F(SaveTest, UntitledSaveAsksForANameAndTheTextFilterAddsTxt) {
    Create();
    MainWindow& mw = Record();
    TypeText(u"hi");
    savePath_ = PathOf("notes");
    saveFilter_ = 1;
    Command(IDM_FILE_SAVE);
    ASSERT_EQ(saveDialogs_.size(), 1u);
    EXPECT_EQ(Read("notes.txt"), "hi");
    EXPECT_FALSE(Exists("notes"));
    EXPECT_EQ(mw.documents[0].path, PathOf("notes.txt"));
    EXPECT_EQ(TabText(0), L" notes.txt ");
    EXPECT_EQ(Title(), L"notes.txt - Tessary");
    EXPECT_EQ(StatusText(1), L"UTF-8");
    EXPECT_EQ(StatusText(2), L"Win");

    // Under "All Files (*.*)" the name is used as the dialog gave it.
    savePath_ = PathOf("raw");
    saveFilter_ = 2;
    Command(IDM_FILE_SAVE_AS);
    EXPECT_EQ(Read("raw"), "hi");
    EXPECT_EQ(TabText(0), L" raw ");
}

TEST_F(SaveTest, SaveAsMovesTheDocumentToTheNewFile) {
    Write("a.txt", "old");
    Create();
    MainWindow& mw = Record();
    ASSERT_TRUE(OpenFileIntoActiveDocument(mw, window_, PathOf("a.txt")));
    Type(L'>');
    savePath_ = PathOf("b.txt");
    Command(IDM_FILE_SAVE_AS);
    EXPECT_EQ(Read("b.txt"), ">old");
    EXPECT_EQ(Read("a.txt"), "old");
    EXPECT_EQ(mw.documents[0].path, PathOf("b.txt"));
    EXPECT_EQ(mw.documents[0].displayName, u"b.txt");
    EXPECT_EQ(TabText(0), L" b.txt ");
    EXPECT_EQ(Title(), L"b.txt - Tessary");
    // Later saves go to the new file.
    Type(L'>');
    Command(IDM_FILE_SAVE);
    EXPECT_EQ(Read("b.txt"), ">>old");
    EXPECT_EQ(Read("a.txt"), "old");
}

TEST_F(SaveTest, AMixedDocumentIsWrittenWithCrLfAndKeepsItsLabel) {
    Write("m.txt", "a\nb\r\nc\rd");
    Create();
    MainWindow& mw = Record();
    ASSERT_TRUE(OpenFileIntoActiveDocument(mw, window_, PathOf("m.txt")));
    ASSERT_EQ(StatusText(2), L"Mixed");
    EXPECT_TRUE(Radio(mw.lineEndingMenu, IDM_EOL_CRLF));
    Command(IDM_FILE_SAVE);
    EXPECT_EQ(Read("m.txt"), "a\r\nb\r\nc\r\nd");
    EXPECT_EQ(mw.documents[0].lineEnding, LineEnding::Mixed);
    EXPECT_EQ(mw.documents[0].lineEndingLabel, u"Mixed");
    EXPECT_EQ(StatusText(2), L"Mixed");
}

TEST_F(SaveTest, ASaveThatCannotPutTheOldBytesBackSaysWhereTheyAre) {
    Write("doc.txt", "old");
    // A second name makes the save write in place on every system.
    ASSERT_TRUE(CreateHardLinkW(reinterpret_cast<const wchar_t*>(PathOf("alias.txt").c_str()),
                                reinterpret_cast<const wchar_t*>(PathOf("doc.txt").c_str()),
                                nullptr));
    Create();
    MainWindow& mw = Record();
    ASSERT_TRUE(OpenFileIntoActiveDocument(mw, window_, PathOf("doc.txt")));
    Type(L'x');
    g_writes = 0;
    g_writeLimitForTesting = BackupOnlyGetsWritten;
    EXPECT_FALSE(MainWnd_Save(mw, window_));
    g_writeLimitForTesting = nullptr;

    std::string backup;
    for (const std::string& name : folder_.Entries())
        if (name.rfind("doc.txt.~tessary-", 0) == 0)
            backup = name;
    ASSERT_FALSE(backup.empty());
    EXPECT_EQ(Read(backup), "old");
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_TRUE(IsFileError(messages_[0], L"Failed to save file.", L"space on the disk"));
    EXPECT_TRUE(messages_[0].text.ends_with(L"\n\nThe file may now be incomplete. Its previous "
                                            L"contents are kept in:\n" +
                                            folder_.Path(backup).wstring()));
    EXPECT_TRUE(mw.documents[0].modified);
}

TEST_F(SaveTest, AFailedSaveChangesNeitherTheDocumentNorTheFile) {
    Write("locked.txt", "keep me");
    Write("other.txt", "other");
    Create();
    MainWindow& mw = Record();
    ASSERT_TRUE(OpenFileIntoActiveDocument(mw, window_, PathOf("locked.txt")));
    MakeReadOnly("locked.txt");
    Type(L'x');
    EXPECT_FALSE(MainWnd_Save(mw, window_));
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_TRUE(IsFileError(messages_[0], L"Failed to save file.", L"read-only"));
    EXPECT_EQ(Read("locked.txt"), "keep me");
    EXPECT_TRUE(mw.documents[0].modified);
    EXPECT_TRUE(EditCtl_IsModified(mw.activeEdit));
    EXPECT_EQ(TabText(0), L" *locked.txt ");
    EXPECT_EQ(Title(), L"*locked.txt - Tessary");

    // Save As onto a read-only file: the document keeps its own path and name.
    MakeReadOnly("other.txt");
    savePath_ = PathOf("other.txt");
    EXPECT_FALSE(MainWnd_SaveAs(mw, window_));
    EXPECT_EQ(messages_.size(), 2u);
    EXPECT_EQ(Read("other.txt"), "other");
    EXPECT_EQ(mw.documents[0].path, PathOf("locked.txt"));
    EXPECT_EQ(TabText(0), L" *locked.txt ");
    EXPECT_EQ(folder_.Entries().size(), 2u); // no temporary file left behind
}

TEST_F(SaveTest, EncodingAndLineEndingTakeEffectAtTheNextSave) {
    Write("a.txt", "caf\xC3\xA9\nbar\n");
    Create();
    MainWindow& mw = Record();
    ASSERT_TRUE(OpenFileIntoActiveDocument(mw, window_, PathOf("a.txt")));
    Command(IDM_ENCODING_ANSI);
    Command(IDM_EOL_CR);
    const Document& d = mw.documents[0]; // until New moves the list
    EXPECT_EQ(d.encoding, TextEncoding::Ansi);
    EXPECT_EQ(d.encodingLabel, u"ANSI");
    EXPECT_EQ(d.lineEnding, LineEnding::Cr);
    EXPECT_EQ(d.lineEndingLabel, u"Mac");
    EXPECT_TRUE(Radio(mw.encodingMenu, IDM_ENCODING_ANSI));
    EXPECT_FALSE(Radio(mw.encodingMenu, IDM_ENCODING_UTF8));
    EXPECT_TRUE(Radio(mw.lineEndingMenu, IDM_EOL_CR));
    EXPECT_FALSE(Radio(mw.lineEndingMenu, IDM_EOL_LF));
    EXPECT_EQ(StatusText(1), L"ANSI");
    EXPECT_EQ(StatusText(2), L"Mac");
    // Neither the text nor its modified state changes: no prompt follows.
    EXPECT_EQ(TextOf(0), u"caf\u00E9\r\nbar\r\n");
    EXPECT_FALSE(d.modified);
    EXPECT_FALSE(EditCtl_IsModified(mw.activeEdit));
    EXPECT_EQ(TabText(0), L" a.txt ");
    EXPECT_EQ(Title(), L"a.txt - Tessary");
    EXPECT_EQ(Read("a.txt"), "caf\xC3\xA9\nbar\n");
    Command(IDM_FILE_NEW);
    EXPECT_TRUE(messages_.empty());
    EXPECT_EQ(mw.documents.size(), 2u);

    // The first tab's next save writes the chosen form; é is in the code page.
    Command(IDM_NEXT_TAB);
    Command(IDM_FILE_SAVE);
    EXPECT_EQ(Read("a.txt"), "caf\xE9\rbar\r");
    EXPECT_TRUE(messages_.empty());
    Command(IDM_ENCODING_UTF8);
    Command(IDM_EOL_LF);
    EXPECT_EQ(StatusText(1), L"UTF-8");
    EXPECT_EQ(StatusText(2), L"Unix");
    Command(IDM_FILE_SAVE);
    EXPECT_EQ(Read("a.txt"), "caf\xC3\xA9\nbar\n");
    Command(IDM_EOL_CRLF);
    Command(IDM_FILE_SAVE);
    EXPECT_EQ(Read("a.txt"), "caf\xC3\xA9\r\nbar\r\n");
    EXPECT_EQ(StatusText(2), L"Win");

    // With the status bar hidden, the commands leave it alone.
    Command(IDM_VIEW_STATUS_BAR);
    Command(IDM_EOL_LF);
    EXPECT_EQ(StatusText(2), L"Win");
    EXPECT_EQ(mw.documents[0].lineEndingLabel, u"Unix");
}

TEST_F(SaveTest, AnAnsiSaveThatWouldLoseCharactersAsksFirst) {
    Write("a.txt", "x");
    Create();
    MainWindow& mw = Record();
    ASSERT_TRUE(OpenFileIntoActiveDocument(mw, window_, PathOf("a.txt")));
    Command(IDM_ENCODING_ANSI);
    TypeText(u"\u4E2D");
    answers_ = {IDNO};
    EXPECT_FALSE(MainWnd_Save(mw, window_));
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_TRUE(IsSaveAnywayQuestion(messages_[0], L"replaced"));
    EXPECT_EQ(Read("a.txt"), "x");
    EXPECT_TRUE(mw.documents[0].modified);
    EXPECT_EQ(TabText(0), L" *a.txt ");

    // No to the warning inside the save prompt stops what asked, as Cancel would.
    answers_ = {IDYES, IDNO};
    Command(IDM_FILE_NEW);
    EXPECT_EQ(messages_.size(), 3u);
    EXPECT_EQ(mw.documents.size(), 1u);

    // Save As asks the same; Yes writes the code page's replacement.
    answers_ = {IDYES};
    savePath_ = PathOf("b.txt");
    EXPECT_TRUE(MainWnd_SaveAs(mw, window_));
    EXPECT_EQ(messages_.size(), 4u);
    EXPECT_EQ(Read("b.txt"), "?x");
    EXPECT_FALSE(mw.documents[0].modified);

    // As UTF-8 nothing is lost and nothing is asked.
    Command(IDM_ENCODING_UTF8);
    EXPECT_TRUE(MainWnd_Save(mw, window_));
    EXPECT_EQ(messages_.size(), 4u);
    EXPECT_EQ(Read("b.txt"), "\xE4\xB8\xADx");
}

TEST_F(SaveTest, WhatChangesWhileTheAnsiWarningIsOpenIsSavedToo) {
    Write("a.txt", "x");
    Create();
    MainWindow& mw = Record();
    ASSERT_TRUE(OpenFileIntoActiveDocument(mw, window_, PathOf("a.txt")));
    Command(IDM_ENCODING_ANSI);
    TypeText(u"\u4E2D");
    // The Replace dialog stays usable while the question is open.
    whilePrompting_ = [&] { EditCtl_ReplaceRange(mw.activeEdit, 0, 0, u"y"); };
    answers_ = {IDYES};
    EXPECT_TRUE(MainWnd_Save(mw, window_));
    whilePrompting_ = nullptr;
    EXPECT_EQ(Read("a.txt"), "y?x");
    EXPECT_FALSE(mw.documents[0].modified);
}
