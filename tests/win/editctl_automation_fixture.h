// The edit control's automation element, reached through the control and
// through Wine's own UI Automation client where that client works: Wine 8
// answers nodes and properties, but its pattern functions are unimplemented
// stubs that end the process, so the text pattern is driven directly.
#pragma once

#include "editctl/uia_interfaces.h"
#include "tests/win/editctl_fixture.h"
#include "winkit/win_handles.h"

#include <string>
#include <vector>

template <typename T> using Ref = ComPtr<T>;

class AutomationTest : public EditCtlTest {
  protected:
    void SetUp() override;

    Ref<uia::ITextProvider>& Pattern() { return pattern_; }
    Ref<uia::ITextRangeProvider> DocumentRange() const;
    Ref<uia::ITextRangeProvider> SelectionRange() const;
    static std::u16string Read(uia::ITextRangeProvider* range, int maxLength = -1);
    // Each rectangle as client left, top, right, bottom.
    std::vector<RECT> Rectangles(uia::ITextRangeProvider* range) const;

  private:
    Ref<uia::ITextProvider> pattern_;
};

// The client's node handle, opaque here.
using HUIANODE = void*;

// The client functions of Wine's uiautomationcore, loaded by name.
struct UiaClient {
    UiaClient();
    HRESULT(WINAPI* nodeFromHandle)(HWND, HUIANODE*) = nullptr;
    HRESULT(WINAPI* getPropertyValue)(HUIANODE, PROPERTYID, VARIANT*) = nullptr;
    BOOL(WINAPI* nodeRelease)(HUIANODE) = nullptr;
};

// What a screen reader learns of a window through the client: its name and
// control type; a failed step leaves its HRESULT.
struct ElementFacts {
    HRESULT node = E_FAIL;
    std::wstring name;
    int controlType = 0;
    bool focused = false;
};
ElementFacts ReadElement(const UiaClient& client, HWND window);
