// A file's start shown read-only, then its whole text put in its place.
#include "editctl/editing.h"
#include "editctl/keys.h"
#include "editctl/view_metrics.h"
#include "tests/core/edit_fixture.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

std::u16string Lines(int count) {
    std::u16string text;
    for (int i = 0; i < count; ++i)
        text += u"line\tof text " + std::u16string(static_cast<size_t>(i % 50), u'x') + u"\r\n";
    return text;
}

} // namespace

TEST(PreparedText, AReadOnlyTextRefusesEveryEdit) {
    EditState s = MakeEdit(u"abc\r\ndef");
    ReplaceSelection(s, u"z");
    s.history.readOnly = true;
    const std::vector<std::function<void(EditState&)>> edits = {
        [](EditState& e) { TypeCharMessage(e, u'q'); },
        [](EditState& e) { TypeCharMessage(e, u'\r'); },
        [](EditState& e) { HandleKeyDown(e, EditKey::Backspace, false, false); },
        [](EditState& e) { HandleKeyDown(e, EditKey::Delete, false, false); },
        [](EditState& e) { HandleKeyDown(e, EditKey::Z, false, true); },
        [](EditState& e) { HandleKeyDown(e, EditKey::Y, false, true); },
        [](EditState& e) { ReplaceRange(e, 0, 2, u"w"); },
        [](EditState& e) { ReplaceMatches(e, {0}, 1, u"w"); },
    };
    for (const auto& edit : edits) {
        TakeEffects(s);
        s.history.modified = false;
        edit(s);
        EXPECT_EQ(s.model.text, u"zabc\r\ndef");
        EXPECT_FALSE(s.history.modified);
        EXPECT_TRUE(TakeEffects(s).readOnly);
    }
    EXPECT_EQ(s.history.undoHistory.size(), 1u);
}

TEST(PreparedText, TheWholeTextTakesThePlaceOfItsStartWhereTheViewWas) {
    for (const bool wrap : {false, true}) {
        SCOPED_TRACE(wrap);
        const std::u16string whole = Lines(5000);
        EditState s = MakeEdit(whole.substr(0, 2000), {300, 200, wrap});
        SetSelection(s, 40, 1500);
        s.view.scrollY = 5 * s.view.lineHeight;
        // The gutter made ready for the lines to come stays as wide.
        SetGutterLines(s, 5001);
        const int32_t gutter = s.view.gutterWidth;
        PreparedText prepared;
        // Measured for another view: the adoption measures again.
        LineMetrics other = CurrentLineMetrics(s);
        other.columnsPerRow = wrap ? 7 : 0;
        // Its lines are measured on a thread as the text is told a piece at
        // a time, as a load decodes it.
        std::u16string units = whole;
        LinesAhead ahead(other);
        for (size_t written = 0; written < units.size(); written += 999)
            ahead.told(units.data(), written, units.size());
        PrepareText(prepared, std::move(units), ahead);
        AdoptPrepared(s, std::move(prepared));
        EXPECT_TRUE(s.model.text == whole);
        EXPECT_EQ(s.model.anchor, 40);
        EXPECT_EQ(s.model.caret, 1500);
        EXPECT_EQ(s.view.scrollY, 5 * s.view.lineHeight);
        EXPECT_FALSE(s.history.modified);

        EditState fresh = MakeEdit(whole, {300, 200, wrap});
        ASSERT_EQ(s.model.lines.size(), fresh.model.lines.size());
        EXPECT_EQ(s.model.lines.totalRows(), fresh.model.lines.totalRows());
        EXPECT_EQ(s.model.lines.maxLineWidth(), fresh.model.lines.maxLineWidth());
        EXPECT_EQ(s.view.gutterWidth, fresh.view.gutterWidth);
        EXPECT_EQ(gutter, fresh.view.gutterWidth);
    }
}

TEST(PreparedText, AShorterWholeTextClampsTheSelection) {
    EditState s = MakeEdit(u"ab\r\ncd\r\n");
    SetSelection(s, 2, 7);
    PreparedText prepared;
    LinesAhead ahead(CurrentLineMetrics(s));
    PrepareText(prepared, u"\U0001F600", ahead);
    AdoptPrepared(s, std::move(prepared));
    EXPECT_EQ(s.model.anchor, 2);
    EXPECT_EQ(s.model.caret, 2);
}

// Lines measured on a thread as a text is told a megaunit at a time, the
// rest shared between it and the caller: the table a rebuild makes, also
// when a line longer than a block lies where the rest is halved or where
// the thread is when it is told the last units.
TEST(LinesAhead, MakesTheTableARebuildMakes) {
    const std::u16string line = u"a\tline \u4E2D\u6587 e\u0301 \U0001F600 of text\r\n";
    const std::u16string longLine = std::u16string(1500000, u'x') + u"\r\n";
    auto lines = [&](int count) {
        std::u16string text;
        for (int i = 0; i < count; ++i)
            text += line.substr(static_cast<size_t>(i % 7));
        return text;
    };
    const std::u16string texts[] = {lines(100000), lines(40000) + longLine + lines(60000),
                                    longLine + lines(80000) + u"end"};
    for (const bool wrap : {false, true}) {
        const LineMetrics metrics{wrap ? 40 : 0, 4, 8};
        for (const std::u16string& text : texts) {
            std::u16string units = text;
            LinesAhead ahead(metrics);
            for (size_t written = 0; written < units.size(); written += 1 << 20)
                ahead.told(units.data(), written, units.size());
            ahead.told(units.data(), units.size(), units.size());
            PreparedText prepared;
            PrepareText(prepared, std::move(units), ahead);
            const TextBuffer buffer(text);
            LineTable fresh;
            fresh.rebuild(buffer, metrics);
            const LineTable& got = prepared.lines;
            ASSERT_TRUE(prepared.text == text);
            ASSERT_EQ(got.size(), fresh.size());
            for (int32_t i = 0; i < got.size(); ++i) {
                const LineInfo a = got[i], b = fresh[i];
                ASSERT_TRUE(a.start == b.start && a.length == b.length && a.rows == b.rows &&
                            a.hasTab == b.hasTab && a.hasComplex == b.hasComplex &&
                            got.firstRow(i) == fresh.firstRow(i))
                    << "line " << i;
            }
            EXPECT_EQ(got.totalRows(), fresh.totalRows());
            EXPECT_EQ(got.maxLineWidth(), fresh.maxLineWidth());
        }
    }
}
