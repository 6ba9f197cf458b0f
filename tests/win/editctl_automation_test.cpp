#include "tests/win/editctl_automation_fixture.h"

#include "docs/main_window.h"
#include "editctl/edit_automation.h"
#include "editctl/edit_record.h"
#include "editctl/uia_api.h"
#include "tests/win/app_window_fixture.h"

#include <psapi.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kCharacter = 0;
constexpr int kWord = 2;
constexpr int kLine = 3;
constexpr int kParagraph = 4;
constexpr COLORREF kSelection = 0xD77800;

int Moved(uia::ITextRangeProvider* range, int unit, int count) {
    int moved = 0;
    EXPECT_EQ(range->Move(unit, count, &moved), S_OK);
    return moved;
}

int StartOf(uia::ITextRangeProvider* range, uia::ITextRangeProvider* document) {
    int difference = 0;
    EXPECT_EQ(
        range->CompareEndpoints(uia::EndpointStart, document, uia::EndpointStart, &difference),
        S_OK);
    return difference;
}

// ---- Reading ----

TEST_F(AutomationTest, DocumentRangeReadsTheTextUpToTheLimit) {
    Reset(u"Hello\r\nworld");
    Ref<uia::ITextRangeProvider> range = DocumentRange();
    EXPECT_EQ(Read(range.get()), u"Hello\r\nworld");
    EXPECT_EQ(Read(range.get(), 3), u"Hel");
    EXPECT_EQ(Read(range.get(), 0), u"");
    BSTR none = nullptr;
    EXPECT_EQ(range->GetText(-2, &none), E_INVALIDARG);

    BSTR pattern = SysAllocString(L"WORLD");
    Ref<uia::ITextRangeProvider> found;
    ASSERT_EQ(range->FindText(pattern, FALSE, TRUE, found.Receive()), S_OK);
    ASSERT_NE(found.get(), nullptr);
    EXPECT_EQ(StartOf(found.get(), range.get()), 7);
    Ref<uia::ITextRangeProvider> missing;
    ASSERT_EQ(range->FindText(pattern, FALSE, FALSE, missing.Receive()), S_OK);
    SysFreeString(pattern);
    EXPECT_EQ(missing.get(), nullptr);
}

SIZE_T CommittedBytes(bool peak) {
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return peak ? counters.PeakPagefileUsage : counters.PagefileUsage;
}

TEST_F(AutomationTest, AHundredMegabyteDocumentIsReadWithoutExtraCopies) {
    constexpr size_t kUnits = 50'000'000; // 100 MB of UTF-16
    constexpr SIZE_T kBytes = kUnits * 2;
    {
        std::u16string text(kUnits, u'x');
        for (size_t i = 98; i < kUnits; i += 100)
            text.replace(i, 2, u"\r\n");
        EditCtl_SetText(edit, text);
    }
    Ref<uia::ITextRangeProvider> range = DocumentRange();
    const SIZE_T before = CommittedBytes(false);
    EXPECT_EQ(Read(range.get(), 100).size(), 100u);
    EXPECT_LT(CommittedBytes(false) - before, SIZE_T{1} << 20);

    BSTR all = nullptr;
    ASSERT_EQ(range->GetText(-1, &all), S_OK);
    EXPECT_EQ(SysStringLen(all), kUnits);
    const SIZE_T held = CommittedBytes(false) - before;
    const SIZE_T peak = CommittedBytes(true) - before;
    SysFreeString(all);
    std::printf("whole text: %zu MiB held, %zu MiB at the peak, for %zu MiB of text\n", held >> 20,
                peak >> 20, kBytes >> 20);
    EXPECT_GT(held, kBytes - kBytes / 10);
    EXPECT_LT(peak, kBytes + kBytes / 2);
}

// ---- Units ----

TEST_F(AutomationTest, CharactersStepOverEmojiAndCombiningMarks) {
    Reset(u"a\U0001F600e\u0301b");
    Ref<uia::ITextRangeProvider> range = DocumentRange();
    ASSERT_EQ(range->ExpandToEnclosingUnit(kCharacter), S_OK);
    EXPECT_EQ(Read(range.get()), u"a");
    EXPECT_EQ(Moved(range.get(), kCharacter, 1), 1);
    EXPECT_EQ(Read(range.get()), u"\U0001F600");
    EXPECT_EQ(Moved(range.get(), kCharacter, 1), 1);
    EXPECT_EQ(Read(range.get()), u"e\u0301");
    EXPECT_EQ(Moved(range.get(), kCharacter, 5), 1);
    EXPECT_EQ(Read(range.get()), u"b");
    EXPECT_EQ(Moved(range.get(), kCharacter, -2), -2);
    EXPECT_EQ(Read(range.get()), u"\U0001F600");
    EXPECT_EQ(range->Move(99, 1, nullptr), E_POINTER);
    int moved = 0;
    EXPECT_EQ(range->Move(99, 1, &moved), E_INVALIDARG);
}

