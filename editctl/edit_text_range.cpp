// The text ranges of the edit control's automation element.
#include "editctl/automation_objects.h"
#include "editctl/characters.h"
#include "editctl/edit_effects.h"
#include "editctl/edit_record.h"
#include "editctl/editctl.h"
#include "editctl/text_geometry.h"
#include "editctl/text_model.h"
#include "editctl/uia_api.h"
#include "winkit/win_handles.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

// Lets a range tell its own kind among the ranges a client hands back.
constexpr GUID kOwnRangeIid = {
    0x6b1f2d64, 0x0c1e, 0x4f0a, {0x9a, 0x57, 0x3e, 0x41, 0x7d, 0x0b, 0x52, 0x18}};

bool ValidUnit(int unit) {
    return unit >= static_cast<int>(TextUnit::Character) &&
           unit <= static_cast<int>(TextUnit::Document);
}

struct FontFacts {
    std::wstring face;
    double points = 0;
};

// The face and size the control draws with, read off a device context.
FontFacts ReadFont(HWND window, const EditState& s) {
    FontFacts facts;
    const WindowDc dc(window);
    if (!dc.get())
        return facts;
    const SelectedObject font(dc.get(), s.attached.font);
    wchar_t face[LF_FACESIZE] = {};
    facts.face.assign(
        face, static_cast<size_t>(std::max(GetTextFaceW(dc.get(), LF_FACESIZE, face), 1) - 1));
    TEXTMETRICW metrics = {};
    if (GetTextMetricsW(dc.get(), &metrics)) {
        const double pixels = metrics.tmHeight - metrics.tmInternalLeading;
        facts.points = std::round(pixels * 72.0 / GetDeviceCaps(dc.get(), LOGPIXELSY) * 2) / 2;
    }
    return facts;
}

class TextRange final : public ComObject<TextRange, uia::ITextRangeProvider> {
  public:
    TextRange(EditProvider* owner, TextSpan span)
        : owner_(ComPtr<EditProvider>::Share(owner)), span_(span) {}

    // Has the span follow the control's edits; false when out of memory.
    bool Follow() {
        EditState* s = owner_->State();
        if (!s)
            return true;
        try {
            s->model.liveSpans.keep(&span_);
        } catch (const std::bad_alloc&) {
            return false;
        }
        following_ = true;
        return true;
    }

    void* Interface(REFIID iid) {
        if (iid == uia::kTextRangeProviderIid || iid == kOwnRangeIid)
            return static_cast<uia::ITextRangeProvider*>(this);
        return nullptr;
    }

    HRESULT STDMETHODCALLTYPE Clone(uia::ITextRangeProvider** result) override {
        return Answer(result, [&](const EditState&) { return Range(span_, result); });
    }

    HRESULT STDMETHODCALLTYPE Compare(uia::ITextRangeProvider* range, BOOL* result) override {
        return Answer(result, [&](const EditState& s) {
            const TextRange* other = Own(range);
            if (!other)
                return E_INVALIDARG;
            *result = ClampSpan(s, span_) == ClampSpan(s, other->span_);
            return S_OK;
        });
    }

    HRESULT STDMETHODCALLTYPE CompareEndpoints(int endpoint, uia::ITextRangeProvider* target,
                                               int targetEndpoint, int* result) override {
        return Answer(result, [&](const EditState& s) {
            const TextRange* other = Own(target);
            if (!other)
                return E_INVALIDARG;
            *result = End(s, endpoint) - other->End(s, targetEndpoint);
            return S_OK;
        });
    }

    HRESULT STDMETHODCALLTYPE ExpandToEnclosingUnit(int unit) override {
        return Act([&](const EditState& s) {
            if (!ValidUnit(unit))
                return E_INVALIDARG;
            span_ = ExpandToUnit(s, span_, static_cast<TextUnit>(unit));
            return S_OK;
        });
    }

    HRESULT STDMETHODCALLTYPE FindAttribute(TEXTATTRIBUTEID attribute, VARIANT value, BOOL,
                                            uia::ITextRangeProvider** result) override {
        return Answer(result, [&](const EditState& s) {
            VARIANT ours;
            VariantInit(&ours);
            HRESULT hr = AttributeValue(s, attribute, &ours);
            // One format covers all the text: the whole range matches or none of it.
            if (SUCCEEDED(hr) && ours.vt != VT_UNKNOWN &&
                VarCmp(&ours, &value, LOCALE_USER_DEFAULT, 0) == static_cast<HRESULT>(VARCMP_EQ))
                hr = Range(span_, result);
            VariantClear(&ours);
            return hr;
        });
    }

