#include "edit_fixture.h"

#include "editctl/text_model.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace {

struct Span {
    int32_t start;
    int32_t length;
    bool operator==(const Span&) const = default;
};

std::vector<Span> Lines(const EditState& s) {
    std::vector<Span> spans;
    for (int32_t i = 0; i < s.model.lines.size(); ++i)
        spans.push_back({s.model.lines[i].start, s.model.lines[i].length});
    return spans;
}

TEST(EditTextModel, EachBreakStyleEndsOneLine) {
    EXPECT_EQ(Lines(MakeEdit(u"")), (std::vector<Span>{{0, 0}}));
    EXPECT_EQ(MakeEdit(u"").model.lines.totalRows(), 1);
    EXPECT_EQ(Lines(MakeEdit(u"a\r\n")), (std::vector<Span>{{0, 1}, {3, 0}}));
    EXPECT_EQ(Lines(MakeEdit(u"x\ry\nz")), (std::vector<Span>{{0, 1}, {2, 1}, {4, 1}}));
    // LF CR is two breaks, not a pair; CR CR LF is a lone CR and a pair.
    EXPECT_EQ(Lines(MakeEdit(u"a\n\rb")), (std::vector<Span>{{0, 1}, {2, 0}, {3, 1}}));
    EXPECT_EQ(Lines(MakeEdit(u"\r\r\n")), (std::vector<Span>{{0, 0}, {1, 0}, {3, 0}}));
    // Other control units are ordinary one-cell characters.
    EXPECT_EQ(Lines(MakeEdit(std::u16string(u"a\vb\fc\0d\x1b", 8))), (std::vector<Span>{{0, 8}}));
    EXPECT_TRUE(MakeEdit(u"a\tb\r\nc").model.lines[0].hasTab);
    EXPECT_FALSE(MakeEdit(u"a\tb\r\nc").model.lines[1].hasTab);
}

TEST(EditTextModel, LocateLineClampsToLinesAndText) {
    const EditState s = MakeEdit(u"a\r\nbc\rd");
    auto at = [&](int32_t p) {
        const LineLocation l = LocateLine(s.model, p);
        return std::pair(l.line, l.offset);
    };
    EXPECT_EQ(at(0), std::pair(0, 0));
    EXPECT_EQ(at(2), std::pair(0, 1)); // between CR and LF: end of its line
    EXPECT_EQ(at(3), std::pair(1, 0));
    EXPECT_EQ(at(5), std::pair(1, 2));
    EXPECT_EQ(at(7), std::pair(2, 1));
    EXPECT_EQ(at(-4), std::pair(0, 0));
    EXPECT_EQ(at(99), std::pair(2, 1));
    EXPECT_EQ(LocateLine(TextModel{}, 5).line, 0); // no lines yet
}

TEST(EditTextModel, PrimitivesEditOnlyTheText) {
    EditState s = MakeEdit(u"hello");
    s.model.anchor = s.model.caret = 5;
    EraseText(s.model, 3, 100); // count beyond the end takes the rest
    EXPECT_EQ(s.model.text, u"hel");
    EXPECT_EQ(s.model.caret, 5); // the callers move the selection
    InsertText(s.model, 3, u"p!");
    EXPECT_EQ(s.model.text, u"help!");
    InsertText(s.model, 0, s.model.text.view(2, 3)); // a view of the text itself
    EXPECT_EQ(s.model.text, u"lp!help!");
    EXPECT_THROW(EraseText(s.model, 9, 1), std::out_of_range);
    EXPECT_THROW(InsertText(s.model, 9, u"x"), std::out_of_range);
}

} // namespace
