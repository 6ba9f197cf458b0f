// Edits lay out again only the lines they touched; the tables must come out
// exactly as a full relayout of the same text and view makes them.
#include "edit_fixture.h"

#include "editctl/cells.h"
#include "editctl/commands.h"
#include "editctl/column_stops.h"
#include "editctl/editing.h"
#include "editctl/layout.h"
#include "editctl/line_scan_wide.h"
#include "editctl/line_table.h"
#include "editctl/text_model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace {

void ExpectSameTables(const LineTable& got, const LineTable& want) {
    ASSERT_EQ(got.size(), want.size());
    for (int32_t i = 0; i < want.size(); ++i) {
        ASSERT_EQ(got[i].start, want[i].start) << "line " << i;
        ASSERT_EQ(got[i].length, want[i].length) << "line " << i;
        ASSERT_EQ(got[i].rows, want[i].rows) << "line " << i;
        ASSERT_EQ(got[i].hasTab, want[i].hasTab) << "line " << i;
        ASSERT_EQ(got[i].hasComplex, want[i].hasComplex) << "line " << i;
        ASSERT_EQ(got.firstRow(i), want.firstRow(i)) << "line " << i;
    }
    EXPECT_EQ(got.totalRows(), want.totalRows());
    EXPECT_EQ(got.maxLineWidth(), want.maxLineWidth());
}

// The record as it is against the same record laid out from scratch.
void ExpectSameAsFullRelayout(const EditState& s) {
    EditState full = s;
    Relayout(full);
    ExpectSameTables(s.model.lines, full.model.lines);
    EXPECT_EQ(s.view.gutterWidth, full.view.gutterWidth);
    EXPECT_EQ(s.view.currentLine, full.view.currentLine);
}

std::u16string Repeat(std::u16string_view piece, int n) {
    std::u16string text;
    for (int i = 0; i < n; ++i)
        text += piece;
    return text;
}

// Steps of one to three replacements, as a replaced selection or a joined
// undo makes them, on texts dense with CRs, LFs and tabs.
TEST(LineTableUpdate, MatchesARebuildAfterRandomSteps) {
    // In the last two views, four tabs make a line 2^28 cells wide or more.
    const LineMetrics views[] = {{0, 4, 8}, {1, 4, 8},       {3, 3, 7},
                                 {5, 2, 1}, {0, 1 << 26, 1}, {1 << 27, 1 << 26, 1}};
    const std::u16string pieces[] = {u"a",  u"bc",   u"\t",       u"\r",
                                     u"\n", u"\r\n", u"\r\r\n\n", u"\u4E00"};
    std::mt19937 rng(5);
    auto pick = [&](int32_t n) { return std::uniform_int_distribution<int32_t>(0, n - 1)(rng); };
    for (const LineMetrics& metrics : views) {
        std::u16string text;
        LineTable table;
        table.rebuild(TextBuffer(text), metrics);
        for (int step = 0; step < 3000 && !testing::Test::HasFatalFailure(); ++step) {
            TextChange change;
            for (int edits = 1 + pick(3); edits > 0; --edits) {
                const int32_t length = static_cast<int32_t>(text.size());
                // Edits at either end of the text come often.
                const int32_t where = pick(4);
                const int32_t at = where == 0 ? 0 : where == 1 ? length : pick(length + 1);
                const int32_t removed = std::min(pick(4) == 0 ? pick(12) : pick(3), length - at);
                std::u16string inserted;
                for (int32_t n = pick(4); n > 0; --n)
                    inserted += pieces[pick(8)];
                if (text.size() > 300)
                    inserted.clear();
                text.replace(static_cast<size_t>(at), static_cast<size_t>(removed), inserted);
                change.add(at, removed, static_cast<int32_t>(inserted.size()));
            }
            table.update(TextBuffer(text), metrics, change);
            LineTable fresh;
            fresh.rebuild(TextBuffer(text), metrics);
            ASSERT_NO_FATAL_FAILURE(ExpectSameTables(table, fresh)) << "step " << step;
        }
    }
}

