// The COM objects behind the edit control's automation element: the
// element with its text pattern, and the text ranges it hands out. Both
// reach the control's record through the window on every call, so nothing
// they hold goes stale; a range is two positions that follow the control's
// edits and are clamped on each use.
#pragma once

#include "editctl/edit_state.h"
#include "editctl/automation_text.h"
#include "editctl/uia_interfaces.h"
#include "winkit/com_object.h"

#include <new>

class EditProvider final
    : public ComObject<EditProvider, IRawElementProviderSimple, uia::ITextProvider2> {
  public:
    explicit EditProvider(HWND window) : window_(window) {}

    // The record while the window lives; null once detached.
    EditState* State() const;
    HWND Window() const { return window_; }
    void Detach() { window_ = nullptr; }
    IRawElementProviderSimple* Simple() { return this; }

    void* Interface(REFIID iid);

    HRESULT STDMETHODCALLTYPE get_ProviderOptions(ProviderOptions* result) override;
    HRESULT STDMETHODCALLTYPE GetPatternProvider(PATTERNID pattern, IUnknown** result) override;
    HRESULT STDMETHODCALLTYPE GetPropertyValue(PROPERTYID property, VARIANT* result) override;
    HRESULT STDMETHODCALLTYPE
    get_HostRawElementProvider(IRawElementProviderSimple** result) override;

    HRESULT STDMETHODCALLTYPE GetSelection(SAFEARRAY** result) override;
    HRESULT STDMETHODCALLTYPE GetVisibleRanges(SAFEARRAY** result) override;
    HRESULT STDMETHODCALLTYPE RangeFromChild(IRawElementProviderSimple* child,
                                             uia::ITextRangeProvider** result) override;
    HRESULT STDMETHODCALLTYPE RangeFromPoint(uia::Point point,
                                             uia::ITextRangeProvider** result) override;
    HRESULT STDMETHODCALLTYPE get_DocumentRange(uia::ITextRangeProvider** result) override;
    HRESULT STDMETHODCALLTYPE get_SupportedTextSelection(int* result) override;
    HRESULT STDMETHODCALLTYPE RangeFromAnnotation(IRawElementProviderSimple* annotation,
                                                  uia::ITextRangeProvider** result) override;
    HRESULT STDMETHODCALLTYPE GetCaretRange(BOOL* isActive,
                                            uia::ITextRangeProvider** result) override;

  private:
    ~EditProvider() override = default;

    HWND window_;
};

// A new range of the element over `span`, with one reference; null when out of memory.
uia::ITextRangeProvider* NewTextRange(EditProvider* owner, TextSpan span);
// A SAFEARRAY holding the one range, or null.
SAFEARRAY* RangeArray(uia::ITextRangeProvider* range);

// Runs a COM method's body: memory exhaustion becomes E_OUTOFMEMORY instead
// of unwinding into the caller's frames.
template <typename Body> HRESULT Guarded(Body&& body) noexcept {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}
