// The owner-drawn tab strip: colours and outline by pixels, and clicks on
// the close glyphs.
#include "tests/win/app_window_fixture.h"

#include "docs/closing.h"
#include "docs/tab_strip.h"
#include "docs/tabs.h"
#include "tests/win/high_contrast_seam.h"
#include "winkit/command_ids.h"
#include "winkit/win_handles.h"

namespace {

constexpr COLORREF kSelectedFill = RGB(220, 220, 220);
constexpr COLORREF kOtherFill = RGB(245, 245, 245);
constexpr COLORREF kSelectedOutline = RGB(120, 120, 120);
constexpr COLORREF kOtherOutline = RGB(200, 200, 200);

HBITMAP ScreenBitmap(int width, int height) {
    const WindowDc screen(nullptr);
    return CreateCompatibleBitmap(screen.get(), width, height);
}

// Paints one item into a memory bitmap that starts out blue.
class ItemCanvas {
  public:
    ItemCanvas(int width, int height)
        : dc_(CreateCompatibleDC(nullptr)), bitmap_(ScreenBitmap(width, height)),
          selected_(dc_.get(), bitmap_.get()) {
        const RECT all = {0, 0, width, height};
        const GdiObject<HBRUSH> blue(CreateSolidBrush(RGB(0, 0, 255)));
        FillRect(dc_.get(), &all, blue.get());
    }
    void Draw(MainWindow& mw, int index, RECT item) {
        DRAWITEMSTRUCT d = {};
        d.CtlType = ODT_TAB;
        d.itemID = static_cast<UINT>(index);
        d.hwndItem = mw.tabControl;
        d.hDC = dc_.get();
        d.rcItem = item;
        TabStrip_DrawItem(mw, d);
    }
    COLORREF At(int x, int y) const { return GetPixel(dc_.get(), x, y); }
    bool AnyIn(RECT r, COLORREF color) const {
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                if (At(x, y) == color)
                    return true;
        return false;
    }

  private:
    MemoryDc dc_;
    GdiObject<HBITMAP> bitmap_;
    SelectedObject selected_;
};

// Wholly in view: an item scrolled past has no rectangle under Wine and lies
// left of the client area under Windows.
bool InView(HWND tabs, int index, int room) {
    RECT item = {};
    return SendMessageW(tabs, TCM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&item)) &&
           item.left >= 0 && item.right > item.left && item.right <= room;
}

// Where a child window sits in its parent's client area.
RECT PlacedIn(HWND child, HWND parent) {
    RECT r = {};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

} // namespace

using TabStripTest = MainWindowTest;

TEST_F(TabStripTest, SelectedAndOtherTabsHaveTheirColoursAndOutlines) {
    Create();
    Command(IDM_FILE_NEW); // tab 1 selected, tab 0 not
    MainWindow& mw = Record();
    ItemCanvas canvas(130, 30);

    canvas.Draw(mw, 1, {0, 0, 120, 24});
    EXPECT_EQ(canvas.At(5, 12), kSelectedFill);
    EXPECT_EQ(canvas.At(60, 0), kSelectedOutline);   // top
    EXPECT_EQ(canvas.At(0, 12), kSelectedOutline);   // left
    EXPECT_EQ(canvas.At(119, 12), kSelectedOutline); // right
    EXPECT_EQ(canvas.At(60, 23), kSelectedOutline);  // base line
    EXPECT_EQ(canvas.At(120, 12), RGB(0, 0, 255));   // nothing outside the item
    EXPECT_EQ(canvas.At(60, 24), RGB(0, 0, 255));
    EXPECT_TRUE(canvas.AnyIn({98, 4, 112, 20}, RGB(0, 0, 0))); // the glyph
    EXPECT_TRUE(canvas.AnyIn({10, 2, 92, 22}, RGB(0, 0, 0)));  // the caption
    EXPECT_FALSE(canvas.AnyIn({10, 2, 112, 22}, RGB(80, 80, 80)));

    canvas.Draw(mw, 0, {0, 0, 120, 24});
    EXPECT_EQ(canvas.At(5, 12), kOtherFill);
    EXPECT_EQ(canvas.At(60, 0), kOtherFill); // no top, left or right line
    EXPECT_EQ(canvas.At(0, 12), kOtherFill);
    EXPECT_EQ(canvas.At(119, 12), kOtherFill);
    EXPECT_EQ(canvas.At(60, 23), kOtherOutline);
    EXPECT_TRUE(canvas.AnyIn({98, 4, 112, 20}, RGB(80, 80, 80)));
    EXPECT_FALSE(canvas.AnyIn({10, 2, 112, 22}, RGB(0, 0, 0)));

    // An item the documents do not have paints nothing.
    ItemCanvas untouched(130, 30);
    untouched.Draw(mw, 2, {0, 0, 120, 24});
    untouched.Draw(mw, -1, {0, 0, 120, 24});
    EXPECT_EQ(untouched.At(5, 12), RGB(0, 0, 255));
}