// Letters typed and units deleted one at a time in one long line of wide
// characters, tabs and units that join a letter beside them, wrapped and
// not, with the stops kept along it made as far as a random place: each
// keystroke's table as a rebuild makes it.
TEST(LineTableUpdate, KeystrokesInOneLineMatchARebuild) {
    const std::u16string pieces[] = {u"a",      u"bc",     u"\u4E00", u"\u0301",
                                     u"\u20E3", u"\u0600", u"\t"};
    std::mt19937 rng(23);
    auto pick = [&](int32_t n) { return std::uniform_int_distribution<int32_t>(0, n - 1)(rng); };
    // Rows of 5 cells, no wrapping, and rows about as wide as the line, so
    // that keystrokes take it from one row to two and back.
    constexpr int32_t kAboutTheLine = -1;
    for (const int32_t perRow : {0, 5, kAboutTheLine}) {
        for (int round = 0; round < 16 && !testing::Test::HasFatalFailure(); ++round) {
            // Lines of the first few kinds of piece only, plain ones too.
            const int32_t kinds = 2 + pick(static_cast<int32_t>(std::size(pieces)) - 1);
            std::u16string text;
            while (text.size() < ColumnStops::kSpacing + 500u)
                text += pieces[pick(kinds)];
            if (kinds < static_cast<int32_t>(std::size(pieces)))
                text[static_cast<size_t>(pick(static_cast<int32_t>(text.size())))] = u'\t';
            LineTable table;
            table.rebuild(TextBuffer(text), {});
            const LineMetrics metrics{
                perRow == kAboutTheLine
                    ? static_cast<int32_t>(table.maxLineWidth() / LineMetrics{}.charWidth) +
                          pick(3) - 1
                    : perRow,
                4, 8};
            const CellRules rules{metrics.tabWidth, metrics.columnsPerRow};
            table.rebuild(TextBuffer(text), metrics);
            for (int step = 0; step < 40; ++step) {
                const LineInfo info = table[0];
                ColumnStops stops;
                stops.beforeOffset(text, info, rules, pick(info.length + 1));
                // Now and then at a kept stop, or at the first tab: in lines
                // of rare tabs, often the only one.
                const std::span<const CellStop> kept = stops.kept(info, rules);
                const size_t tab = text.find(u'\t');
                const int32_t way = pick(8);
                auto at = static_cast<int32_t>(pick(static_cast<int32_t>(text.size()) + 1));
                if (way == 0 && !kept.empty())
                    at = kept[static_cast<size_t>(pick(static_cast<int32_t>(kept.size())))].offset;
                else if (way == 1 && tab != std::u16string::npos)
                    at = static_cast<int32_t>(tab);
                TextChange change;
                if (at < static_cast<int32_t>(text.size()) && (way < 2 || pick(4) == 0)) {
                    change.add(at, 1, 0, IsPlainUnit(text[static_cast<size_t>(at)]));
                    text.erase(static_cast<size_t>(at), 1);
                } else {
                    text.insert(static_cast<size_t>(at), 1, u"x#\u4E00\u0301\t"[pick(5)]);
                    change.add(at, 0, 1);
                }
                table.update(TextBuffer(text), metrics, change, kept);
                LineTable fresh;
                fresh.rebuild(TextBuffer(text), metrics);
                ASSERT_NO_FATAL_FAILURE(ExpectSameTables(table, fresh))
                    << "round " << round << " step " << step;
            }
        }
    }
}

// A plain unit typed at, deleted from, or typed over one at every place of
// short lines with tabs and wide or joined characters, in rows that cut a
// tab short, that a keystroke takes a line past, or none: as a rebuild.
TEST(LineTableUpdate, PlainKeystrokesBesideTabsMatchARebuild) {
    const std::u16string lines[] = {u"abcd\t",
                                    u"abcde\t",
                                    u"a\u4E00b\tc",
                                    u"\tab\u0301c\td",
                                    u"x\t\U0001F600y\tz",
                                    u"a\u0600b\t\u0600",
                                    u"abc\u4E00",
                                    u"\U0001F1EFa\U0001F1F5\t",
                                    u"\U0001F600b\u0301\u00A9\u200D\U0001F600\u200D",
                                    u"\u1100a\u1161\u0085\u0301\u0085\u0903"};
    for (const std::u16string& line : lines) {
        for (const int32_t perRow : {0, 5, 6, 8, 12}) {
            const LineMetrics metrics{perRow, 4, 8};
            for (int32_t at = 0; at <= static_cast<int32_t>(line.size()); ++at) {
                const bool plainAt = at < static_cast<int32_t>(line.size()) &&
                                     IsPlainUnit(line[static_cast<size_t>(at)]);
                // A letter, a plain unit that is a pictograph, or none.
                for (const std::u16string_view typed : {u"x", u"\u00A9", u""}) {
                    for (const int32_t removed : {0, plainAt ? 1 : 0}) {
                        std::u16string text = line;
                        text.replace(static_cast<size_t>(at), static_cast<size_t>(removed), typed);
                        TextChange change;
                        change.add(at, removed, static_cast<int32_t>(typed.size()), true);
                        LineTable table;
                        table.rebuild(TextBuffer(line), metrics);
                        table.update(TextBuffer(text), metrics, change);
                        LineTable fresh;
                        fresh.rebuild(TextBuffer(text), metrics);
                        SCOPED_TRACE(testing::Message() << "line " << &line - lines << " row "
                                                        << perRow << " at " << at);
                        ASSERT_NO_FATAL_FAILURE(ExpectSameTables(table, fresh));
                    }
                }
            }
        }
    }
}

