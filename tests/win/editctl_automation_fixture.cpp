#include "tests/win/editctl_automation_fixture.h"

#include "editctl/edit_automation.h"

namespace {

template <typename Fn> void Load(HMODULE module, const char* name, Fn& out) {
    out = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

Ref<uia::ITextRangeProvider> FirstRange(SAFEARRAY* array) {
    Ref<uia::ITextRangeProvider> range;
    LONG index = 0;
    ComPtr<IUnknown> element;
    if (array && SUCCEEDED(SafeArrayGetElement(array, &index, element.Receive())) && element)
        element->QueryInterface(uia::kTextRangeProviderIid,
                                reinterpret_cast<void**>(range.Receive()));
    if (array)
        SafeArrayDestroy(array);
    return range;
}

} // namespace

void AutomationTest::SetUp() {
    EditCtlTest::SetUp();
    Ref<IRawElementProviderSimple> provider(EditCtl_AutomationProvider(edit));
    ASSERT_NE(provider.get(), nullptr);
    Ref<IUnknown> unknown;
    ASSERT_EQ(provider->GetPatternProvider(uia::kTextPattern, unknown.Receive()), S_OK);
    ASSERT_NE(unknown.get(), nullptr);
    ASSERT_EQ(unknown->QueryInterface(uia::kTextProviderIid,
                                      reinterpret_cast<void**>(pattern_.Receive())),
              S_OK);
}

Ref<uia::ITextRangeProvider> AutomationTest::DocumentRange() const {
    Ref<uia::ITextRangeProvider> range;
    EXPECT_EQ(pattern_->get_DocumentRange(range.Receive()), S_OK);
    return range;
}

Ref<uia::ITextRangeProvider> AutomationTest::SelectionRange() const {
    SAFEARRAY* array = nullptr;
    EXPECT_EQ(pattern_->GetSelection(&array), S_OK);
    EXPECT_EQ(array ? array->rgsabound[0].cElements : 0u, 1u);
    return FirstRange(array);
}

std::u16string AutomationTest::Read(uia::ITextRangeProvider* range, int maxLength) {
    BSTR text = nullptr;
    EXPECT_EQ(range->GetText(maxLength, &text), S_OK);
    std::u16string result(reinterpret_cast<const char16_t*>(text), SysStringLen(text));
    SysFreeString(text);
    return result;
}

std::vector<RECT> AutomationTest::Rectangles(uia::ITextRangeProvider* range) const {
    SAFEARRAY* array = nullptr;
    EXPECT_EQ(range->GetBoundingRectangles(&array), S_OK);
    std::vector<RECT> rects;
    double* values = nullptr;
    if (!array || FAILED(SafeArrayAccessData(array, reinterpret_cast<void**>(&values))))
        return rects;
    POINT origin = {0, 0};
    ClientToScreen(edit, &origin);
    for (ULONG i = 0; i + 4 <= array->rgsabound[0].cElements; i += 4) {
        const LONG left = static_cast<LONG>(values[i]) - origin.x;
        const LONG top = static_cast<LONG>(values[i + 1]) - origin.y;
        rects.push_back({left, top, left + static_cast<LONG>(values[i + 2]),
                         top + static_cast<LONG>(values[i + 3])});
    }
    SafeArrayUnaccessData(array);
    SafeArrayDestroy(array);
    return rects;
}

UiaClient::UiaClient() {
    HMODULE module = LoadLibraryW(L"uiautomationcore.dll");
    if (!module)
        return;
    Load(module, "UiaNodeFromHandle", nodeFromHandle);
    Load(module, "UiaGetPropertyValue", getPropertyValue);
    Load(module, "UiaNodeRelease", nodeRelease);
}

ElementFacts ReadElement(const UiaClient& client, HWND window) {
    ElementFacts facts;
    HUIANODE node = nullptr;
    if (!client.nodeFromHandle || !client.getPropertyValue || !client.nodeRelease)
        return facts;
    facts.node = client.nodeFromHandle(window, &node);
    if (FAILED(facts.node))
        return facts;
    VARIANT v;
    VariantInit(&v);
    if (SUCCEEDED(client.getPropertyValue(node, uia::kName, &v)) && v.vt == VT_BSTR)
        facts.name.assign(v.bstrVal, SysStringLen(v.bstrVal));
    VariantClear(&v);
    if (SUCCEEDED(client.getPropertyValue(node, uia::kControlType, &v)) && v.vt == VT_I4)
        facts.controlType = v.lVal;
    VariantClear(&v);
    if (SUCCEEDED(client.getPropertyValue(node, uia::kHasKeyboardFocus, &v)) && v.vt == VT_BOOL)
        facts.focused = v.boolVal == VARIANT_TRUE;
    VariantClear(&v);
    client.nodeRelease(node);
    return facts;
}
