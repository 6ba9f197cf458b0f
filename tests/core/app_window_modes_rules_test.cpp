// The font dialog's size rule and the About text.
#include "app/window_modes_rules.h"
#include "tessary_version.h"

#include <gtest/gtest.h>

TEST(AppWindowModesRules, DialogSizeIsTruncatedAndMustLieIn6To200) {
    EXPECT_EQ(ChosenFontSize(110), 11);
    EXPECT_EQ(ChosenFontSize(145), 14); // tenths are dropped, not rounded
    EXPECT_EQ(ChosenFontSize(60), 6);
    EXPECT_EQ(ChosenFontSize(2009), 200);
    EXPECT_EQ(ChosenFontSize(59), std::nullopt);
    EXPECT_EQ(ChosenFontSize(40), std::nullopt);
    EXPECT_EQ(ChosenFontSize(2010), std::nullopt);
    EXPECT_EQ(ChosenFontSize(2500), std::nullopt);
    EXPECT_EQ(ChosenFontSize(0), std::nullopt);
    EXPECT_EQ(ChosenFontSize(-110), std::nullopt);
}

TEST(AppWindowModesRules, AboutTextCarriesTheVersionOrTheFallback) {
    const std::u16string rest = u"\n\n"
                                u"A small, fast plain-text editor for Windows.\n"
                                u"Tabs, word wrap, line numbers and unlimited undo.\n"
                                u"\n"
                                u"Home page and issue tracker:\n"
                                u"https://tessary.orvanel.example\n"
                                u"https://tessary.orvanel.example/issues";
    EXPECT_EQ(AboutText(u"1.0.2"), u"Version 1.0.2" + rest);
    EXPECT_EQ(AboutText(u""), u"Version " TESSARY_VERSION_TEXT + rest); // the build's own
    EXPECT_EQ(AboutText(u"2.5.0-beta"), u"Version 2.5.0-beta" + rest);
}
