// The conversions of stored settings that the registry tests cannot reach
// exactly: rounding on save, the face buffer, snapping to the menu speeds.
#include "app/settings_rules.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

TEST(AppSettingsRules, ScrollPercentForSaveRoundsAndLimits) {
    EXPECT_EQ(Settings_ScrollPercentForSave(0.25), 25u);
    EXPECT_EQ(Settings_ScrollPercentForSave(0.5), 50u);
    EXPECT_EQ(Settings_ScrollPercentForSave(1.3), 130u);
    EXPECT_EQ(Settings_ScrollPercentForSave(5.0), 500u);
    EXPECT_EQ(Settings_ScrollPercentForSave(7.5), 500u);
    EXPECT_EQ(Settings_ScrollPercentForSave(0.0), 10u);
    EXPECT_EQ(Settings_ScrollPercentForSave(-3.0), 10u);
    EXPECT_EQ(Settings_ScrollPercentForSave(std::numeric_limits<double>::quiet_NaN()), 10u);
    EXPECT_EQ(Settings_ScrollPercentForSave(0.114), 11u);
    EXPECT_EQ(Settings_ScrollPercentForSave(0.115), 12u);
    // Every menu speed survives a save and a load unchanged.
    for (double speed : kScrollSpeeds)
        EXPECT_DOUBLE_EQ(Settings_ScrollSpeedFromPercent(Settings_ScrollPercentForSave(speed)),
                         speed);
}

TEST(AppSettingsRules, FaceNameNeedsAFirstCharacterAndKeeps31) {
    char16_t empty[kFaceBufferUnits] = {};
    EXPECT_EQ(Settings_AcceptFaceName(empty), std::nullopt);

    char16_t face[kFaceBufferUnits] = {u'L', u'u', u'c', u'i', u'd', u'a'};
    EXPECT_EQ(Settings_AcceptFaceName(face), u"Lucida");

    // A vertical face counts as no face at all.
    char16_t vertical[kFaceBufferUnits] = {u'@', u'L', u'u', u'c', u'i', u'd', u'a'};
    EXPECT_EQ(Settings_AcceptFaceName(vertical), std::nullopt);
    EXPECT_FALSE(Settings_IsUsableFaceName(u"@"));
    EXPECT_TRUE(Settings_IsUsableFaceName(u"Lucida @ Console"));

    // A 32-unit read without a terminator loses its last unit.
    char16_t full[kFaceBufferUnits];
    for (char16_t& unit : full)
        unit = u'a';
    EXPECT_EQ(Settings_AcceptFaceName(full), std::u16string(31, u'a'));
}

TEST(AppSettingsRules, LoadedSpeedsSnapToTheMenuValues) {
    struct Case {
        double speed;
        int index;
    };
    const Case cases[] = {{0.1, 0},  {0.49, 0}, {0.5, 1},  {0.75, 1}, {0.76, 2}, {1.3, 2},
                          {1.5, 2},  {1.51, 3}, {2.0, 3},  {2.5, 3},  {2.6, 4},  {3.5, 4},
                          {3.51, 5}, {4.5, 5},  {4.51, 6}, {5.0, 6}};
    for (const Case& c : cases)
        EXPECT_EQ(Settings_SnapScrollSpeed(c.speed), c.index) << c.speed;
    // Every menu value snaps to itself.
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(Settings_SnapScrollSpeed(kScrollSpeeds[i]), i);
}
