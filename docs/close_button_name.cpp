#include "docs/close_button_name.h"

#include "editctl/uia_api.h"
#include "winkit/com_object.h"
#include "winkit/win_handles.h"

#include <commctrl.h>

#include <new>

namespace {

constexpr UINT_PTR kSubclassId = 0x4e41; // "NA"
constexpr wchar_t kName[] = L"Close tab";

// A button element with a fixed name; everything else comes from the host window.
class NamedButton final : public ComObject<NamedButton, IRawElementProviderSimple> {
  public:
    explicit NamedButton(HWND window) : window_(window) {}
    void Detach() { window_ = nullptr; }

    void* Interface(REFIID iid) {
        return iid == IID_IRawElementProviderSimple ? static_cast<IRawElementProviderSimple*>(this)
                                                    : nullptr;
    }

    HRESULT STDMETHODCALLTYPE get_ProviderOptions(ProviderOptions* result) override {
        if (!result)
            return E_POINTER;
        // Without COM threading the system calls in on the window's own thread,
        // the only one that may touch the control.
        *result = ProviderOptions_ServerSideProvider;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetPatternProvider(PATTERNID, IUnknown** result) override {
        if (!result)
            return E_POINTER;
        *result = nullptr;
        return window_ ? S_OK : uia::kElementNotAvailable;
    }
    HRESULT STDMETHODCALLTYPE GetPropertyValue(PROPERTYID property, VARIANT* result) override {
        if (!result)
            return E_POINTER;
        VariantInit(result);
        if (!window_)
            return uia::kElementNotAvailable;
        if (property == uia::kName) {
            result->bstrVal = SysAllocString(kName);
            result->vt = result->bstrVal ? VT_BSTR : VT_EMPTY;
        } else if (property == uia::kControlType) {
            result->vt = VT_I4;
            result->lVal = uia::kButton;
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE
    get_HostRawElementProvider(IRawElementProviderSimple** result) override {
        if (!result)
            return E_POINTER;
        *result = nullptr;
        const AutomationApi& api = EditCtl_AutomationApi();
        return window_ && api.hostProviderFromHwnd ? api.hostProviderFromHwnd(window_, result)
                                                   : S_OK;
    }

  private:
    ~NamedButton() override = default;
    HWND window_;
};

// Takes the element's reference back from the subclass, which held it.
void Release(HWND window, NamedButton* held) {
    const ComPtr<NamedButton> element(held);
    const AutomationApi& api = EditCtl_AutomationApi();
    element->Detach();
    if (api.returnRawElementProvider)
        api.returnRawElementProvider(window, 0, 0, nullptr);
    if (api.disconnectProvider)
        api.disconnectProvider(element.get());
}

LRESULT CALLBACK NamedButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                 UINT_PTR id, DWORD_PTR data) {
    auto* element = reinterpret_cast<NamedButton*>(data);
    const AutomationApi& api = EditCtl_AutomationApi();
    if (message == WM_GETOBJECT && static_cast<LONG>(lParam) == uia::kRootObjectId &&
        api.returnRawElementProvider)
        return api.returnRawElementProvider(window, wParam, lParam, element);
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(window, NamedButtonProc, id);
        Release(window, element);
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

} // namespace

void TabStrip_NameCloseButton(HWND closeButton) {
    if (!closeButton)
        return;
    ComPtr<NamedButton> element(new (std::nothrow) NamedButton(closeButton));
    if (element && SetWindowSubclass(closeButton, NamedButtonProc, kSubclassId,
                                     reinterpret_cast<DWORD_PTR>(element.get())))
        element.release(); // the subclass holds it until WM_NCDESTROY
}