// Random texts laid out in one view, then taken to another: the same
// table as measuring them afresh in that view. Tabs, wide characters and
// combining marks fall at row ends often, and the widest views push lines
// past 2^28 cells and back.
TEST(LineTableRemeasure, MatchesARebuildInAnyOtherView) {
    const LineMetrics views[] = {{0, 4, 8},
                                 {1, 4, 8},
                                 {3, 4, 7},
                                 {5, 4, 1},
                                 {6, 4, 8},
                                 {7, 4, 8},
                                 {2, 3, 8},
                                 {0, 1 << 26, 1},
                                 {1 << 27, 1 << 26, 1},
                                 {(1 << 27) + 3, 1 << 26, 1}};
    const std::u16string pieces[] = {u"a",    u"bc",     u"\t",      u"\r",        u"\n",
                                     u"\r\n", u"\u4E00", u"e\u0301", u"\U0001F600"};
    std::mt19937 rng(11);
    auto pick = [&](int32_t n) { return std::uniform_int_distribution<int32_t>(0, n - 1)(rng); };
    constexpr int32_t kViews = static_cast<int32_t>(std::size(views));
    for (int round = 0; round < 400 && !testing::Test::HasFatalFailure(); ++round) {
        std::u16string text;
        for (int32_t n = pick(60); n > 0; --n)
            text += pieces[pick(static_cast<int32_t>(std::size(pieces)))];
        const TextBuffer buffer(text);
        LineTable table;
        table.rebuild(buffer, views[pick(kViews)]);
        for (int step = 0; step < 4; ++step) {
            const LineMetrics& to = views[pick(kViews)];
            table.remeasure(buffer, to);
            LineTable fresh;
            fresh.rebuild(buffer, to);
            ASSERT_NO_FATAL_FAILURE(ExpectSameTables(table, fresh)) << "round " << round;
        }
    }
}

