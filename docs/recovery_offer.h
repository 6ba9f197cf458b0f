// At start-up, the offer of the journals that an instance which did not
// close normally left behind.
#pragma once

#include <windows.h>

struct MainWindow;

// Asks once about every document whose journals no running instance holds,
// before any of their texts is read. Yes opens each in a tab marked
// modified, the active tab first when it is a fresh Untitled one: with its
// file's path while the file is still the one the text was written
// against, as an Untitled document otherwise; afterwards the user learns of
// every text that opened as Untitled, came back in part or could not come
// back, and why. No deletes the journals; any other answer keeps them for
// the next start. Journals that cannot be read are moved aside, with a
// word. True when a tab got recovered text.
bool MainWnd_OfferRecovery(MainWindow& mw, HWND window);
