// Keyboard, mouse, wheel, scroll-bar and context-menu messages of the
// control. Each handler maps its message to the core's rules and performs
// the platform side (focus, capture, system settings, the bars, the menu).
#pragma once

#include "editctl/edit_state.h"

#include <windows.h>

void EditCtl_OnKeyDown(HWND window, EditState& s, WPARAM virtualKey);
void EditCtl_OnChar(HWND window, EditState& s, WPARAM unit);

void EditCtl_OnButtonDown(HWND window, EditState& s, WPARAM wParam, LPARAM lParam);
void EditCtl_OnDoubleClick(HWND window, EditState& s, LPARAM lParam);
void EditCtl_OnMouseMove(HWND window, EditState& s, WPARAM wParam, LPARAM lParam);
void EditCtl_OnButtonUp(EditState& s);
void EditCtl_OnWheel(HWND window, EditState& s, WPARAM wParam);

void EditCtl_OnScroll(HWND window, EditState& s, bool horizontal, WPARAM wParam);

// Shows the right-button menu at the client point and sends the chosen
// command to the parent, as the main window's own Edit menu would.
void EditCtl_OnContextMenu(HWND window, const EditState& s, LPARAM lParam);