// Lines measured a prefix at a time while the text is written, cut
// anywhere (between CR and LF, inside a character, inside a long line,
// right after a break), then finished: the table a rebuild makes, also
// when the lines from a line start on were measured apart and appended,
// as a load shares out its last units, and in texts of hundreds of lines.
// Lines left with a bound of their width are measured as edits and other
// views need them: the widest line stays exact through both.
TEST(LineTableRebuild, LinesMeasuredAheadMatchARebuild) {
    const LineMetrics views[] = {{0, 4, 8}, {3, 4, 7}, {5, 3, 1}};
    const std::u16string pieces[] = {
        u"a",         u"bcdefghijklmnopqrstu", u"\t", u"\r", u"\n", u"\r\n", u"\u4E00", u"e\u0301",
        u"\U0001F600"};
    std::mt19937 rng(17);
    auto pick = [&](int32_t n) { return std::uniform_int_distribution<int32_t>(0, n - 1)(rng); };
    for (int round = 0; round < 600 && !testing::Test::HasFatalFailure(); ++round) {
        std::u16string text;
        for (int32_t n = round % 50 == 0 ? 2000 : pick(80); n > 0; --n)
            text += pieces[pick(static_cast<int32_t>(std::size(pieces)))];
        const auto length = static_cast<int32_t>(text.size());
        const LineMetrics& metrics = views[pick(static_cast<int32_t>(std::size(views)))];
        LineTable::Ahead ahead(metrics, pick(2) ? length : 0);
        // Where the part measured apart begins: after a break, and after
        // an LF that follows a CR.
        int32_t half = length;
        if (const size_t at = text.find_first_of(u"\r\n", static_cast<size_t>(pick(length + 1)));
            pick(2) == 0 && at != std::u16string::npos)
            half = static_cast<int32_t>(text.compare(at, 2, u"\r\n") == 0 ? at + 2 : at + 1);
        for (int32_t written = 0; written < half;) {
            written += 1 + pick(std::max(1, half / 4));
            written = std::min(written, half - pick(2));
            // Only the written units, so that a read past them is caught.
            const std::vector<char16_t> prefix(text.begin(), text.begin() + written);
            ahead.measure(prefix.data(), written, ahead.next() + pick(40));
        }
        if (half < length) {
            LineTable::Ahead far(metrics, length, half);
            far.measure(text.data(), half + pick(length - half + 1), length);
            if (ahead.next() == far.start()) {
                ahead.append(far);
                ahead.measure(text.data(), length, length);
            }
        }
        const TextBuffer buffer(text);
        LineTable table, fresh;
        table.rebuild(buffer, std::move(ahead));
        fresh.rebuild(buffer, metrics);
        ASSERT_NO_FATAL_FAILURE(ExpectSameTables(table, fresh)) << "round " << round;
        const LineMetrics* view = &metrics;
        for (int step = 0; step < 20; ++step) {
            if (pick(6) == 0) {
                view = &views[pick(static_cast<int32_t>(std::size(views)))];
                table.remeasure(TextBuffer(text), *view);
            } else {
                const auto at = pick(static_cast<int32_t>(text.size()) + 1);
                const auto removed =
                    std::min(pick(2) * pick(24), static_cast<int32_t>(text.size()) - at);
                const std::u16string inserted =
                    pick(2) == 0 ? pieces[pick(static_cast<int32_t>(std::size(pieces)))] : u"";
                // As typing tells it, whether the units removed were all plain.
                const auto from = text.begin() + at;
                const bool plain = std::all_of(from, from + removed, IsPlainUnit);
                text.replace(static_cast<size_t>(at), static_cast<size_t>(removed), inserted);
                TextChange change;
                change.add(at, removed, static_cast<int32_t>(inserted.size()), plain);
                table.update(TextBuffer(text), *view, change);
            }
            fresh.rebuild(TextBuffer(text), *view);
            ASSERT_NO_FATAL_FAILURE(ExpectSameTables(table, fresh)) << "round " << round;
        }
    }
}

// A line of one unit repeated, or of the unit between letters (Hangul
// leading jamo join each other into one character), one cell wider than a
// line of plain units above it, its break in a step of the scan, the wide
// one or the narrow one, or among the last few units: left with a bound of
// its width, it would come out narrower. Every unit below U+1100 and every
// lone surrogate, which the bound counts one cell, and a tab and wide
// characters.
TEST(LineTableRebuild, NoLineIsWiderThanTheBoundOfLinesMeasuredAhead) {
    const LineMetrics metrics{0, 4, 1};
    std::u16string units = u"\t\u1100\u4E00\uFF01";
    for (char16_t c = 0; c < 0xE000; c = c == 0x10FF ? 0xD800 : c + 1)
        units += c;
    LineTable table, fresh;
    for (const bool wide : {true, false}) {
        UseWideLineScan(wide);
        for (const char16_t unit : units) {
            if (unit == u'\r' || unit == u'\n')
                continue;
            std::u16string between(17, u'a');
            for (size_t i = 0; i < between.size(); i += 2)
                between[i] = unit;
            for (const std::u16string& line : {std::u16string(17, unit), between}) {
                fresh.rebuild(TextBuffer(line), metrics);
                const auto above = static_cast<size_t>(fresh.maxLineWidth()) - 1;
                for (const size_t after : {0, 16}) {
                    const std::u16string text = std::u16string(above, u'a') + u"\n" + line + u"\n" +
                                                std::u16string(after, u'a');
                    LineTable::Ahead ahead(metrics, static_cast<int64_t>(text.size()));
                    ahead.measure(text.data(), static_cast<int64_t>(text.size()),
                                  static_cast<int64_t>(text.size()));
                    const TextBuffer buffer(text);
                    table.rebuild(buffer, std::move(ahead));
                    fresh.rebuild(buffer, metrics);
                    ASSERT_EQ(table.maxLineWidth(), fresh.maxLineWidth())
                        << wide << " " << std::hex << static_cast<int>(unit);
                }
            }
        }
    }
    UseWideLineScan(true);
}

