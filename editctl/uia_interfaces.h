// The parts of the UI Automation provider interface that the MinGW-w64
// headers leave out (or declare in a form C++ cannot read): the text pattern's two interfaces and
// the identifiers the edit control answers with. Values as the system defines them.
#pragma once

#include <windows.h>
// Declares FindText as a macro; included first so the method below is
// renamed the same way wherever it is declared and called.
#include <commdlg.h>
#include <ole2.h>
#include <uiautomationcore.h>

namespace uia {

constexpr GUID kTextProviderIid = {
    0x3589c92c, 0x63f3, 0x4367, {0x99, 0xbb, 0xad, 0xa6, 0x53, 0xb7, 0x7c, 0xf2}};
constexpr GUID kTextProvider2Iid = {
    0x0dc5e6ed, 0x3e16, 0x4bf1, {0x8f, 0x9a, 0xa9, 0x79, 0x87, 0x8b, 0xc1, 0x95}};
constexpr GUID kTextRangeProviderIid = {
    0x5347ad7b, 0xc355, 0x46f8, {0xaf, 0xf5, 0x90, 0x90, 0x33, 0x58, 0x2f, 0x63}};

// The object id of WM_GETOBJECT that asks for the automation element.
constexpr LONG kRootObjectId = -25;

constexpr PATTERNID kTextPattern = 10014;
constexpr PATTERNID kTextPattern2 = 10024;
constexpr PROPERTYID kControlType = 30003;
constexpr PROPERTYID kName = 30005;
constexpr PROPERTYID kHasKeyboardFocus = 30008;
constexpr PROPERTYID kIsKeyboardFocusable = 30009;
constexpr PROPERTYID kIsTextPatternAvailable = 30040;
constexpr CONTROLTYPEID kDocument = 50030;
constexpr CONTROLTYPEID kButton = 50000;
constexpr EVENTID kFocusChanged = 20005;
constexpr EVENTID kTextSelectionChanged = 20014;
constexpr EVENTID kTextChanged = 20015;
constexpr TEXTATTRIBUTEID kFontName = 40005;
constexpr TEXTATTRIBUTEID kFontSize = 40006;
constexpr TEXTATTRIBUTEID kIsReadOnly = 40015;
constexpr HRESULT kElementNotAvailable = static_cast<HRESULT>(0x80040201);
constexpr HRESULT kNotSupported = static_cast<HRESULT>(0x80040204);
constexpr HRESULT kInvalidOperation = static_cast<HRESULT>(0x80131509);

enum Endpoint { EndpointStart = 0, EndpointEnd = 1 };
enum SupportedSelection { SelectionNone = 0, SelectionSingle = 1, SelectionMultiple = 2 };

struct Point {
    double x;
    double y;
};

struct ITextRangeProvider : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Clone(ITextRangeProvider** result) = 0;
    virtual HRESULT STDMETHODCALLTYPE Compare(ITextRangeProvider* range, BOOL* result) = 0;
    virtual HRESULT STDMETHODCALLTYPE CompareEndpoints(int endpoint, ITextRangeProvider* target,
                                                       int targetEndpoint, int* result) = 0;
    virtual HRESULT STDMETHODCALLTYPE ExpandToEnclosingUnit(int unit) = 0;
    virtual HRESULT STDMETHODCALLTYPE FindAttribute(TEXTATTRIBUTEID attribute, VARIANT value,
                                                    BOOL backward, ITextRangeProvider** result) = 0;
    virtual HRESULT STDMETHODCALLTYPE FindText(BSTR text, BOOL backward, BOOL ignoreCase,
                                               ITextRangeProvider** result) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetAttributeValue(TEXTATTRIBUTEID attribute,
                                                        VARIANT* result) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetBoundingRectangles(SAFEARRAY** result) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetEnclosingElement(IRawElementProviderSimple** result) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetText(int maxLength, BSTR* result) = 0;
    virtual HRESULT STDMETHODCALLTYPE Move(int unit, int count, int* moved) = 0;
    virtual HRESULT STDMETHODCALLTYPE MoveEndpointByUnit(int endpoint, int unit, int count,
                                                         int* moved) = 0;
    virtual HRESULT STDMETHODCALLTYPE MoveEndpointByRange(int endpoint, ITextRangeProvider* target,
                                                          int targetEndpoint) = 0;
    virtual HRESULT STDMETHODCALLTYPE Select() = 0;
    virtual HRESULT STDMETHODCALLTYPE AddToSelection() = 0;
    virtual HRESULT STDMETHODCALLTYPE RemoveFromSelection() = 0;
    virtual HRESULT STDMETHODCALLTYPE ScrollIntoView(BOOL alignToTop) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetChildren(SAFEARRAY** result) = 0;
};

struct ITextProvider : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetSelection(SAFEARRAY** result) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetVisibleRanges(SAFEARRAY** result) = 0;
    virtual HRESULT STDMETHODCALLTYPE RangeFromChild(IRawElementProviderSimple* child,
                                                     ITextRangeProvider** result) = 0;
    virtual HRESULT STDMETHODCALLTYPE RangeFromPoint(Point point, ITextRangeProvider** result) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_DocumentRange(ITextRangeProvider** result) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_SupportedTextSelection(int* result) = 0;
};

struct ITextProvider2 : public ITextProvider {
    virtual HRESULT STDMETHODCALLTYPE RangeFromAnnotation(IRawElementProviderSimple* annotation,
                                                          ITextRangeProvider** result) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetCaretRange(BOOL* isActive,
                                                    ITextRangeProvider** result) = 0;
};

} // namespace uia
