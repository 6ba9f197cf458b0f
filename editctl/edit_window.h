// The record the edit control keeps in its window's user-data slot, shared
// by the control's source files.
#pragma once

#include "editctl/edit_state.h"

#include <windows.h>

// The control's record, or null before creation and after destruction.
EditState* EditCtl_State(HWND window);
