// The edit control as UI Automation sees it: a Document element with the
// text pattern, made when a client first asks for it and disconnected when
// the window goes. The control's record points at it through `automation`.
#pragma once

#include "editctl/edit_state.h"

#include <windows.h>
#include <uiautomationcore.h>

// Answers WM_GETOBJECT: the provider for the automation root, anything else
// (or no automation library) the default procedure's answer.
LRESULT EditCtl_OnGetObject(HWND window, EditState& s, WPARAM wParam, LPARAM lParam);

enum class AutomationEvent { TextChanged, SelectionChanged, Focus };
// Raised only while some client listens; a control no client has asked for
// gets its provider made here.
void EditCtl_RaiseAutomationEvent(HWND window, EditState& s, AutomationEvent event);
// The events that follow a notification to the parent.
void EditCtl_RaiseNotifyEvents(HWND window, EditState& s, EditNotify notify);

// Cuts the provider off the window being destroyed: clients holding it get
// "element not available" from then on.
void EditCtl_ReleaseAutomation(HWND window, EditState& s);

// The control's provider with a reference for the caller; null without a record.
IRawElementProviderSimple* EditCtl_AutomationProvider(HWND window);