TEST_F(AutomationTest, LinesAreWrappedRowsAndParagraphsLogicalLines) {
    EditCtl_SetWordWrap(edit, true);
    const int columns = (Client().right - 2 * kMargin - Gutter(2)) / charWidth;
    const std::u16string first(static_cast<size_t>(columns), u'a');
    const std::u16string second(static_cast<size_t>(columns), u'b');
    Reset(first + second + u"cc\r\nnext");
    Ref<uia::ITextRangeProvider> range = DocumentRange();
    ASSERT_EQ(range->ExpandToEnclosingUnit(kLine), S_OK);
    EXPECT_EQ(Read(range.get()), first);
    EXPECT_EQ(Moved(range.get(), kLine, 1), 1);
    EXPECT_EQ(Read(range.get()), second);
    EXPECT_EQ(Moved(range.get(), kLine, 1), 1);
    EXPECT_EQ(Read(range.get()), u"cc\r\n");
    EXPECT_EQ(Moved(range.get(), kLine, 3), 1);
    EXPECT_EQ(Read(range.get()), u"next");
    EXPECT_EQ(Moved(range.get(), kLine, -2), -2);
    ASSERT_EQ(range->ExpandToEnclosingUnit(kParagraph), S_OK);
    EXPECT_EQ(Read(range.get()), first + second + u"cc\r\n");
}

// ---- Selection and edits ----

TEST_F(AutomationTest, SelectionIsOneRangeAndTheCaretAnEmptyOne) {
    Reset(u"hello world\r\nnext");
    Ref<uia::ITextRangeProvider> document = DocumentRange();
    EditCtl_SetSelection(edit, 6, 6);
    Ref<uia::ITextRangeProvider> caret = SelectionRange();
    EXPECT_EQ(Read(caret.get()), u"");
    EXPECT_EQ(StartOf(caret.get(), document.get()), 6);
    Key(VK_END, true);
    EXPECT_EQ(Read(SelectionRange().get()), u"world");

    // Selecting a range moves the control's own selection.
    ASSERT_EQ(document->ExpandToEnclosingUnit(kWord), S_OK);
    ClearReceived();
    ASSERT_EQ(document->Select(), S_OK);
    EXPECT_EQ(Anchor(), 0);
    EXPECT_EQ(Caret(), 6);
    EXPECT_EQ(Codes(), std::vector<WORD>{CEN_SELCHANGE});
    int single = 0;
    ASSERT_EQ(Pattern()->get_SupportedTextSelection(&single), S_OK);
    EXPECT_EQ(single, uia::SelectionSingle);
    EXPECT_EQ(document->AddToSelection(), uia::kInvalidOperation);
}

// A client's ranges keep covering their text through edits around and in them.
TEST_F(AutomationTest, RangesMoveWithEdits) {
    Reset(u"hello world");
    Ref<uia::ITextRangeProvider> document = DocumentRange();
    BSTR pattern = SysAllocString(L"world");
    Ref<uia::ITextRangeProvider> world;
    ASSERT_EQ(document->FindText(pattern, FALSE, FALSE, world.Receive()), S_OK);
    SysFreeString(pattern);
    ASSERT_NE(world.get(), nullptr);
    EditCtl_SetSelection(edit, 0, 0);
    Type(u"abc");
    EXPECT_EQ(Read(world.get()), u"world");
    EditCtl_SetSelection(edit, 11, 11);
    Type(u"XY");
    EXPECT_EQ(Read(world.get()), u"woXYrld");
    EditCtl_SetSelection(edit, 0, 9);
    Key(VK_DELETE);
    EXPECT_EQ(Read(world.get()), u"woXYrld");
    Key('Z', false, true);
    EXPECT_EQ(Read(world.get()), u"woXYrld");
    EXPECT_EQ(Text(), u"abchello woXYrld");
    // Replaced whole, the range covers what took its place and stays usable.
    EditCtl_SetSelection(edit, 0, 16);
    Type(u"hi");
    EXPECT_EQ(Read(world.get()), u"h");
    ASSERT_EQ(world->ExpandToEnclosingUnit(kWord), S_OK);
    EXPECT_EQ(Read(world.get()), u"hi");
    ASSERT_EQ(world->Select(), S_OK);
    EXPECT_EQ(Anchor(), 0);
    EXPECT_EQ(Caret(), 2);
}

