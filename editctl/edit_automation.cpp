#include "editctl/edit_automation.h"

#include "editctl/automation_objects.h"
#include "editctl/edit_record.h"
#include "editctl/layout.h"
#include "editctl/text_geometry.h"
#include "editctl/text_model.h"
#include "editctl/uia_api.h"
#include "winkit/win_handles.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace {

// The record's provider, made on first use; the record keeps one reference.
EditProvider* EnsureProvider(HWND window, EditState& s) {
    if (!s.attached.automation)
        s.attached.automation = new (std::nothrow) EditProvider(window);
    return s.attached.automation;
}

VARIANT BoolVariant(bool value) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BOOL;
    v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    return v;
}

// The window text, which the main window keeps as the tab's document name.
HRESULT NameVariant(HWND window, VARIANT* result) {
    std::wstring name(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    name.resize(
        static_cast<size_t>(GetWindowTextW(window, name.data(), static_cast<int>(name.size()))));
    result->vt = VT_BSTR;
    result->bstrVal = SysAllocStringLen(name.data(), static_cast<UINT>(name.size()));
    return result->bstrVal ? S_OK : E_OUTOFMEMORY;
}

HRESULT NewRangeResult(EditProvider* owner, TextSpan span, uia::ITextRangeProvider** result) {
    *result = NewTextRange(owner, span);
    return *result ? S_OK : E_OUTOFMEMORY;
}

HRESULT ArrayResult(EditProvider* owner, TextSpan span, SAFEARRAY** result) {
    const ComPtr<uia::ITextRangeProvider> range(NewTextRange(owner, span));
    if (!range)
        return E_OUTOFMEMORY;
    *result = RangeArray(range.get());
    return *result ? S_OK : E_OUTOFMEMORY;
}

} // namespace

// ---- IUnknown ----

void* EditProvider::Interface(REFIID iid) {
    if (iid == IID_IRawElementProviderSimple)
        return static_cast<IRawElementProviderSimple*>(this);
    if (iid == uia::kTextProviderIid || iid == uia::kTextProvider2Iid)
        return static_cast<uia::ITextProvider2*>(this);
    return nullptr;
}

EditState* EditProvider::State() const {
    return window_ ? EditCtl_State(window_) : nullptr;
}

// ---- The element ----

HRESULT EditProvider::get_ProviderOptions(ProviderOptions* result) {
    if (!result)
        return E_POINTER;
    // Without COM threading the system calls in on the window's own thread,
    // the only one that may touch the control.
    *result = ProviderOptions_ServerSideProvider;
    return S_OK;
}

HRESULT EditProvider::GetPatternProvider(PATTERNID pattern, IUnknown** result) {
    if (!result)
        return E_POINTER;
    *result = nullptr;
    if (!State())
        return uia::kElementNotAvailable;
    if (pattern == uia::kTextPattern || pattern == uia::kTextPattern2) {
        *result = static_cast<uia::ITextProvider2*>(this);
        AddRef();
    }
    return S_OK;
}

HRESULT EditProvider::GetPropertyValue(PROPERTYID property, VARIANT* result) {
    if (!result)
        return E_POINTER;
    VariantInit(result);
    if (!State())
        return uia::kElementNotAvailable;
    switch (property) {
    case uia::kControlType:
        result->vt = VT_I4;
        result->lVal = uia::kDocument;
        return S_OK;
    case uia::kName:
        return Guarded([&] { return NameVariant(window_, result); });
    case uia::kIsKeyboardFocusable:
    case uia::kIsTextPatternAvailable:
        *result = BoolVariant(true);
        return S_OK;
    case uia::kHasKeyboardFocus:
        *result = BoolVariant(GetFocus() == window_);
        return S_OK;
    default:
        return S_OK; // the host's answer, or none
    }
}

HRESULT EditProvider::get_HostRawElementProvider(IRawElementProviderSimple** result) {
    if (!result)
        return E_POINTER;
    *result = nullptr;
    const AutomationApi& api = EditCtl_AutomationApi();
    if (!window_ || !api.hostProviderFromHwnd)
        return S_OK;
    return api.hostProviderFromHwnd(window_, result);
}

// ---- The text pattern ----

HRESULT EditProvider::GetSelection(SAFEARRAY** result) {
    if (!result)
        return E_POINTER;
    *result = nullptr;
    const EditState* s = State();
    if (!s)
        return uia::kElementNotAvailable;
    return ArrayResult(this, {SelectionLow(s->model), SelectionHigh(s->model)}, result);
}

HRESULT EditProvider::GetVisibleRanges(SAFEARRAY** result) {
    if (!result)
        return E_POINTER;
    *result = nullptr;
    const EditState* s = State();
    if (!s)
        return uia::kElementNotAvailable;
    return Guarded([&] { return ArrayResult(this, VisibleSpan(*s), result); });
}

