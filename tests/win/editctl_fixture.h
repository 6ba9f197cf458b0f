// Edit controls under a test parent window that records every WM_COMMAND.
// Cell coordinates are computed from the metrics of the font the tests set.
#pragma once

#include "editctl/editctl.h"
#include "winkit/win_handles.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

struct Command {
    WPARAM wParam;
    LPARAM lParam;
};

class EditCtlTest : public ::testing::Test {
  protected:
    static constexpr int kId = 101;
    static constexpr int kMargin = 4;

    void SetUp() override;
    void TearDown() override;

    // Replaces the text and forgets the notifications that came before.
    void Reset(const std::u16string& text);
    // Notification codes the control sent, in order.
    std::vector<WORD> Codes() const;
    std::vector<Command>& Received() const;
    void ClearReceived() const;

    void Key(WPARAM virtualKey, bool shift = false, bool ctrl = false) const;
    void Type(const std::u16string& units) const;
    // Client point inside cell (column, visual row from the top of the text).
    POINT Cell(int column, int row, int lines = 1) const;
    void Press(POINT at, WPARAM flags = 0) const;
    void DoubleClick(POINT at) const;
    void Release(POINT at) const;
    void Click(POINT at, WPARAM flags = 0) const;

    int32_t Anchor() const;
    int32_t Caret() const;
    std::u16string Text() const { return EditCtl_GetText(edit); }
    int Gutter(int lines) const;
    RECT Client() const;

    HWND parent = nullptr;
    HWND edit = nullptr;
    GdiObject<HFONT> font;
    int charWidth = 0;
    int lineHeight = 0;
};

// The control's client area as its paint code draws it into a memory bitmap.
class Snapshot {
  public:
    explicit Snapshot(HWND window);
    COLORREF At(int x, int y) const { return GetPixel(memory_.get(), x, y); }
    // Whether any pixel in [left, right) x [top, bottom) has the colour.
    bool Any(int left, int top, int right, int bottom, COLORREF colour) const;

  private:
    MemoryDc memory_;
    GdiObject<HBITMAP> bitmap_;
    SelectedObject selected_;
};

// Puts Unicode text on the clipboard (empty: the clipboard is only emptied)
// and reads it back; the test process owns it meanwhile.
bool SetClipboardText(const std::u16string& text, bool emptyOnly = false);
std::u16string ClipboardText();
