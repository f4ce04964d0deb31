#include "conversion/recalculation.h"

#include <gtest/gtest.h>

#include <optional>

#include "tests/support/regional_settings.h"

namespace {

using namespace test_settings;
using conversion::Recalculate;
using std::nullopt;  // the recalculation fails

std::optional<std::string> TextOf(const runtime::Result<std::string>& result) {
    return result.ok() ? std::optional(*result) : nullopt;
}

struct Row {
    const char* temperature;
    const char* humidity;
    std::optional<std::string> expected;
};

void ExpectTexts(const runtime::RegionalSettings& settings, std::initializer_list<Row> rows) {
    for (const auto& [temperature, humidity, expected] : rows) {
        double rel = 0.0;
        EXPECT_EQ(TextOf(Recalculate(temperature, humidity, rel, settings)), expected)
            << temperature << " / " << humidity;
    }
}

TEST(Recalculate, GivesTheResultTextUnderGermanSettings) {
    ExpectTexts(kGerman, {
                             {"23,0", "8,6", "41,8 % rel"},
                             {"23,0", "8,65", "42,1 % rel"},
                             {"23", "673,5", "100,0 % rel"},  // 32767 tenths, then capped
                             {"23", "-1", "-4,9 % rel"},
                             {"23", "673,6", nullopt},  // 32772 tenths
                             {"-243,5", "8,6", nullopt},
                             {"23,0", "abc", nullopt},
                             {"23.0", "8.6", nullopt},  // never read as 230 and 86
                         });
}

TEST(Recalculate, ReadsAndWritesInTheSettingsOwnFormat) {
    ExpectTexts(kEnglish, {{"23.0", "8.6", "41.8 % rel"}, {"23,0", "8,6", nullopt}});
    ExpectTexts(kArabic, {{"\u0662\u0663", "\u0668\u066B\u0666", "\u0664\u0661\u066B\u0668 % rel"},
                          {"23", "-1", "\u061C-\u0664\u066B\u0669 % rel"}});
    ExpectTexts(kPersian,
                {{"\u06F2\u06F3", "\u06F8\u066B\u06F6", "\u06F4\u06F1\u066B\u06F8 % rel"}});
}

TEST(Recalculate, SetsRelOnlyOnceTheFormulaHasAResult) {
    double rel = -1.0;
    static_cast<void>(Recalculate("abc", "8,6", rel, kGerman));
    static_cast<void>(Recalculate("-243,5", "1", rel, kGerman));
    EXPECT_EQ(rel, -1.0) << "the formula never gave a result";
    static_cast<void>(Recalculate("23", "673,6", rel, kGerman));  // only the result text fails
    EXPECT_EQ(rel, 3277.162599803688);
}

TEST(FormatRelativeHumidity, RoundsToTenthsHalvesToEvenAndCaps) {
    const struct {
        double relativeHumidity;
        std::optional<std::string> expected;
    } rows[] = {
        {0.25, "0,2 % rel"},  // tenfold exactly 2.5
        {0.35, "0,4 % rel"},  // tenfold exactly 3.5
        {-0.25, "-0,2 % rel"},       {99.94, "99,9 % rel"},    {99.95, "100,0 % rel"},
        {100.0, "100,0 % rel"},      {3276.74, "100,0 % rel"}, {3276.75, nullopt},
        {-3276.84, "-3276,8 % rel"}, {-3276.86, nullopt},      {1e308, nullopt},
    };
    for (const auto& [relativeHumidity, expected] : rows) {
        EXPECT_EQ(TextOf(conversion::FormatRelativeHumidity(relativeHumidity, kGerman)), expected)
            << relativeHumidity;
    }
}

}  // namespace
