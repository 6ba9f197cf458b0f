// At start-up, the saves an earlier run did not live to complete: each file
// they were writing over may be incomplete, and its earlier version waits in
// a backup. The user is told of each and offered to put the earlier
// version back.
#pragma once

#include <windows.h>

// Asks about each interrupted save in turn. Yes writes the earlier version
// back over the file; No leaves the file as it is and the backup where the
// question said it is. Either answer is final; a question closed without
// one, or an earlier version that could not go back, is asked about again
// at the next start.
void MainWnd_OfferInterruptedSaves(HWND window);