// Marks that join the character before or start their own, whole and lone
// surrogates, and plain runs long enough to be skipped in bulk: each line's
// width as a walk from character to character finds it, wrapped or not.
TEST(LineTableRebuild, WidthsMatchAWalkOverTheCharacters) {
    const std::u16string pieces[] = {
        u"a",      u"abcdefghijk", u"\u00FC\u02FF", u"\t",           u"\u0300",     u"\u200D",
        u"\uFE0F", u"\u4E00",      u"\u20AC",       u"\U0001F600",   u"\U000E0100", u"\xD83D",
        u"\xDE00", u"\u0085",      u"\x01",         u"\u1100\u1161", u"\u0600",     u"\u0903"};
    std::mt19937 rng(17);
    auto pick = [&](int32_t n) { return std::uniform_int_distribution<int32_t>(0, n - 1)(rng); };
    for (int round = 0; round < 3000 && !testing::Test::HasFatalFailure(); ++round) {
        std::u16string lines[2];
        for (std::u16string& line : lines)
            for (int32_t n = pick(30); n > 0; --n)
                line += pieces[pick(static_cast<int32_t>(std::size(pieces)))];
        const int32_t perRow = pick(8);
        const LineMetrics metrics{perRow, 3 + pick(2), 1};
        LineTable table;
        table.rebuild(TextBuffer(lines[0] + u"\r\n" + lines[1]), metrics);
        int64_t widest = 0;
        for (int32_t i = 0; i < 2; ++i) {
            const int64_t cells = ColumnOfOffset(lines[i], static_cast<int32_t>(lines[i].size()),
                                                 {metrics.tabWidth, perRow});
            widest = std::max(widest, cells);
            if (perRow > 0) {
                ASSERT_EQ(table[i].rows, std::max<int64_t>(1, (cells + perRow - 1) / perRow))
                    << "round " << round << " line " << i;
            }
        }
        ASSERT_EQ(table.maxLineWidth(), widest) << "round " << round;
    }
}

TEST(LineTableUpdate, WidestLineFollowsShrinkingAndGrowing) {
    const LineMetrics unwrapped{0, 4, 8};
    std::u16string text = u"0123456789\nabc\tx\n0123456789\nz";
    LineTable table;
    table.rebuild(TextBuffer(text), unwrapped);
    EXPECT_EQ(table.maxLineWidth(), 80);
    auto edit = [&](int32_t at, int32_t removed, std::u16string_view inserted) {
        text.replace(static_cast<size_t>(at), static_cast<size_t>(removed), inserted);
        TextChange change;
        change.add(at, removed, static_cast<int32_t>(inserted.size()));
        table.update(TextBuffer(text), unwrapped, change);
    };
    edit(0, 3, u""); // one of the two widest lines narrows
    EXPECT_EQ(table.maxLineWidth(), 80);
    edit(14, 3, u""); // now the other: the widest is 7 cells
    EXPECT_EQ(table.maxLineWidth(), 56);
    edit(8, 1, u"abcd"); // its tab moves to column 6 and reaches 8: 9 cells
    EXPECT_EQ(table.maxLineWidth(), 72);
    edit(0, static_cast<int32_t>(text.size()), u"");
    EXPECT_EQ(table.maxLineWidth(), 0);
    EXPECT_EQ(table.size(), 1);
    EXPECT_EQ(table.totalRows(), 1);
}

// A line wider than 2^28 cells keeps its exact width and rows while lines
// come and go before it.
TEST(LineTableUpdate, VeryWideLinesKeepTheirWidth) {
    const LineMetrics wrapped{1 << 27, 1 << 26, 1};
    std::u16string text = u"ab\n\t\t\t\tx\n\t";
    LineTable table;
    table.rebuild(TextBuffer(text), wrapped);
    const int32_t wide = (1 << 28) + 1;
    EXPECT_EQ(table.maxLineWidth(), wide);
    EXPECT_EQ(table[1].rows, 3);
    EXPECT_EQ(table.totalRows(), 5);
    text.insert(0, u"\n\n");
    TextChange change;
    change.add(0, 0, 2);
    table.update(TextBuffer(text), wrapped, change);
    EXPECT_EQ(table.maxLineWidth(), wide);
    EXPECT_EQ(table[3].rows, 3);
    EXPECT_EQ(table[3].length, 5);
    EXPECT_EQ(table.firstRow(4), 6);
    text.erase(5, 1); // the first tab: three are left
    change = {};
    change.add(5, 1, 0);
    table.update(TextBuffer(text), wrapped, change);
    EXPECT_EQ(table.maxLineWidth(), 3 * (1 << 26) + 1);
    EXPECT_EQ(table[3].rows, 2);
}

