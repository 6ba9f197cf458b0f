#include "tests/win/editctl_fixture.h"

#include <cstring>

namespace {

std::vector<Command> received;

LRESULT CALLBACK RecordingParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND) {
        received.push_back({wParam, lParam});
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// Other suites in this process may have registered the control's class first.
void RegisterClassesOnce() {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    if (!GetClassInfoExW(instance, L"EditCtlTestParent", &wc)) {
        wc.lpfnWndProc = RecordingParentProc;
        wc.hInstance = instance;
        wc.lpszClassName = L"EditCtlTestParent";
        ASSERT_TRUE(RegisterClassExW(&wc));
    }
    if (!GetClassInfoExW(instance, L"CustomEditControl", &wc)) {
        ASSERT_TRUE(EditCtl_RegisterClass(instance));
    }
}

void SetModifiers(bool shift, bool ctrl) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    keys[VK_CONTROL] = ctrl ? 0x80 : 0;
    SetKeyboardState(keys);
}

LPARAM PointParam(POINT at) {
    return MAKELPARAM(static_cast<WORD>(at.x), static_cast<WORD>(at.y));
}

} // namespace

void EditCtlTest::SetUp() {
    RegisterClassesOnce();
    HINSTANCE instance = GetModuleHandleW(nullptr);
    parent =
        CreateWindowExW(0, L"EditCtlTestParent", L"edit test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
                        0, 700, 500, nullptr, nullptr, instance, nullptr);
    ASSERT_NE(parent, nullptr);
    edit = EditCtl_Create(parent, 0, 0, 600, 400, kId, instance);
    ASSERT_NE(edit, nullptr);
    // Without antialiasing, glyph pixels carry exactly the text colour.
    font.reset(CreateFontW(-13, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                           OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY,
                           FIXED_PITCH | FF_MODERN, L"Courier New"));
    ASSERT_NE(font.get(), nullptr);
    EditCtl_SetFont(edit, font.get());
    TEXTMETRICW metrics = {};
    {
        const WindowDc dc(edit);
        const SelectedObject selected(dc.get(), font.get());
        GetTextMetricsW(dc.get(), &metrics);
    }
    charWidth = metrics.tmAveCharWidth;
    lineHeight = metrics.tmHeight;
    ASSERT_GT(charWidth, 0);
    ASSERT_GT(lineHeight, 0);
    received.clear();
}

void EditCtlTest::TearDown() {
    SetModifiers(false, false);
    if (GetCapture())
        ReleaseCapture();
    DestroyWindow(parent);
    font.reset();
    received.clear();
}

void EditCtlTest::Reset(const std::u16string& text) {
    EditCtl_SetText(edit, text);
    received.clear();
}

std::vector<WORD> EditCtlTest::Codes() const {
    std::vector<WORD> codes;
    for (const Command& c : received) {
        EXPECT_EQ(LOWORD(c.wParam), kId);
        EXPECT_EQ(reinterpret_cast<HWND>(c.lParam), edit);
        codes.push_back(HIWORD(c.wParam));
    }
    return codes;
}

std::vector<Command>& EditCtlTest::Received() const {
    return received;
}

void EditCtlTest::ClearReceived() const {
    received.clear();
}

void EditCtlTest::Key(WPARAM virtualKey, bool shift, bool ctrl) const {
    SetModifiers(shift, ctrl);
    SendMessageW(edit, WM_KEYDOWN, virtualKey, 1);
    SetModifiers(false, false);
}

void EditCtlTest::Type(const std::u16string& units) const {
    for (const char16_t unit : units)
        SendMessageW(edit, WM_CHAR, unit, 1);
}

int EditCtlTest::Gutter(int lines) const {
    int digits = 1;
    for (int n = lines; n >= 10; n /= 10)
        ++digits;
    return (digits < 2 ? 2 : digits) * charWidth + 16;
}

POINT EditCtlTest::Cell(int column, int row, int lines) const {
    return {Gutter(lines) + kMargin + column * charWidth + charWidth / 2,
            kMargin + row * lineHeight + lineHeight / 2};
}

void EditCtlTest::Press(POINT at, WPARAM flags) const {
    SendMessageW(edit, WM_LBUTTONDOWN, MK_LBUTTON | flags, PointParam(at));
}

void EditCtlTest::DoubleClick(POINT at) const {
    SendMessageW(edit, WM_LBUTTONDBLCLK, MK_LBUTTON, PointParam(at));
}

void EditCtlTest::Release(POINT at) const {
    SendMessageW(edit, WM_LBUTTONUP, 0, PointParam(at));
}

void EditCtlTest::Click(POINT at, WPARAM flags) const {
    Press(at, flags);
    Release(at);
}

int32_t EditCtlTest::Anchor() const {
    int32_t anchor = -1;
    EditCtl_GetSelection(edit, &anchor, nullptr);
    return anchor;
}

int32_t EditCtlTest::Caret() const {
    int32_t caret = -1;
    EditCtl_GetSelection(edit, nullptr, &caret);
    return caret;
}

RECT EditCtlTest::Client() const {
    RECT client = {};
    GetClientRect(edit, &client);
    return client;
}

namespace {

HBITMAP ClientBitmap(HWND window) {
    RECT client = {};
    GetClientRect(window, &client);
    const WindowDc screen(window);
    return CreateCompatibleBitmap(screen.get(), client.right, client.bottom);
}

} // namespace

Snapshot::Snapshot(HWND window)
    : memory_(CreateCompatibleDC(nullptr)), bitmap_(ClientBitmap(window)),
      selected_(memory_.get(), bitmap_.get()) {
    SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory_.get()), PRF_CLIENT);
}

bool Snapshot::Any(int left, int top, int right, int bottom, COLORREF colour) const {
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            if (At(x, y) == colour)
                return true;
    return false;
}

bool SetClipboardText(const std::u16string& text, bool emptyOnly) {
    if (!OpenClipboard(nullptr))
        return false;
    EmptyClipboard();
    bool done = true;
    if (!emptyOnly) {
        const size_t bytes = (text.size() + 1) * sizeof(char16_t);
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes);
        std::memcpy(GlobalLock(block), text.c_str(), bytes);
        GlobalUnlock(block);
        done = SetClipboardData(CF_UNICODETEXT, block) != nullptr;
    }
    CloseClipboard();
    return done;
}

std::u16string ClipboardText() {
    if (!OpenClipboard(nullptr))
        return u"<not opened>";
    std::u16string text = u"<no text>";
    if (HANDLE block = GetClipboardData(CF_UNICODETEXT)) {
        text = static_cast<const char16_t*>(GlobalLock(block));
        GlobalUnlock(block);
    }
    CloseClipboard();
    return text;
}
