#include "conversion/recalculation.h"

#include <gtest/gtest.h>

#include <optional>

#include "tests/support/regional_settings.h"

namespace {

using namespace test_settings;
using conversion::FormatRelativeHumidity;
using conversion::Recalculate;
using runtime::ErrorKind;
using runtime::RegionalSettings;

struct Row {
    const char* temperature;
    const char* humidity;
    std::optional<std::string> expected;  // nullopt: the recalculation fails
};

void ExpectTexts(const RegionalSettings& settings, std::initializer_list<Row> rows) {
    for (const auto& [temperature, humidity, expected] : rows) {
        double rel = 0.0;
        const auto result = Recalculate(temperature, humidity, rel, settings);
        if (expected) {
            ASSERT_TRUE(result.ok())
                << temperature << " / " << humidity << ": " << result.error().message();
            EXPECT_EQ(*result, *expected) << temperature << " / " << humidity;
        } else {
            EXPECT_FALSE(result.ok()) << temperature << " / " << humidity << " gave " << *result;
        }
    }
}

TEST(Recalculate, GivesTheResultTextUnderGermanSettings) {
    ExpectTexts(kGerman, {
                             {"23,0", "8,6", "41,8 % rel"},
                             {"23,0", "8,65", "42,1 % rel"},
                             {"25", "23", "99,9 % rel"},
                             {"20", "17,3", "100,0 % rel"},  // capped
                             {"2", "8", "100,0 % rel"},
                             {"23", "673,5", "100,0 % rel"},  // 32767 tenths, then capped
                             {"23", "0", "0,0 % rel"},
                             {"23", "-1", "-4,9 % rel"},
                             {"23", "-0,001", "0,0 % rel"},  // rounds to zero: no minus sign
                             {"-273,15", "5", "0,0 % rel"},
                             {"23", "673,6", std::nullopt},  // 32772 tenths
                             {"-40", "8,6", std::nullopt},   // 48799 tenths
                             {"-243,5", "8,6", std::nullopt},
                             {"", "8,6", std::nullopt},
                             {"abc", "8,6", std::nullopt},
                             {"23,0", "", std::nullopt},
                             {"23,0", "abc", std::nullopt},
                             {"23.0", "8.6", std::nullopt},  // never read as 230 and 86
                             {"1e400", "8,6", std::nullopt},
                         });
}

TEST(Recalculate, WritesWithTheSettingsOwnSigns) {
    ExpectTexts(kEnglish, {{"23.0", "8.6", "41.8 % rel"}, {"23,0", "8,6", std::nullopt}});
    ExpectTexts(kMultiByte, {{"23\u066B0", "8\u066B6", "41\u066B8 % rel"},
                             {"23", "\u22121", "\u22124\u066B9 % rel"}});
}

TEST(Recalculate, SetsRelOnlyOnceTheFormulaHasAResult) {
    const struct {
        const char* temperature;
        const char* humidity;
        double expectedRel;
    } rows[] = {
        {"abc", "8,6", -1.0},                  // not a number: untouched
        {"23", "", -1.0},                      // ...
        {"-243,5", "1", -1.0},                 // the formula fails: untouched
        {"23", "673,6", 3277.16259980368897},  // only the result text fails: set
        {"23,0", "8,6", 41.8402588454746513},
    };
    for (const auto& [temperature, humidity, expectedRel] : rows) {
        double rel = -1.0;
        (void)Recalculate(temperature, humidity, rel, kGerman);
        EXPECT_DOUBLE_EQ(rel, expectedRel) << temperature << " / " << humidity;
    }
}

TEST(FormatRelativeHumidity, RoundsToTenthsHalvesToEvenAndCaps) {
    const struct {
        double relativeHumidity;
        std::optional<std::string> expected;
    } rows[] = {
        {0.25, "0,2 % rel"},  // tenfold exactly 2.5
        {0.35, "0,4 % rel"},  // tenfold exactly 3.5
        {-0.25, "-0,2 % rel"},   {-0.04, "0,0 % rel"},        {99.94, "99,9 % rel"},
        {99.95, "100,0 % rel"},  {100.0, "100,0 % rel"},      {3276.74, "100,0 % rel"},
        {3276.75, std::nullopt}, {-3276.84, "-3276,8 % rel"}, {-3276.86, std::nullopt},
        {1e308, std::nullopt},
    };
    for (const auto& [relativeHumidity, expected] : rows) {
        const auto result = FormatRelativeHumidity(relativeHumidity, kGerman);
        if (expected) {
            ASSERT_TRUE(result.ok()) << relativeHumidity;
            EXPECT_EQ(*result, *expected) << relativeHumidity;
        } else {
            EXPECT_FALSE(result.ok()) << relativeHumidity << " gave " << *result;
        }
    }
    EXPECT_EQ(FormatRelativeHumidity(3276.75, kGerman).error().kind(),
              ErrorKind::OutOfIntegerRange);
}

}  // namespace