// No read, search or expansion leaves half a character.
TEST_F(AutomationTest, ReadingNeverSplitsACharacter) {
    Reset(u"one\r\na\U0001F600b");
    Ref<uia::ITextRangeProvider> range = DocumentRange();
    EXPECT_EQ(Read(range.get(), 7), u"one\r\na");
    EXPECT_EQ(Read(range.get(), 8), u"one\r\na\U0001F600");
    BSTR half = SysAllocString(L"\xD83D");
    Ref<uia::ITextRangeProvider> found;
    ASSERT_EQ(range->FindText(half, TRUE, FALSE, found.Receive()), S_OK);
    SysFreeString(half);
    EXPECT_EQ(found.get(), nullptr);
    // At the very end, the enclosing unit is the last one.
    int moved = 0;
    ASSERT_EQ(range->MoveEndpointByUnit(uia::EndpointStart, kCharacter, 99, &moved), S_OK);
    EXPECT_EQ(Read(range.get()), u"");
    ASSERT_EQ(range->ExpandToEnclosingUnit(kLine), S_OK);
    EXPECT_EQ(Read(range.get()), u"a\U0001F600b");
    ASSERT_EQ(range->MoveEndpointByUnit(uia::EndpointStart, kCharacter, 99, &moved), S_OK);
    ASSERT_EQ(range->ExpandToEnclosingUnit(kCharacter), S_OK);
    EXPECT_EQ(Read(range.get()), u"b");
}

TEST_F(AutomationTest, EndpointsMoveToOtherRanges) {
    Reset(u"one two three");
    Ref<uia::ITextRangeProvider> document = DocumentRange();
    Ref<uia::ITextRangeProvider> word;
    ASSERT_EQ(document->Clone(word.Receive()), S_OK);
    int moved = 0;
    ASSERT_EQ(word->Move(kWord, 1, &moved), S_OK);
    EXPECT_EQ(Read(word.get()), u"two ");
    ASSERT_EQ(document->MoveEndpointByRange(uia::EndpointEnd, word.get(), uia::EndpointStart),
              S_OK);
    EXPECT_EQ(Read(document.get()), u"one ");
    BOOL same = TRUE;
    ASSERT_EQ(document->Compare(word.get(), &same), S_OK);
    EXPECT_FALSE(same);
    // Moving the start past the end drags the end along.
    ASSERT_EQ(document->MoveEndpointByRange(uia::EndpointStart, word.get(), uia::EndpointEnd),
              S_OK);
    EXPECT_EQ(StartOf(document.get(), word.get()), 4);
    EXPECT_EQ(Read(document.get()), u"");
}

TEST_F(AutomationTest, TheCaretOfABackwardSelectionIsItsStart) {
    Reset(u"hello world");
    EditCtl_SetSelection(edit, 8, 2);
    SetFocus(edit);
    Ref<uia::ITextProvider2> pattern2;
    ASSERT_EQ(Pattern()->QueryInterface(uia::kTextProvider2Iid,
                                        reinterpret_cast<void**>(pattern2.Receive())),
              S_OK);
    BOOL active = FALSE;
    Ref<uia::ITextRangeProvider> caret;
    ASSERT_EQ(pattern2->GetCaretRange(&active, caret.Receive()), S_OK);
    EXPECT_TRUE(active);
    EXPECT_EQ(StartOf(caret.get(), DocumentRange().get()), 2);
    EXPECT_EQ(Read(caret.get()), u"");
    Ref<uia::ITextRangeProvider> annotated;
    EXPECT_EQ(pattern2->RangeFromAnnotation(nullptr, annotated.Receive()), uia::kNotSupported);
    EXPECT_EQ(annotated.get(), nullptr);
    Ref<IRawElementProviderSimple> provider(EditCtl_AutomationProvider(edit));
    Ref<IUnknown> second;
    ASSERT_EQ(provider->GetPatternProvider(uia::kTextPattern2, second.Receive()), S_OK);
    EXPECT_NE(second.get(), nullptr);
}