TEST_F(TabStripTest, HighContrastTabsUseTheSystemColours) {
    const HighContrastSeam seam(true);
    Create();
    Command(IDM_FILE_NEW);
    MainWindow& mw = Record();
    ItemCanvas canvas(130, 30);
    for (const int item : {1, 0}) {
        const bool selected = item == 1;
        canvas.Draw(mw, item, {0, 0, 120, 24});
        const COLORREF text = FakeSystemColor(selected ? COLOR_WINDOWTEXT : COLOR_BTNTEXT);
        EXPECT_EQ(canvas.At(5, 12), FakeSystemColor(selected ? COLOR_WINDOW : COLOR_BTNFACE));
        EXPECT_EQ(canvas.At(60, 23), text);                // base line
        EXPECT_TRUE(canvas.AnyIn({98, 4, 112, 20}, text)); // the close glyph
        EXPECT_TRUE(canvas.AnyIn({10, 2, 92, 22}, text));  // the caption
    }
}

TEST_F(TabStripTest, TheStripAsksTheMainWindowToPaintItsItems) {
    Create();
    MainWindow& mw = Record();
    RECT item = {};
    SendMessageW(mw.tabControl, TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item));
    RECT strip = {};
    GetClientRect(mw.tabControl, &strip);
    const MemoryDc memory(CreateCompatibleDC(nullptr));
    const GdiObject<HBITMAP> bitmap(ScreenBitmap(strip.right, strip.bottom));
    const SelectedObject selected(memory.get(), bitmap.get());
    HDC dc = memory.get();
    SendMessageW(mw.tabControl, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    SendMessageW(mw.tabControl, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    // Right of the only tab, the strip is white; the tab itself is grey.
    EXPECT_EQ(GetPixel(dc, strip.right - 40, strip.bottom / 2), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(dc, item.left + 4, (item.top + item.bottom) / 2), kSelectedFill);
}

TEST_F(TabStripTest, ClickOnABackgroundTabsGlyphClosesThatTab) {
    Create();
    answer_ = IDNO;
    Command(IDM_FILE_NEW);
    Command(IDM_FILE_NEW);
    MainWindow& mw = Record();
    HWND first = mw.documents[0].editWindow;
    HWND second = mw.documents[1].editWindow;
    HWND third = mw.documents[2].editWindow;
    ASSERT_EQ(mw.activeIndex, 2);

    ClickAt(mw.tabControl, CloseGlyphCentre(mw.tabControl, 0));
    EXPECT_FALSE(IsWindow(first));
    ASSERT_EQ(mw.documents.size(), 2u);
    EXPECT_EQ(TabCount(), 2);
    EXPECT_EQ(mw.documents[0].editWindow, second);
    EXPECT_EQ(mw.activeIndex, 0); // it was made active to close it
    EXPECT_EQ(mw.activeEdit, second);
    EXPECT_TRUE(messages_.empty());

    // Left of the glyph a click selects and activates the tab.
    RECT item = {};
    SendMessageW(mw.tabControl, TCM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&item));
    ClickAt(mw.tabControl, {item.left + 12, (item.top + item.bottom) / 2});
    EXPECT_EQ(mw.activeIndex, 1);
    EXPECT_EQ(mw.activeEdit, third);
    EXPECT_EQ(mw.documents.size(), 2u);

    // A modified background tab is made active for its prompt; Cancel keeps it.
    Type(L'm');
    MainWnd_ActivateTab(mw, window_, 0);
    SendMessageW(mw.tabControl, TCM_SETCURSEL, 0, 0);
    answer_ = IDCANCEL;
    ClickAt(mw.tabControl, CloseGlyphCentre(mw.tabControl, 1));
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(mw.documents.size(), 2u);
    EXPECT_EQ(mw.activeIndex, 1);
    EXPECT_EQ(SendMessageW(mw.tabControl, TCM_GETCURSEL, 0, 0), 1);
    EXPECT_TRUE(IsWindow(third));
}

TEST_F(TabStripTest, AfterClosingManyTabsTheStripShowsAsManyAsFit) {
    Create(800, 600);
    MainWindow& mw = Record();
    for (int i = 1; i < 40; ++i)
        Command(IDM_FILE_NEW);
    HWND arrows = FindWindowExW(mw.tabControl, nullptr, UPDOWN_CLASSW, nullptr);
    ASSERT_NE(arrows, nullptr);
    // The arrows sit left of the close button, never under it.
    const RECT button = PlacedIn(mw.closeButton, window_);
    const RECT arrowsRect = PlacedIn(arrows, window_);
    EXPECT_LE(arrowsRect.right, button.left);
    EXPECT_LE(PlacedIn(mw.tabControl, window_).right, button.left);

    // Closing the last tab again and again: the tabs before it come into
    // view, rather than leaving it alone in the strip.
    for (int i = 0; i < 30; ++i)
        MainWnd_CloseTab(mw, window_, mw.activeIndex);
    ASSERT_EQ(TabCount(), 10);
    RECT client = {};
    GetClientRect(mw.tabControl, &client);
    const int room = client.right - (arrowsRect.right - arrowsRect.left);
    const int shown = room / 120;
    ASSERT_LT(shown, 10);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(InView(mw.tabControl, i, room), i >= 10 - shown) << i;

    // Few enough to fit: all of them, from the first.
    for (int i = 0; i < 7; ++i)
        MainWnd_CloseTab(mw, window_, mw.activeIndex);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(InView(mw.tabControl, i, client.right)) << i;
}
