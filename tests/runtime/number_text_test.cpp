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
        EXPECT_FALSE(result.ok()) << '"' << text << "\" read as " << *result;
    }
}

TEST(ReadNumber, ReadsWhatAPersonTypesUnderGermanSettings) {
    ExpectReads(kGerman, {{"8,65", 8.65},
                          {"  17,3\t", 17.3},
                          {"-1", -1.0},
                          {"+2,5", 2.5},
                          {",5", 0.5},
                          {"5,", 5.0},
                          {"1,5e3", 1500.0},
                          {"1,5E-1", 0.15},
                          {"2e+2", 200.0},
                          {"-0", -0.0},
                          {"-1e-400", -0.0},
                          {"0,01e-9223372036854775808", 0.0},
                          {"1,7976931348623157e308", 1.7976931348623157e308}});
}

// Also digits of two scripts, and an '8' written in two bytes, which UTF-8 forbids.
TEST(ReadNumber, RejectsWhatIsNotANumber) {
    ExpectRejects(kGerman, {"",         "   ",     "abc",      "8.6",
                            "1.000",    "1 000",   "8,6,",     "8,,6",
                            ",",        "-",       "+-1",      "--1",
                            "- 1",      "1e",      "1e+",      "e5",
                            ",e1",      "inf",     "nan",      "0x1A",
                            "1e400",    "99e9223372036854775807", "1,8e308", "23,0abc",  "23 0",
                            "8,6%",     "\u2212",  "\u200E",   "8\u00A0,6",
                            "8\u200E6", "2\u0663", "\xC0\xB8", std::string("8\0", 2) + "6"});
    ExpectRejects(kEnglish, {"8,6", "1,000.5"});
}

// fa_IR and ar_EG keyboards type their own digits; texts copied from documents and web pages
// carry no-break and thin spaces; a minus sign or a number may come with direction marks.
TEST(ReadNumber, ReadsEveryKeyboardsDigitsSpacesAndMarks) {
    ExpectReads(kPersian, {{"\u06F8\u066B\u06F6", 8.6},
                           {"\u200E\u2212\u06F4\u066B\u06F9", -4.9},
                           {"\u2212\u06F4\u066B\u06F9", -4.9},  // the minus without its mark
                           {"\u06F2\u0663", 23.0},  // Persian and Arabic-Indic digits look alike
                           {"1\u066B5", 1.5}});
    ExpectReads(kArabic, {{"\u0668\u066B\u0666", 8.6},
                          {"\u061C-\u0664\u066B\u0669", -4.9},
                          {"\u200F-\u0664\u066B\u0669\u200F", -4.9},
                          {"-\u0661e\u0662", -100.0}});
    ExpectReads(kGerman, {{"8,65\u00A0", 8.65},
                          {"\u06F8\u066B\u06F6", 8.6},  // a Persian keyboard, whatever the locale
                          {"\u202F8,65\u2009", 8.65},
                          {"\uFF18,\uFF16", 8.6},  // fullwidth, as East Asian input methods type
                          {"\u096E,\u096C", 8.6},  // Devanagari
                          {"\u200E-\u200E8,6", -8.6}});
}

// Copied from a web page or a document: the true minus sign and the en dash, in a number or its
// exponent, under every setting.
TEST(ReadNumber, ReadsTheMinusSignsOfPrintedText) {
    for (const auto* settings : {&kGerman, &kEnglish, &kPersian, &kArabic}) {
        ExpectReads(*settings, {{" \u221210 ", -10.0}, {"\u201310", -10.0},
                                {"\u200E\u22121e\u22121", -0.1}, {"1e\u20132", 0.01}});
        ExpectRejects(*settings, {"\u2212\u22121", "1\u2212", "\u2014" "1", "\u2010" "1"});
    }
}

// Each of the digit sets that keyboards and input methods type, all ten digits of it, under
// settings that write numbers with another set. A set's digits differ in their last byte only.
TEST(ReadNumber, ReadsEveryDigitOfEverySet) {
    const auto digit = [](std::string zero, int value) {
        zero.back() = static_cast<char>(zero.back() + value);
        return zero;
    };
    for (const std::string zero :
         {"0", "\u0660", "\u06F0", "\u07C0", "\u0966", "\u09E6", "\u0A66", "\u0AE6", "\u0B66",
          "\u0BE6", "\u0C66", "\u0CE6", "\u0D66", "\u0E50", "\u0ED0", "\u0F20", "\u1040", "\u17E0",
          "\u1810", "\u1C50", "\uABF0", "\uFF10"}) {  // ASCII ... Meetei Mayek, fullwidth
        std::string text;
        for (const int value : {1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 5}) text += digit(zero, value);
        for (const auto* settings : {&kEnglish, &kPersian}) {
            const auto read = runtime::ReadNumber(text, *settings);
            ASSERT_TRUE(read.ok()) << zero;
            EXPECT_EQ(*read, 12345678905.0) << zero;
        }
        ExpectRejects(kEnglish, {digit(zero, -1), digit(zero, 10)});
    }
}

TEST(ReadNumber, CopesWithAMegabyteOfPastedText) {
    const std::string zeros(1 << 20, '0');
    ExpectReads(kGerman,
                {{(zeros + "1,5").c_str(), 1.5}, {("0," + zeros + "1e1048578").c_str(), 10.0}});
    ExpectRejects(kGerman, {"1" + zeros, zeros + "x"});
}

TEST(FormatNumber, WritesThePatternsDigitsWithRegionalSigns) {
    const struct {
        float value;
        const char* pattern;
        const RegionalSettings& settings;
        const char* expected;
    } cases[] = {
        {41.8F, "##0.0", kGerman, "41,8"},
        {0.2F, "##0.0", kGerman, "0,2"},
        {-3276.8F, "##0.0", kGerman, "-3276,8"},
        {1234.5F, "##0.0", kEnglish, "1234.5"},  // no grouping
        {-0.04F, "##0.0", kGerman, "0,0"},       // never "-0,0"
        {41.8F, "##0.0", kPersian, "\u06F4\u06F1\u066B\u06F8"},
        {-4.9F, "##0.0", kArabic, "\u061C-\u0664\u066B\u0669"},
    };
    for (const auto& [value, pattern, settings, expected] : cases) {
        EXPECT_EQ(runtime::FormatNumber(value, pattern, settings), expected)
            << value << " as " << pattern;
    }
}

// Every result the window can show reads back as the same number, whatever the format.
TEST(FormatNumber, ReadsBackAsTheSameNumber) {
    for (const auto* settings : {&kGerman, &kEnglish, &kPersian, &kArabic}) {
        for (int tenths = -32768; tenths <= 1000; ++tenths) {
            const auto value = static_cast<float>(tenths / 10.0);
            const auto text = runtime::FormatNumber(value, "##0.0", *settings);
            const auto read = runtime::ReadNumber(text, *settings);
            ASSERT_TRUE(read.ok()) << text;
            ASSERT_EQ(static_cast<float>(*read), value) << text;
        }
    }
}

}  // namespace
