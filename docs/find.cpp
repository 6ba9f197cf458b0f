#include "docs/find.h"

#include "docs/file_commands.h"
#include "docs/main_window.h"
#include "docs/search.h"
#include "editctl/editctl.h"
#include "fileio/wide.h"
#include "winkit/modal_ui.h"
#include "winkit/program_name.h"

#include <algorithm>
#include <cwchar>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

constexpr WORD kBufferLength = 256;

// The dialogs keep the buffers terminated; reading stops at the end anyway.
std::u16string_view BufferText(const wchar_t (&buffer)[kBufferLength]) {
    return U16(buffer, wcsnlen(buffer, kBufferLength));
}

SearchOptions Options(const MainWindow& mw) {
    return {mw.matchCase, mw.wholeWord};
}

void Inform(HWND window, const wchar_t* text) {
    ModalUi_MessageBox(window, text, kProgramName, MB_ICONINFORMATION);
}

// Both dialogs share the block and the buffers, so only one is ever open.
void ShowDialog(MainWindow& mw, HWND window, bool replace) {
    if (mw.findDialog && IsWindow(mw.findDialog)) {
        SetFocus(mw.findDialog);
        return;
    }
    mw.findWhat[kBufferLength - 1] = 0;
    mw.replaceWith[kBufferLength - 1] = 0;
    FINDREPLACEW& block = mw.findReplace;
    block = {};
    block.lStructSize = sizeof block;
    block.hwndOwner = window;
    block.lpstrFindWhat = mw.findWhat;
    block.wFindWhatLen = kBufferLength;
    block.Flags = FR_DOWN | (mw.matchCase ? FR_MATCHCASE : 0) | (mw.wholeWord ? FR_WHOLEWORD : 0);
    if (replace) {
        block.lpstrReplaceWith = mw.replaceWith;
        block.wReplaceWithLen = kBufferLength;
    }
    mw.findDialog = replace ? ReplaceTextW(&block) : FindTextW(&block);
}

// Replaces whatever is selected, a match or not; it is an ordinary edit, so
// Undo gives back a selection replaced by mistake.
void ReplaceSelection(MainWindow& mw) {
    if (!mw.activeEdit)
        return;
    int32_t anchor = 0;
    int32_t caret = 0;
    EditCtl_GetSelection(mw.activeEdit, &anchor, &caret);
    if (anchor == caret)
        return;
    EditCtl_ReplaceRange(mw.activeEdit, std::min(anchor, caret), std::max(anchor, caret),
                         std::u16string(BufferText(mw.replaceWith)));
}

// Always down from the start, whatever the direction: searching up would
// find a replacement that begins with the search text again and again.
void ReplaceAllInActive(MainWindow& mw, HWND window) {
    if (!mw.activeEdit)
        return;
    const std::u16string_view pattern = BufferText(mw.findWhat);
    const std::vector<std::u16string_view> text = EditCtl_TextPieces(mw.activeEdit);
    ReplaceAllMatches result =
        Find_ReplaceAllMatches(TextPieces(text), pattern, BufferText(mw.replaceWith), Options(mw));
    if (result.tooLong) {
        ModalUi_MessageBox(window, L"The text would become too long. Nothing was replaced.",
                           kProgramName, MB_ICONWARNING);
        return;
    }
    const size_t count = result.positions.size();
    EditCtl_ReplaceMatches(mw.activeEdit, std::move(result.positions),
                           static_cast<int32_t>(pattern.size()), BufferText(mw.replaceWith));
    EditCtl_SetSelection(mw.activeEdit, result.lastStart, result.lastEnd);
    EditCtl_EnsureCaretVisible(mw.activeEdit);
    const std::wstring message = L"Replaced " + std::to_wstring(count) + L" occurrence(s).";
    Inform(window, message.c_str());
}

} // namespace

void Find_ShowFindDialog(MainWindow& mw, HWND window) {
    ShowDialog(mw, window, false);
}

void Find_ShowReplaceDialog(MainWindow& mw, HWND window) {
    ShowDialog(mw, window, true);
}

bool Find_FindNext(MainWindow& mw, HWND window, bool showMessage) {
    const std::u16string_view pattern = BufferText(mw.findWhat);
    if (!mw.activeEdit || pattern.empty())
        return false;
    int32_t anchor = 0;
    int32_t caret = 0;
    EditCtl_GetSelection(mw.activeEdit, &anchor, &caret);
    const std::vector<std::u16string_view> text = EditCtl_TextPieces(mw.activeEdit);
    const int32_t found =
        Find_NextMatch(TextPieces(text), pattern, anchor, caret, mw.searchDown, Options(mw));
    if (found < 0) {
        const Document* document = MainWnd_ActiveDocument(mw);
        if (showMessage && document && document->loading && mw.searchDown)
            Inform(window, L"Cannot find the specified text in the part loaded so far. The file "
                           L"is still loading; search again once it has loaded.");
        else if (showMessage)
            Inform(window, L"Cannot find the specified text.");
        return false;
    }
    EditCtl_SetSelection(mw.activeEdit, found, found + static_cast<int32_t>(pattern.size()));
    EditCtl_EnsureCaretVisible(mw.activeEdit);
    return true;
}

void Find_HandleDialogMessage(MainWindow& mw, HWND window, const FINDREPLACEW* request) {
    // The dialogs hand back the block they were opened with; a pointer from
    // anywhere else (another process may send a registered message) is not
    // ours to read.
    if (request != &mw.findReplace)
        return;
    const DWORD flags = request->Flags;
    mw.searchDown = (flags & FR_DOWN) != 0;
    mw.matchCase = (flags & FR_MATCHCASE) != 0;
    mw.wholeWord = (flags & FR_WHOLEWORD) != 0;
    if (flags & FR_DIALOGTERM) {
        mw.findDialog = nullptr;
    } else if (flags & FR_FINDNEXT) {
        Find_FindNext(mw, window, true);
    } else if ((flags & (FR_REPLACE | FR_REPLACEALL)) && MainWnd_RefuseWhileLoading(mw, window)) {
        return;
    } else if (flags & FR_REPLACE) {
        ReplaceSelection(mw);
        Find_FindNext(mw, window, true);
    } else if (flags & FR_REPLACEALL) {
        ReplaceAllInActive(mw, window);
    }
}
