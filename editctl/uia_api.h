// The UI Automation functions the edit control calls, looked up at run time
// so the program still starts where uiautomationcore.dll is missing. Every
// pointer may be null; callers then do without.
#pragma once

#include "editctl/uia_interfaces.h"

struct AutomationApi {
    LRESULT(WINAPI* returnRawElementProvider)
    (HWND, WPARAM, LPARAM, IRawElementProviderSimple*) = nullptr;
    HRESULT(WINAPI* hostProviderFromHwnd)(HWND, IRawElementProviderSimple**) = nullptr;
    BOOL(WINAPI* clientsAreListening)() = nullptr;
    HRESULT(WINAPI* raiseAutomationEvent)(IRawElementProviderSimple*, EVENTID) = nullptr;
    HRESULT(WINAPI* disconnectProvider)(IRawElementProviderSimple*) = nullptr;
    HRESULT(WINAPI* getReservedNotSupportedValue)(IUnknown**) = nullptr;
};

// The system's functions, loaded on first use; the library stays loaded
// for the life of the process, as handed-out providers may call into it.
const AutomationApi& EditCtl_AutomationApi();
// Tests put their own table in place; null restores the system's.
void EditCtl_OverrideAutomationApi(const AutomationApi* api);
