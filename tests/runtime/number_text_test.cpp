#include "runtime/number_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "tests/support/regional_settings.h"

namespace {

using namespace test_settings;
using runtime::RegionalSettings;

struct Reading {
    const char* text;
    double expected;
};

void ExpectReads(const RegionalSettings& settings, std::initializer_list<Reading> readings) {
    for (const auto& [text, expected] : readings) {
        const auto result = runtime::ReadNumber(text, settings);
        ASSERT_TRUE(result.ok()) << '"' << text << '"';
        EXPECT_EQ(*result, expected) << '"' << text << '"';
        EXPECT_EQ(std::signbit(*result), std::signbit(expected)) << '"' << text << '"';
    }
}

void ExpectRejects(const RegionalSettings& settings, std::initializer_list<std::string> texts) {
    for (const auto& text : texts) {
        const auto result = runtime::ReadNumber(text, settings);
        ASSERT_FALSE(result.ok()) << '"' << text << "\" read as " << *result;
        EXPECT_EQ(result.error().kind(), runtime::ErrorKind::NotANumber) << '"' << text << '"';
    }
}

TEST(ReadNumber, ReadsWhatAPersonTypesUnderGermanSettings) {
    ExpectReads(kGerman, {
                             {"23,0", 23.0},
                             {"8,6", 8.6},
                             {"8,65", 8.65},
                             {"  17,3\t", 17.3},
                             {"-1", -1.0},
                             {"+2,5", 2.5},
                             {",5", 0.5},
                             {"5,", 5.0},
                             {"1,5e3", 1500.0},
                             {"1,5E-1", 0.15},
                             {"2e+2", 200.0},
                             {"-0", -0.0},
                             {"0008,60", 8.6},
                             {"1e-400", 0.0},  // too small for a double: zero
                             {"-1e-400", -0.0},
                             {"1,7976931348623157e308", 1.7976931348623157e308},
                         });
}

TEST(ReadNumber, RejectsWhatIsNotANumber) {
    ExpectRejects(kGerman, {"",
                            "   ",
                            "abc",
                            "8.6",
                            "1.000",
                            "1.000,5",
                            "1 000",
                            "1'000",
                            "8,6,",
                            "8,,6",
                            ",",
                            "-",
                            "+-1",
                            "--1",
                            "- 1",
                            "1e",
                            "1e+",
                            "e5",
                            ",e1",
                            "inf",
                            "-inf",
                            "nan",
                            "NaN",
                            "infinity",
                            "0x1A",
                            "1e400",
                            "-1e400",
                            "1,8e308",
                            "23,0abc",
                            "23 0",
                            "8,6%",
                            "\xe2\x88\x92"
                            "1",
                            std::string("8\0", 2) + "6"});
    ExpectRejects(kEnglish, {"8,6", "23,0", "1,000.5"});
}

TEST(ReadNumber, UsesTheSettingsSeparatorAndMinusSign) {
    ExpectReads(kEnglish, {{"8.6", 8.6}, {"-4.5", -4.5}, {".5", 0.5}});
    ExpectReads(kMultiByte,
                {{"23\u066B0", 23.0}, {"\u22121\u066B5", -1.5}, {"-2", -2.0}, {"1e\u22122", 0.01}});
    ExpectRejects(kMultiByte, {"8,6", "8.6", "\u066B", "\u2212", "8\xd9"});
}

TEST(ReadNumber, CopesWithAMegabyteOfPastedText) {
    const std::string zeros(1 << 20, '0');
    ExpectReads(kGerman,
                {{(zeros + "1,5").c_str(), 1.5}, {("0," + zeros + "1e1048578").c_str(), 10.0}});
    ExpectRejects(kGerman,
                  {"1" + zeros, std::string(1 << 20, 'x'), zeros + "x", "1,1" + zeros + ","});
}

TEST(FormatNumber, WritesThePatternsDigitsWithRegionalSigns) {
    const struct {
        float value;
        const char* pattern;
        const RegionalSettings& settings;
        const char* expected;
    } cases[] = {
        {41.8F, "##0.0", kGerman, "41,8"},
        {100.0F, "##0.0", kGerman, "100,0"},
        {0.2F, "##0.0", kGerman, "0,2"},
        {-4.9F, "##0.0", kGerman, "-4,9"},
        {-3276.8F, "##0.0", kGerman, "-3276,8"},
        {1234.5F, "##0.0", kEnglish, "1234.5"},  // no grouping
        {-0.0F, "##0.0", kGerman, "0,0"},
        {-0.04F, "##0.0", kGerman, "0,0"},  // never "-0,0"
        {-4.9F, "##0.0", kMultiByte, "\u22124\u066B9"},
        {7.0F, "000", kGerman, "007"},
        {0.25F, "#.00", kGerman, ",25"},
    };
    for (const auto& [value, pattern, settings, expected] : cases) {
        EXPECT_EQ(runtime::FormatNumber(value, pattern, settings), expected)
            << value << " as " << pattern;
    }
}

}  // namespace