TEST(EditIncrementalLayout, CrLfPairsMadeAndSplitAtTheEdgesOfAnEdit) {
    EditState s = MakeEdit(u"a\rb\nc");
    ReplaceRange(s, 2, 2, u"\n"); // an LF behind a CR: one break, not two
    EXPECT_EQ(s.model.text, u"a\r\nb\nc");
    ASSERT_EQ(s.model.lines.size(), 3);
    EXPECT_EQ(s.model.lines[1].start, 3);
    ExpectSameAsFullRelayout(s);
    Undo(s); // and apart again
    ASSERT_EQ(s.model.lines.size(), 3);
    EXPECT_EQ(s.model.lines[1].start, 2);
    ExpectSameAsFullRelayout(s);

    s.model.anchor = s.model.caret = 2;
    ReplaceRange(s, 2, 2, u"x\r"); // inserted between CR and LF, ending in a CR
    EXPECT_EQ(s.model.text, u"a\rx\rb\nc");
    s.model.anchor = s.model.caret = 2;
    DeleteAtCaret(s, true); // the x: two lone CRs meet
    EXPECT_EQ(s.model.text, u"a\r\rb\nc");
    EXPECT_EQ(s.model.lines.size(), 4);
    ExpectSameAsFullRelayout(s);

    EditState t = MakeEdit(u"a\r\nb");
    t.model.anchor = t.model.caret = 2;
    TypeCharacter(t, u'x'); // before an LF that follows a CR: the pair splits
    EXPECT_EQ(t.model.text, u"a\rx\nb");
    EXPECT_EQ(t.model.lines.size(), 3);
    ExpectSameAsFullRelayout(t);
    DeleteAtCaret(t, false); // and joins again
    EXPECT_EQ(t.model.lines.size(), 2);
    EXPECT_EQ(t.model.lines[1].start, 3);
    ExpectSameAsFullRelayout(t);
    t.model.anchor = t.model.caret = 2;
    DeleteAtCaret(t, true); // the LF of the pair: the CR alone still ends the line
    EXPECT_EQ(t.model.text, u"a\rb");
    EXPECT_EQ(t.model.lines[1].start, 2);
    ExpectSameAsFullRelayout(t);
    Undo(t);
    t.model.anchor = t.model.caret = 2;
    DeleteAtCaret(t, false); // the CR of the pair: the LF alone ends it
    EXPECT_EQ(t.model.text, u"a\nb");
    EXPECT_EQ(t.model.lines[1].start, 2);
    ExpectSameAsFullRelayout(t);
}

TEST(EditIncrementalLayout, EditsAtTheVeryStartAndEnd) {
    EditState s = MakeEdit(u"\nab\r");
    ReplaceRange(s, 0, 0, u"\r"); // makes a pair with the first unit
    EXPECT_EQ(s.model.lines.size(), 3);
    EXPECT_EQ(s.model.lines[1].start, 2);
    ExpectSameAsFullRelayout(s);
    ReplaceRange(s, 5, 5, u"\n"); // completes a pair at the end: no new line
    EXPECT_EQ(s.model.text, u"\r\nab\r\n");
    ASSERT_EQ(s.model.lines.size(), 3);
    EXPECT_EQ(s.model.lines[2].start, 6);
    ExpectSameAsFullRelayout(s);
    s.model.anchor = s.model.caret = 6;
    DeleteAtCaret(s, false);
    DeleteAtCaret(s, false);
    EXPECT_EQ(s.model.text, u"\r\na");
    ExpectSameAsFullRelayout(s);
    s.model.anchor = s.model.caret = 0;
    DeleteAtCaret(s, true); // the leading pair
    TypeCharacter(s, u'\t');
    EXPECT_EQ(s.model.text, u"\ta");
    EXPECT_EQ(s.model.lines.size(), 1);
    EXPECT_EQ(s.model.lines.maxLineWidth(), 5 * 8);
    ExpectSameAsFullRelayout(s);
    s.model.anchor = 0;
    s.model.caret = 2;
    DeleteAtCaret(s, true);
    EXPECT_EQ(s.model.lines.size(), 1);
    EXPECT_EQ(s.model.lines.maxLineWidth(), 0);
    ExpectSameAsFullRelayout(s);
    TypeCharacter(s, u'\r');
    EXPECT_EQ(s.model.lines.size(), 2);
    ExpectSameAsFullRelayout(s);
}

