// The record the edit control keeps in its window's user-data slot, shared
// by the control's source files.
#pragma once

#include "editctl/edit_state.h"

#include <windows.h>

// The control's record, or null before creation and after destruction, and
// for any window of another class.
EditState* EditCtl_State(HWND window);

// Registration tells which class is the control's, so that no other
// window's user data is ever read as a record.
void EditCtl_SetRecordClass(ATOM atom);