    HRESULT STDMETHODCALLTYPE FindText(BSTR text, BOOL backward, BOOL ignoreCase,
                                       uia::ITextRangeProvider** result) override {
        return Answer(result, [&](const EditState& s) {
            if (!text)
                return E_INVALIDARG;
            const std::u16string_view pattern(reinterpret_cast<const char16_t*>(text),
                                              SysStringLen(text));
            const TextSpan found = FindInSpan(s, span_, pattern, backward, ignoreCase);
            return found.start < 0 ? S_OK : Range(found, result);
        });
    }

    HRESULT STDMETHODCALLTYPE GetAttributeValue(TEXTATTRIBUTEID attribute,
                                                VARIANT* result) override {
        if (result)
            VariantInit(result);
        return Answer(result,
                      [&](const EditState& s) { return AttributeValue(s, attribute, result); });
    }

    HRESULT STDMETHODCALLTYPE GetBoundingRectangles(SAFEARRAY** result) override {
        return Answer(result, [&](const EditState& s) { return Rectangles(s, result); });
    }

    HRESULT STDMETHODCALLTYPE GetEnclosingElement(IRawElementProviderSimple** result) override {
        return Answer(result, [&](const EditState&) {
            owner_->AddRef();
            *result = owner_->Simple();
            return S_OK;
        });
    }

    // Copies only the units asked for, straight into the returned string.
    HRESULT STDMETHODCALLTYPE GetText(int maxLength, BSTR* result) override {
        return Answer(result, [&](const EditState& s) {
            if (maxLength < -1)
                return E_INVALIDARG;
            const TextSpan span = ClampSpan(s, span_);
            int32_t count = span.end - span.start;
            // A limit inside a character leaves the whole character out.
            if (maxLength >= 0 && maxLength < count)
                count =
                    std::max(CharStopAtOrBefore(s.model.text, span.start + maxLength), span.start) -
                    span.start;
            *result = SysAllocStringLen(nullptr, static_cast<UINT>(count));
            if (!*result)
                return E_OUTOFMEMORY;
            s.model.text.copy(static_cast<size_t>(span.start), static_cast<size_t>(count),
                              reinterpret_cast<char16_t*>(*result));
            return S_OK;
        });
    }

    HRESULT STDMETHODCALLTYPE Move(int unit, int count, int* moved) override {
        return Answer(moved, [&](const EditState& s) {
            if (!ValidUnit(unit))
                return E_INVALIDARG;
            *moved = MoveSpanByUnit(s, span_, static_cast<TextUnit>(unit), count);
            return S_OK;
        });
    }

    HRESULT STDMETHODCALLTYPE MoveEndpointByUnit(int endpoint, int unit, int count,
                                                 int* moved) override {
        return Answer(moved, [&](const EditState& s) {
            if (!ValidUnit(unit))
                return E_INVALIDARG;
            int32_t position = End(s, endpoint);
            *moved = MovePositionByUnit(s, position, static_cast<TextUnit>(unit), count);
            SetEnd(s, endpoint, position);
            return S_OK;
        });
    }

    HRESULT STDMETHODCALLTYPE MoveEndpointByRange(int endpoint, uia::ITextRangeProvider* target,
                                                  int targetEndpoint) override {
        return Act([&](const EditState& s) {
            const TextRange* other = Own(target);
            if (!other)
                return E_INVALIDARG;
            SetEnd(s, endpoint, other->End(s, targetEndpoint));
            return S_OK;
        });
    }

    HRESULT STDMETHODCALLTYPE Select() override {
        return Act([&](const EditState& s) {
            const TextSpan span = ClampSpan(s, span_);
            EditCtl_SetSelection(owner_->Window(), span.start, span.end);
            return S_OK;
        });
    }

    HRESULT STDMETHODCALLTYPE AddToSelection() override { return uia::kInvalidOperation; }
    HRESULT STDMETHODCALLTYPE RemoveFromSelection() override { return uia::kInvalidOperation; }

