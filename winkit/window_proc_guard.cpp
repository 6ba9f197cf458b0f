#include "winkit/window_proc_guard.h"

#include "winkit/modal_ui.h"

LRESULT WindowProc_OnOutOfMemory(HWND window, UINT message) noexcept {
    if (message == WM_PAINT || message == WM_PRINTCLIENT)
        return 0;
    ModalUi_ReportOutOfMemory(GetAncestor(window, GA_ROOT));
    if (message == WM_NCCREATE)
        return FALSE;
    return message == WM_CREATE ? -1 : 0;
}
