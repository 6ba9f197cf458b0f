#include "docs/format_menu.h"

#include "docs/main_window.h"
#include "winkit/command_ids.h"

void MainWnd_RefreshEncodingMenu(MainWindow& mw) {
    if (!mw.encodingMenu)
        return;
    const Document* active = MainWnd_ActiveDocument(mw);
    const TextEncoding encoding = active ? active->encoding : TextEncoding::Utf8;
    // UTF-8 with its signature is still UTF-8; choosing the item drops the signature.
    if (encoding == TextEncoding::Utf8 || encoding == TextEncoding::Utf8Bom ||
        encoding == TextEncoding::Ansi) {
        CheckMenuRadioItem(mw.encodingMenu, IDM_ENCODING_UTF8, IDM_ENCODING_ANSI,
                           encoding == TextEncoding::Ansi ? IDM_ENCODING_ANSI : IDM_ENCODING_UTF8,
                           MF_BYCOMMAND);
        return;
    }
    // The UTF-16 and UTF-32 forms have no item: neither is the document's.
    CheckMenuItem(mw.encodingMenu, IDM_ENCODING_UTF8, MF_BYCOMMAND | MF_UNCHECKED);
    CheckMenuItem(mw.encodingMenu, IDM_ENCODING_ANSI, MF_BYCOMMAND | MF_UNCHECKED);
}

void MainWnd_RefreshLineEndingMenu(MainWindow& mw) {
    if (!mw.lineEndingMenu)
        return;
    const Document* active = MainWnd_ActiveDocument(mw);
    int item = IDM_EOL_CRLF; // also for Mixed
    if (active && active->lineEnding == LineEnding::Lf)
        item = IDM_EOL_LF;
    else if (active && active->lineEnding == LineEnding::Cr)
        item = IDM_EOL_CR;
    CheckMenuRadioItem(mw.lineEndingMenu, IDM_EOL_CRLF, IDM_EOL_CR, item, MF_BYCOMMAND);
}
