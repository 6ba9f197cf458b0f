#include "editctl/uia_api.h"

namespace {

template <typename Fn> void Load(HMODULE module, const char* name, Fn& out) {
    out = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

AutomationApi LoadSystemApi() {
    AutomationApi api;
    HMODULE module = LoadLibraryW(L"uiautomationcore.dll");
    if (!module)
        return api;
    Load(module, "UiaReturnRawElementProvider", api.returnRawElementProvider);
    Load(module, "UiaHostProviderFromHwnd", api.hostProviderFromHwnd);
    Load(module, "UiaClientsAreListening", api.clientsAreListening);
    Load(module, "UiaRaiseAutomationEvent", api.raiseAutomationEvent);
    Load(module, "UiaDisconnectProvider", api.disconnectProvider);
    Load(module, "UiaGetReservedNotSupportedValue", api.getReservedNotSupportedValue);
    return api;
}

const AutomationApi* overridden = nullptr;

} // namespace

const AutomationApi& EditCtl_AutomationApi() {
    static const AutomationApi system = LoadSystemApi();
    return overridden ? *overridden : system;
}

void EditCtl_OverrideAutomationApi(const AutomationApi* api) {
    overridden = api;
}
