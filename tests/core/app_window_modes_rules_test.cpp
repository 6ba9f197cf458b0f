// The font dialog's size rule and the About text.
#include "app/window_modes_rules.h"

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

// The version opens the text on a line of its own, the build's own when the
// version block has none; the rest does not depend on it.
TEST(AppWindowModesRules, AboutTextCarriesTheVersionOrTheFallback) {
    const std::u16string rest =
        AboutText(kFallbackVersion)
            .substr(std::u16string(u"Version ").size() + std::u16string(kFallbackVersion).size());
    ASSERT_EQ(rest.rfind(u"\n\n", 0), 0u);
    ASSERT_GT(rest.size(), 2u);
    for (const std::u16string version : {u"2.5.0-beta", u"10.0", u"", u"x"}) {
        const std::u16string shown = version.empty() ? kFallbackVersion : version;
        EXPECT_EQ(AboutText(version), u"Version " + shown + rest);
    }
}
