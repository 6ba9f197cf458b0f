#include "editctl/editctl.h"

#include "editctl/commands.h"
#include "editctl/edit_automation.h"
#include "editctl/edit_effects.h"
#include "editctl/edit_input.h"
#include "editctl/edit_paint.h"
#include "editctl/edit_record.h"
#include "winkit/high_contrast.h"
#include "winkit/window_proc_guard.h"

namespace {

constexpr wchar_t kClassName[] = L"CustomEditControl";

SIZE ClientSize(HWND window) {
    RECT client = {};
    GetClientRect(window, &client);
    return {client.right, client.bottom};
}

// The record lives exactly as long as the window: made before the first
// message that might look for it, freed with the last.
void AttachRecord(HWND window) {
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(new EditState));
}

void DetachRecord(HWND window) {
    delete EditCtl_State(window);
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
}

void OnCreate(HWND window, EditState& s) {
    const SIZE size = ClientSize(window);
    AttachWindow(s, window, size.cx, size.cy);
    EditCtl_ApplyEffects(window, s);
}

void OnPaint(HWND window, EditState& s) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    if (!dc)
        return;
    // Ends the paint, giving the caret back, also when memory runs out.
    struct PaintEnd {
        HWND window;
        const PAINTSTRUCT& paint;
        ~PaintEnd() { EndPaint(window, &paint); }
    } end{window, paint};
    PaintUpdate(window, s, dc, paint.rcPaint);
}

void OnSize(HWND window, EditState& s, LPARAM lParam) {
    SetClientSize(s, LOWORD(lParam), HIWORD(lParam));
    EditCtl_ApplyEffects(window, s);
}

// Returns false for messages the default procedure handles.
bool Dispatch(HWND window, EditState& s, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        OnCreate(window, s);
        return true;
    case WM_SIZE:
        OnSize(window, s, lParam);
        return true;
    case WM_PAINT:
        OnPaint(window, s);
        return true;
    case WM_PRINTCLIENT:
        PaintControl(window, s, reinterpret_cast<HDC>(wParam));
        return true;
    case WM_SETFOCUS:
        EditCtl_ShowCaret(window, s);
        EditCtl_RaiseAutomationEvent(window, s, AutomationEvent::Focus);
        return true;
    case WM_KILLFOCUS:
        EditCtl_HideCaret(window);
        return true;
    case WM_KEYDOWN:
        EditCtl_OnKeyDown(window, s, wParam);
        return true;
    case WM_CHAR:
        EditCtl_OnChar(window, s, wParam);
        return true;
    case WM_LBUTTONDOWN:
        EditCtl_OnButtonDown(window, s, wParam, lParam);
        return true;
    case WM_LBUTTONDBLCLK:
        EditCtl_OnDoubleClick(window, s, lParam);
        return true;
    case WM_MOUSEMOVE:
        EditCtl_OnMouseMove(window, s, wParam, lParam);
        return true;
    case WM_LBUTTONUP:
        EditCtl_OnButtonUp(s);
        return true;
    case WM_RBUTTONUP:
        EditCtl_OnContextMenu(window, s, lParam);
        return true;
    case WM_MOUSEWHEEL:
        EditCtl_OnWheel(window, s, wParam);
        return true;
    case WM_VSCROLL:
    case WM_HSCROLL:
        EditCtl_OnScroll(window, s, message == WM_HSCROLL, wParam);
        return true;
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE:
        // High contrast may have come or gone: the next paint asks again.
        HighContrast_Refresh();
        InvalidateRect(window, nullptr, FALSE);
        return false;
    default:
        return false;
    }
}

LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE)
        AttachRecord(window);
    if (message == WM_ERASEBKGND)
        return 1; // every pixel is painted from the off-screen bitmap
    EditState* s = EditCtl_State(window);
    if (message == WM_NCDESTROY && s) {
        EditCtl_ReleaseAutomation(window, *s);
        DetachRecord(window);
        s = nullptr;
    }
    if (message == WM_GETOBJECT && s)
        return EditCtl_OnGetObject(window, *s, wParam, lParam);
    if (s && Dispatch(window, *s, message, wParam, lParam))
        return 0;
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

bool EditCtl_RegisterClass(HINSTANCE instance) {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = GuardedWindowProc<HandleMessage>;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_IBEAM);
    wc.lpszClassName = kClassName;
    const ATOM atom = RegisterClassExW(&wc);
    if (atom)
        EditCtl_SetRecordClass(atom);
    return atom != 0;
}

HWND EditCtl_Create(HWND parent, int x, int y, int width, int height, int id, HINSTANCE instance) {
    const DWORD style = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL;
    return CreateWindowExW(0, kClassName, L"", style, x, y, width, height, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
}