HRESULT EditProvider::RangeFromChild(IRawElementProviderSimple*, uia::ITextRangeProvider** result) {
    if (!result)
        return E_POINTER;
    *result = nullptr;
    return E_INVALIDARG; // the document has no child elements
}

HRESULT EditProvider::RangeFromPoint(uia::Point point, uia::ITextRangeProvider** result) {
    if (!result)
        return E_POINTER;
    *result = nullptr;
    const EditState* s = State();
    if (!s)
        return uia::kElementNotAvailable;
    if (std::isnan(point.x) || std::isnan(point.y))
        return E_INVALIDARG;
    POINT origin = {0, 0};
    ClientToScreen(window_, &origin);
    // Far beyond any screen, a point is as good as one at the text's edge.
    auto client = [](double screen, LONG start) {
        return static_cast<int64_t>(std::clamp(screen - start, -1e12, 1e12));
    };
    const int32_t at =
        BoundaryNearestPoint(*s, client(point.x, origin.x), client(point.y, origin.y));
    return NewRangeResult(this, {at, at}, result);
}

HRESULT EditProvider::get_DocumentRange(uia::ITextRangeProvider** result) {
    if (!result)
        return E_POINTER;
    *result = nullptr;
    const EditState* s = State();
    if (!s)
        return uia::kElementNotAvailable;
    return NewRangeResult(this, {0, TextLength(s->model)}, result);
}

HRESULT EditProvider::get_SupportedTextSelection(int* result) {
    if (!result)
        return E_POINTER;
    *result = uia::SelectionSingle;
    return S_OK;
}

HRESULT EditProvider::RangeFromAnnotation(IRawElementProviderSimple*,
                                          uia::ITextRangeProvider** result) {
    if (!result)
        return E_POINTER;
    *result = nullptr;
    return uia::kNotSupported; // the text carries no annotations
}

HRESULT EditProvider::GetCaretRange(BOOL* isActive, uia::ITextRangeProvider** result) {
    if (!isActive || !result)
        return E_POINTER;
    *result = nullptr;
    *isActive = FALSE;
    const EditState* s = State();
    if (!s)
        return uia::kElementNotAvailable;
    *isActive = GetFocus() == window_;
    return NewRangeResult(this, {s->model.caret, s->model.caret}, result);
}

// ---- The window's side ----

LRESULT EditCtl_OnGetObject(HWND window, EditState& s, WPARAM wParam, LPARAM lParam) {
    const AutomationApi& api = EditCtl_AutomationApi();
    if (static_cast<LONG>(lParam) == uia::kRootObjectId && api.returnRawElementProvider) {
        if (EditProvider* provider = EnsureProvider(window, s))
            return api.returnRawElementProvider(window, wParam, lParam, provider->Simple());
    }
    return DefWindowProcW(window, WM_GETOBJECT, wParam, lParam);
}

void EditCtl_RaiseAutomationEvent(HWND window, EditState& s, AutomationEvent event) {
    const AutomationApi& api = EditCtl_AutomationApi();
    if (!api.raiseAutomationEvent || !api.clientsAreListening || !api.clientsAreListening())
        return;
    EditProvider* provider = EnsureProvider(window, s);
    if (!provider)
        return;
    const EVENTID id = event == AutomationEvent::TextChanged        ? uia::kTextChanged
                       : event == AutomationEvent::SelectionChanged ? uia::kTextSelectionChanged
                                                                    : uia::kFocusChanged;
    api.raiseAutomationEvent(provider->Simple(), id);
}

void EditCtl_RaiseNotifyEvents(HWND window, EditState& s, EditNotify notify) {
    if (notify == EditNotify::Change)
        EditCtl_RaiseAutomationEvent(window, s, AutomationEvent::TextChanged);
    // An edit moves the caret too.
    if (notify == EditNotify::Change || notify == EditNotify::SelChange)
        EditCtl_RaiseAutomationEvent(window, s, AutomationEvent::SelectionChanged);
}

void EditCtl_ReleaseAutomation(HWND window, EditState& s) {
    // Takes over the reference the record held.
    const ComPtr<EditProvider> provider(s.attached.automation);
    if (!provider)
        return;
    s.attached.automation = nullptr;
    provider->Detach();
    const AutomationApi& api = EditCtl_AutomationApi();
    if (api.returnRawElementProvider)
        api.returnRawElementProvider(window, 0, 0, nullptr);
    if (api.disconnectProvider)
        api.disconnectProvider(provider->Simple());
}

IRawElementProviderSimple* EditCtl_AutomationProvider(HWND window) {
    EditState* s = EditCtl_State(window);
    EditProvider* provider = s ? EnsureProvider(window, *s) : nullptr;
    if (!provider)
        return nullptr;
    provider->AddRef();
    return provider->Simple();
}