// ---- Geometry ----

TEST_F(AutomationTest, RowRectanglesAreTheCellsThePaintFills) {
    EditCtl_SetWordWrap(edit, true);
    const int columns = (Client().right - 2 * kMargin - Gutter(1)) / charWidth;
    Reset(std::u16string(static_cast<size_t>(columns), u'a') + u"bcd");
    Ref<uia::ITextRangeProvider> range = DocumentRange();
    int moved = 0;
    ASSERT_EQ(range->MoveEndpointByUnit(uia::EndpointStart, kCharacter, columns - 2, &moved), S_OK);
    ASSERT_EQ(range->Select(), S_OK);
    const std::vector<RECT> rects = Rectangles(range.get());
    ASSERT_EQ(rects.size(), 2u);
    EXPECT_EQ(rects[0].right - rects[0].left, 2 * charWidth);
    EXPECT_EQ(rects[1].right - rects[1].left, 3 * charWidth);
    EXPECT_EQ(rects[1].top, rects[0].bottom);
    const Snapshot shot(edit);
    for (const RECT& r : rects) {
        const int middle = (r.top + r.bottom) / 2;
        EXPECT_EQ(shot.At(r.left, r.top), kSelection);
        EXPECT_EQ(shot.At(r.right - 1, r.bottom - 1), kSelection);
        EXPECT_NE(shot.At(r.left - 1, middle), kSelection);
        EXPECT_NE(shot.At(r.right, middle), kSelection);
        EXPECT_NE(shot.At(r.left, r.bottom), kSelection);
    }

    // A screen point in the left half of a cell gives the boundary before it.
    POINT at = Cell(1, 1);
    at.x -= charWidth / 4;
    ClientToScreen(edit, &at);
    Ref<uia::ITextRangeProvider> point;
    ASSERT_EQ(Pattern()->RangeFromPoint({double(at.x), double(at.y)}, point.Receive()), S_OK);
    EXPECT_EQ(StartOf(point.get(), DocumentRange().get()), columns + 1);
}

// Each Line unit of a wrapped line is a row the paint draws: its rectangle
// is the selection's fill when selected, and nothing beside it is.
TEST_F(AutomationTest, LinesAreThePaintedRowsOfWideMarkedAndTabbedText) {
    EditCtl_SetWordWrap(edit, true);
    const int columns = (Client().right - 2 * kMargin - Gutter(1)) / charWidth;
    // A tab stop that is not a row's end, so that a tab can run across it.
    int tab = 3;
    while (columns % tab == 0)
        ++tab;
    EditCtl_State(edit)->view.tabWidth = tab;
    const std::u16string head(static_cast<size_t>(columns - 3), u'a');
    const std::u16string texts[] = {
        head + u"\u4E00\u4E00z",                // a wide character moved to the next row
        head + u"bb\tX",                        // a tab across the row's end
        head + u"e\u0301e\u0301\u4E00e\u0301x", // marks, then a wide character
    };
    for (const std::u16string& text : texts) {
        SCOPED_TRACE(testing::Message() << "text " << &text - texts);
        Reset(text);
        Ref<uia::ITextRangeProvider> row = DocumentRange();
        ASSERT_EQ(row->ExpandToEnclosingUnit(kLine), S_OK);
        for (int i = 0; i < 2; ++i) {
            ASSERT_EQ(row->Select(), S_OK);
            const std::vector<RECT> rects = Rectangles(row.get());
            ASSERT_EQ(rects.size(), 1u);
            const RECT r = rects[0];
            const Snapshot shot(edit);
            const int middle = (r.top + r.bottom) / 2;
            EXPECT_EQ(shot.At(r.left, r.top), kSelection);
            EXPECT_EQ(shot.At(r.right - 1, r.bottom - 1), kSelection);
            EXPECT_NE(shot.At(r.right, middle), kSelection);
            EXPECT_NE(shot.At(r.left, r.bottom), kSelection);
            EXPECT_EQ(r.top, kMargin + i * lineHeight);
            int moved = 0;
            ASSERT_EQ(row->Move(kLine, 1, &moved), S_OK);
        }
    }
}

