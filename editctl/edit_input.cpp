#include "editctl/edit_input.h"

#include "editctl/edit_clipboard.h"
#include "editctl/edit_effects.h"
#include "editctl/editing.h"
#include "editctl/keys.h"
#include "editctl/mouse.h"

#include <cstdint>

namespace {

constexpr WPARAM kCtrlBackspaceUnit = 0x7F;

EditKey KeyOf(WPARAM virtualKey) {
    switch (virtualKey) {
    case VK_BACK:
        return EditKey::Backspace;
    case VK_DELETE:
        return EditKey::Delete;
    case VK_LEFT:
        return EditKey::Left;
    case VK_RIGHT:
        return EditKey::Right;
    case VK_UP:
        return EditKey::Up;
    case VK_DOWN:
        return EditKey::Down;
    case VK_HOME:
        return EditKey::Home;
    case VK_END:
        return EditKey::End;
    case 'A':
        return EditKey::A;
    case 'C':
        return EditKey::C;
    case 'V':
        return EditKey::V;
    case 'X':
        return EditKey::X;
    case 'Y':
        return EditKey::Y;
    case 'Z':
        return EditKey::Z;
    default:
        return EditKey::Other;
    }
}

bool KeyHeld(int virtualKey) {
    return GetKeyState(virtualKey) < 0;
}

// Client coordinates are signed: a captured mouse reports points left of
// and above the window as negative.
int32_t PointX(LPARAM lParam) {
    return static_cast<int16_t>(LOWORD(lParam));
}
int32_t PointY(LPARAM lParam) {
    return static_cast<int16_t>(HIWORD(lParam));
}

ClickLimits SystemClickLimits() {
    ClickLimits limits;
    limits.time = GetDoubleClickTime();
    limits.width = GetSystemMetrics(SM_CXDOUBLECLK);
    limits.height = GetSystemMetrics(SM_CYDOUBLECLK);
    return limits;
}

} // namespace

void EditCtl_OnKeyDown(HWND window, EditState& s, WPARAM virtualKey) {
    switch (HandleKeyDown(s, KeyOf(virtualKey), KeyHeld(VK_SHIFT), KeyHeld(VK_CONTROL))) {
    case ClipboardAction::None:
        EditCtl_ApplyEffects(window, s);
        break;
    case ClipboardAction::Copy:
        CopySelection(window, s);
        break;
    case ClipboardAction::Cut:
        CutSelection(window, s);
        break;
    case ClipboardAction::Paste:
        PasteClipboard(window, s);
        break;
    }
}

void EditCtl_OnChar(HWND window, EditState& s, WPARAM unit) {
    // Ctrl+Backspace also arrives as the DEL unit; its key-down already
    // deleted, and an invisible control character must not be typed.
    if (unit == kCtrlBackspaceUnit)
        return;
    TypeCharMessage(s, static_cast<char16_t>(unit));
    EditCtl_ApplyEffects(window, s);
}

void EditCtl_OnButtonDown(HWND window, EditState& s, WPARAM wParam, LPARAM lParam) {
    SetFocus(window);
    SetCapture(window);
    MouseButtonDown(s, PointX(lParam), PointY(lParam), GetTickCount(), SystemClickLimits(),
                    (wParam & MK_SHIFT) != 0);
    EditCtl_ApplyEffects(window, s);
}

void EditCtl_OnDoubleClick(HWND window, EditState& s, LPARAM lParam) {
    MouseDoubleClick(s, PointX(lParam), PointY(lParam));
    EditCtl_ApplyEffects(window, s);
}

void EditCtl_OnMouseMove(HWND window, EditState& s, WPARAM wParam, LPARAM lParam) {
    // A release the control never saw (outside the window after a double-click,
    // which takes no capture) must not leave the selection following the pointer.
    if (!(wParam & MK_LBUTTON)) {
        MouseButtonUp(s);
        return;
    }
    MouseMove(s, PointX(lParam), PointY(lParam));
    EditCtl_ApplyEffects(window, s);
}

void EditCtl_OnButtonUp(EditState& s) {
    ReleaseCapture();
    MouseButtonUp(s);
}

void EditCtl_OnWheel(HWND window, EditState& s, WPARAM wParam) {
    UINT lines = 3;
    if (!SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0))
        lines = 3;
    MouseWheel(s, static_cast<int16_t>(HIWORD(wParam)), lines);
    EditCtl_ApplyEffects(window, s);
}
