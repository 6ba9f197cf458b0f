// Tab captions, the window title, the status texts and the close glyph.
#include "docs/document.h"
#include "docs/status_text.h"
#include "docs/tab_geometry.h"

#include <gtest/gtest.h>

TEST(DocsDocument, CaptionAndTitleFollowNameAndModifiedMark) {
    Document document;
    EXPECT_EQ(TabCaption(document), u" Untitled ");
    EXPECT_EQ(WindowTitle(&document), u"Untitled - Tessary");
    document.modified = true;
    EXPECT_EQ(TabCaption(document), u" *Untitled ");
    EXPECT_EQ(WindowTitle(&document), u"*Untitled - Tessary");

    document.displayName = u"a.txt";
    document.modified = false;
    EXPECT_EQ(TabCaption(document), u" a.txt ");
    EXPECT_EQ(WindowTitle(&document), u"a.txt - Tessary");

    document.displayName.clear();
    EXPECT_EQ(TabCaption(document), u" Untitled ");
    EXPECT_EQ(WindowTitle(&document), u"Untitled - Tessary");
    EXPECT_EQ(WindowTitle(nullptr), u"Untitled - Tessary");
}

TEST(DocsStatusText, PositionAndCharacterCode) {
    EXPECT_EQ(Status_PositionText(1, 1), u"Ln 1, Col 1");
    EXPECT_EQ(Status_PositionText(12345, 2), u"Ln 12345, Col 2");
    EXPECT_EQ(Status_CharCodeText(u'A'), u"x0041");
    EXPECT_EQ(Status_CharCodeText(u'\r'), u"x000D");
    EXPECT_EQ(Status_CharCodeText(u'\xFFFD'), u"xFFFD");
    EXPECT_EQ(Status_CharCodeText(u'\xD83D'), u"xD83D");
    EXPECT_EQ(Status_CharCodeText(0), u"----");
}

TEST(DocsTabGeometry, CloseGlyphAndCaptionRoom) {
    // Height 24: a 14-pixel glyph 8 pixels in from the right, centred.
    EXPECT_EQ(CloseGlyphRect(Box{0, 0, 120, 24}), (Box{98, 5, 112, 19}));
    // From 26 pixels up the glyph stays at 16.
    EXPECT_EQ(CloseGlyphRect(Box{120, 2, 300, 34}), (Box{276, 10, 292, 26}));
    // Never smaller than 10; the odd remainder is cut toward zero.
    EXPECT_EQ(CloseGlyphRect(Box{0, 0, 50, 15}), (Box{32, 2, 42, 12}));

    const Box item{0, 0, 120, 24};
    EXPECT_EQ(TabCaptionRect(item, CloseGlyphRect(item)), (Box{10, 0, 92, 24}));
    // A tab too narrow for a caption gets an empty room, not a negative one.
    const Box narrow{40, 0, 60, 24};
    const Box room = TabCaptionRect(narrow, CloseGlyphRect(narrow));
    EXPECT_EQ(room.left, 50);
    EXPECT_EQ(room.Width(), 0);
}