// A point gives the boundary nearest it; points far off or not numbers are handled.
TEST_F(AutomationTest, RangeFromPointTakesTheNearestBoundary) {
    Reset(u"ab\u4E00c\r\nxyz");
    POINT origin = {0, 0};
    ClientToScreen(edit, &origin);
    auto at = [&](double x, double y) {
        Ref<uia::ITextRangeProvider> range;
        EXPECT_EQ(Pattern()->RangeFromPoint({origin.x + x, origin.y + y}, range.Receive()), S_OK);
        return range.get() ? StartOf(range.get(), DocumentRange().get()) : -1;
    };
    const double left = Cell(0, 0).x - charWidth / 2; // of the first cell
    const double y = Cell(0, 0).y;
    EXPECT_EQ(at(left + charWidth + 1, y), 1);     // the left half of b
    EXPECT_EQ(at(left + 2 * charWidth - 1, y), 2); // its right half
    EXPECT_EQ(at(left + 3 * charWidth - 1, y), 2); // the left half of the wide one
    EXPECT_EQ(at(left + 3 * charWidth + 1, y), 3); // its right half
    EXPECT_EQ(at(1e30, y), 4);
    EXPECT_EQ(at(-1e30, y), 0);
    EXPECT_EQ(at(left + charWidth + 1, 1e300), 7);
    EXPECT_EQ(at(left + charWidth + 1, -HUGE_VAL), 1);
    Ref<uia::ITextRangeProvider> none;
    EXPECT_EQ(Pattern()->RangeFromPoint({NAN, 0}, none.Receive()), E_INVALIDARG);
}

TEST_F(AutomationTest, RectanglesStayInsideTheClientArea) {
    std::u16string text;
    for (int i = 0; i < 100; ++i)
        text += u"line\r\n";
    Reset(text);
    EditCtl_State(edit)->view.scrollY = lineHeight * 10 + lineHeight / 2;
    Ref<uia::ITextRangeProvider> range = DocumentRange();
    const RECT client = Client();
    const std::vector<RECT> rects = Rectangles(range.get());
    ASSERT_FALSE(rects.empty());
    for (const RECT& r : rects) {
        EXPECT_GE(r.top, 0);
        EXPECT_LE(r.bottom, client.bottom);
        EXPECT_LT(r.top, r.bottom);
    }
    EXPECT_EQ(rects.front().top, 0);
    EXPECT_EQ(rects.back().bottom, client.bottom);
    // An empty range has no rectangle.
    ASSERT_EQ(range->MoveEndpointByRange(uia::EndpointEnd, range.get(), uia::EndpointStart), S_OK);
    EXPECT_TRUE(Rectangles(range.get()).empty());
}

TEST_F(AutomationTest, VisibleRangeAndScrollingIntoView) {
    std::u16string text;
    for (int i = 0; i < 200; ++i)
        text += u"row " + std::u16string(1, static_cast<char16_t>(u'A' + i % 26)) + u"\r\n";
    Reset(text);
    SAFEARRAY* array = nullptr;
    ASSERT_EQ(Pattern()->GetVisibleRanges(&array), S_OK);
    ASSERT_EQ(array->rgsabound[0].cElements, 1u);
    SafeArrayDestroy(array);

    Ref<uia::ITextRangeProvider> distant = DocumentRange();
    int moved = 0;
    ASSERT_EQ(distant->MoveEndpointByUnit(uia::EndpointStart, kLine, 150, &moved), S_OK);
    ASSERT_EQ(distant->ExpandToEnclosingUnit(kLine), S_OK);
    EXPECT_TRUE(Rectangles(distant.get()).empty());
    ASSERT_EQ(distant->ScrollIntoView(TRUE), S_OK);
    const std::vector<RECT> rects = Rectangles(distant.get());
    ASSERT_EQ(rects.size(), 1u);
    EXPECT_EQ(rects[0].top, 0);
}

// ---- The element ----