// At 360 pixels and 8-pixel cells a row holds 40 cells beside a gutter of two
// digits, 39 beside three and 38 beside four.
TEST(EditIncrementalLayout, LineCountCrossingAPowerOfTenRewrapsEverything) {
    for (const bool wrap : {true, false}) {
        for (const int32_t lines : {99, 999}) {
            const int32_t cells = lines == 99 ? 40 : 39;
            const std::u16string line(static_cast<size_t>(cells), u'x');
            std::u16string text = Repeat(line + u"\r\n", lines - 1) + line;
            EditState s = MakeEdit(std::move(text), {360, 300, wrap, true});
            ASSERT_EQ(s.model.lines.size(), lines);
            EXPECT_EQ(s.model.lines.totalRows(), lines);
            s.model.anchor = s.model.caret = TextLength(s.model);
            TypeCharacter(s, u'\r');
            ASSERT_EQ(s.model.lines.size(), lines + 1);
            // Every full line now takes two rows when wrapping; the new one takes one.
            EXPECT_EQ(s.model.lines.totalRows(), wrap ? 2 * lines + 1 : lines + 1);
            ExpectSameAsFullRelayout(s);
            DeleteAtCaret(s, false);
            EXPECT_EQ(s.model.lines.totalRows(), lines);
            ExpectSameAsFullRelayout(s);
            Undo(s);
            EXPECT_EQ(s.model.lines.totalRows(), wrap ? 2 * lines + 1 : lines + 1);
            ExpectSameAsFullRelayout(s);
            // An edit in the middle, after the rewrap, is again a local one.
            s.model.anchor = s.model.caret = 5;
            TypeCharacter(s, u'y');
            ExpectSameAsFullRelayout(s);
        }
    }
}

// A view change between edits makes the next edit start from a fresh table.
TEST(EditIncrementalLayout, EditsAfterViewChangesUseTheNewView) {
    EditState s = MakeEdit(Repeat(u"abc\tdefghij ", 30) + u"\r\nxyz", {300, 200, true, true});
    s.model.anchor = s.model.caret = 7;
    TypeCharacter(s, u'q');
    SetWordWrap(s, false);
    TypeCharacter(s, u'\r');
    ExpectSameAsFullRelayout(s);
    SetClientSize(s, 120, 200);
    SetWordWrap(s, true);
    DeleteAtCaret(s, false);
    ExpectSameAsFullRelayout(s);
    SetShowLineNumbers(s, false);
    SetFontMetrics(s, nullptr, 5, 9);
    ReplaceRange(s, 3, 40, u"\t\t\n");
    ExpectSameAsFullRelayout(s);
    Undo(s);
    ExpectSameAsFullRelayout(s);
}

// Keystrokes in a long line of tabs, wide characters and marks, each after
// placing the caret, which walks the line, wrapped and not, undone now and
// then: the tables a full relayout makes.
TEST(EditIncrementalLayout, KeystrokesInALongLine) {
    const std::u16string pieces[] = {u"lorem ", u"\tab ", u"\u4E2D\u6587", u"e\u0301 "};
    std::mt19937 rng(31);
    auto pick = [&](int32_t n) { return std::uniform_int_distribution<int32_t>(0, n - 1)(rng); };
    for (const bool wrap : {true, false}) {
        std::u16string text;
        while (text.size() < 6000)
            text += pieces[pick(4)];
        EditState s = MakeEdit(text, {300, 200, wrap, true});
        for (int step = 0; step < 120 && !testing::Test::HasFatalFailure(); ++step) {
            const int32_t at = pick(TextLength(s.model) + 1);
            SetSelection(s, at, at);
            EnsureCaretVisible(s);
            const int32_t way = pick(8);
            if (way == 0)
                Undo(s);
            else if (way == 1)
                DeleteAtCaret(s, false);
            else
                TypeCharacter(s, u"x\t\u4E2D\u0301"[pick(4)]);
            TakeEffects(s);
            ASSERT_NO_FATAL_FAILURE(ExpectSameAsFullRelayout(s)) << "step " << step;
        }
    }
}

} // namespace