    HRESULT STDMETHODCALLTYPE ScrollIntoView(BOOL alignToTop) override {
        EditState* s = owner_->State();
        if (!s)
            return uia::kElementNotAvailable;
        ScrollSpanIntoView(*s, span_, alignToTop);
        EditCtl_ApplyEffects(owner_->Window(), *s);
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE GetChildren(SAFEARRAY** result) override {
        return Answer(result, [&](const EditState&) {
            *result = SafeArrayCreateVector(VT_UNKNOWN, 0, 0);
            return *result ? S_OK : E_OUTOFMEMORY;
        });
    }

  private:
    ~TextRange() override {
        if (EditState* s = owner_->State(); s && following_)
            s->model.liveSpans.drop(&span_);
    }

    // Runs a query that writes *result: checks the pointer and that the
    // control still exists.
    template <typename T, typename Body> HRESULT Answer(T* result, Body&& body) {
        if (!result)
            return E_POINTER;
        *result = T{};
        return Act(body);
    }
    template <typename Body> HRESULT Act(Body&& body) {
        const EditState* s = owner_->State();
        if (!s)
            return uia::kElementNotAvailable;
        return Guarded([&] { return body(*s); });
    }

    // One of our own ranges over the same element, or null.
    const TextRange* Own(uia::ITextRangeProvider* range) const {
        void* own = nullptr;
        if (!range || FAILED(range->QueryInterface(kOwnRangeIid, &own)))
            return nullptr;
        // The caller's reference keeps it alive once this one is given back.
        const ComPtr<TextRange> other(
            static_cast<TextRange*>(static_cast<uia::ITextRangeProvider*>(own)));
        return other->owner_.get() == owner_.get() ? other.get() : nullptr;
    }

    int32_t End(const EditState& s, int endpoint) const {
        const TextSpan span = ClampSpan(s, span_);
        return endpoint == uia::EndpointStart ? span.start : span.end;
    }
    // Moves one end; crossing the other end drags it along.
    void SetEnd(const EditState& s, int endpoint, int32_t position) {
        span_ = ClampSpan(s, span_);
        if (endpoint == uia::EndpointStart) {
            span_.start = position;
            span_.end = std::max(span_.end, position);
        } else {
            span_.end = position;
            span_.start = std::min(span_.start, position);
        }
    }

    HRESULT Range(TextSpan span, uia::ITextRangeProvider** result) const {
        *result = NewTextRange(owner_.get(), span);
        return *result ? S_OK : E_OUTOFMEMORY;
    }

    HRESULT AttributeValue(const EditState& s, TEXTATTRIBUTEID attribute, VARIANT* result) const {
        switch (attribute) {
        case uia::kIsReadOnly:
            result->vt = VT_BOOL;
            result->boolVal = s.history.readOnly ? VARIANT_TRUE : VARIANT_FALSE;
            return S_OK;
        case uia::kFontName: {
            const FontFacts font = ReadFont(owner_->Window(), s);
            result->vt = VT_BSTR;
            result->bstrVal =
                SysAllocStringLen(font.face.data(), static_cast<UINT>(font.face.size()));
            return result->bstrVal ? S_OK : E_OUTOFMEMORY;
        }
        case uia::kFontSize:
            result->vt = VT_R8;
            result->dblVal = ReadFont(owner_->Window(), s).points;
            return S_OK;
        default:
            return NotSupported(result);
        }
    }

    static HRESULT NotSupported(VARIANT* result) {
        const AutomationApi& api = EditCtl_AutomationApi();
        IUnknown* reserved = nullptr;
        if (api.getReservedNotSupportedValue &&
            SUCCEEDED(api.getReservedNotSupportedValue(&reserved)) && reserved) {
            result->vt = VT_UNKNOWN;
            result->punkVal = reserved;
        }
        return S_OK;
    }

    // Left, top, width and height of each row's rectangle, in screen pixels.
    HRESULT Rectangles(const EditState& s, SAFEARRAY** result) const {
        const std::vector<PixelRect> rects = SpanRowRects(s, span_);
        *result = SafeArrayCreateVector(VT_R8, 0, static_cast<ULONG>(rects.size() * 4));
        if (!*result)
            return E_OUTOFMEMORY;
        POINT origin = {0, 0};
        ClientToScreen(owner_->Window(), &origin);
        double* values = nullptr;
        if (FAILED(SafeArrayAccessData(*result, reinterpret_cast<void**>(&values)))) {
            SafeArrayDestroy(*result);
            *result = nullptr;
            return E_OUTOFMEMORY;
        }
        for (const PixelRect& r : rects) {
            *values++ = origin.x + r.left;
            *values++ = origin.y + r.top;
            *values++ = r.right - r.left;
            *values++ = r.bottom - r.top;
        }
        SafeArrayUnaccessData(*result);
        return S_OK;
    }

    ComPtr<EditProvider> owner_;
    TextSpan span_;
    bool following_ = false;
};

} // namespace

uia::ITextRangeProvider* NewTextRange(EditProvider* owner, TextSpan span) {
    ComPtr<TextRange> range(new (std::nothrow) TextRange(owner, span));
    if (!range || !range->Follow())
        return nullptr;
    return range.release();
}

SAFEARRAY* RangeArray(uia::ITextRangeProvider* range) {
    SAFEARRAY* array = SafeArrayCreateVector(VT_UNKNOWN, 0, 1);
    LONG index = 0;
    if (array && FAILED(SafeArrayPutElement(array, &index, static_cast<IUnknown*>(range)))) {
        SafeArrayDestroy(array);
        return nullptr;
    }
    return array;
}