TEST_F(AutomationTest, TheElementIsAFocusableDocumentNamedAfterItsWindow) {
    SetWindowTextW(edit, L"notes.txt");
    Ref<IRawElementProviderSimple> provider(EditCtl_AutomationProvider(edit));
    VARIANT v;
    ASSERT_EQ(provider->GetPropertyValue(uia::kName, &v), S_OK);
    ASSERT_EQ(v.vt, VT_BSTR);
    EXPECT_STREQ(v.bstrVal, L"notes.txt");
    VariantClear(&v);
    ASSERT_EQ(provider->GetPropertyValue(uia::kControlType, &v), S_OK);
    EXPECT_EQ(v.lVal, uia::kDocument);
    ASSERT_EQ(provider->GetPropertyValue(uia::kIsKeyboardFocusable, &v), S_OK);
    EXPECT_EQ(v.boolVal, VARIANT_TRUE);

    Ref<uia::ITextRangeProvider> range = DocumentRange();
    VARIANT value;
    ASSERT_EQ(range->GetAttributeValue(uia::kIsReadOnly, &value), S_OK);
    EXPECT_EQ(value.vt, VT_BOOL);
    EXPECT_EQ(value.boolVal, VARIANT_FALSE);
    ASSERT_EQ(range->GetAttributeValue(uia::kFontName, &value), S_OK);
    ASSERT_EQ(value.vt, VT_BSTR);
    EXPECT_GT(SysStringLen(value.bstrVal), 0u);
    VariantClear(&value);
    ASSERT_EQ(range->GetAttributeValue(uia::kFontSize, &value), S_OK);
    EXPECT_EQ(value.vt, VT_R8);
    EXPECT_GT(value.dblVal, 5.0);
    ASSERT_EQ(range->GetAttributeValue(40001, &value), S_OK); // animation style
    EXPECT_NE(value.vt, VT_BSTR);
    VariantClear(&value);

    // Clients holding the element after the window is gone get an error, not a crash.
    DestroyWindow(edit);
    EXPECT_EQ(provider->GetPropertyValue(uia::kName, &v), uia::kElementNotAvailable);
    BSTR text = nullptr;
    EXPECT_EQ(range->GetText(-1, &text), uia::kElementNotAvailable);
}

// ---- Events ----

std::vector<EVENTID> raised;
BOOL listening = FALSE;

BOOL WINAPI RecordListening() {
    return listening;
}
HRESULT WINAPI RecordEvent(IRawElementProviderSimple*, EVENTID id) {
    raised.push_back(id);
    return S_OK;
}

class ApiOverride {
  public:
    ApiOverride() : api_(EditCtl_AutomationApi()) {
        api_.clientsAreListening = RecordListening;
        api_.raiseAutomationEvent = RecordEvent;
        EditCtl_OverrideAutomationApi(&api_);
    }
    ~ApiOverride() { EditCtl_OverrideAutomationApi(nullptr); }

  private:
    AutomationApi api_;
};

TEST_F(AutomationTest, EventsAreRaisedOnlyWhileAClientListens) {
    const ApiOverride api;
    raised.clear();
    listening = FALSE;
    Type(u"a");
    Key(VK_LEFT);
    SetFocus(edit);
    EXPECT_TRUE(raised.empty());

    listening = TRUE;
    Type(u"b");
    EXPECT_EQ(raised, (std::vector<EVENTID>{uia::kTextChanged, uia::kTextSelectionChanged}));
    raised.clear();
    Key(VK_LEFT);
    EXPECT_EQ(raised, std::vector<EVENTID>{uia::kTextSelectionChanged});
    raised.clear();
    SetFocus(parent);
    SetFocus(edit);
    EXPECT_EQ(raised, std::vector<EVENTID>{uia::kFocusChanged});
    raised.clear();
    EditCtl_SetText(edit, u"loaded");
    EXPECT_EQ(raised, std::vector<EVENTID>{uia::kTextChanged});
}

// ---- Through Wine's client, as a screen reader would ask ----

TEST_F(AutomationTest, WineClientReadsTheDocument) {
    SetWindowTextW(edit, L"notes.txt");
    Reset(u"hello");
    UiaClient client;
    const ElementFacts facts = ReadElement(client, edit);
    ASSERT_EQ(facts.node, S_OK);
    EXPECT_EQ(facts.name, L"notes.txt");
    EXPECT_EQ(facts.controlType, uia::kDocument);
}

class AutomationStartupTest : public MainWindowTest {};

TEST_F(AutomationStartupTest, WineClientNamesTheFocusedDocumentAndTheCloseButton) {
    Create();
    MainWindow& mw = Record();
    UiaClient client;
    const ElementFacts document = ReadElement(client, mw.activeEdit);
    ASSERT_EQ(document.node, S_OK);
    std::printf("at start-up: \"%ls\", control type %d\n", document.name.c_str(),
                document.controlType);
    EXPECT_EQ(document.name, L"Untitled");
    EXPECT_EQ(document.controlType, uia::kDocument);
    const ElementFacts close = ReadElement(client, mw.closeButton);
    EXPECT_EQ(close.name, L"Close tab");
    EXPECT_EQ(close.controlType, uia::kButton);
}

} // namespace
