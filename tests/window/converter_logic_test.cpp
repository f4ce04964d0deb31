#include "window/converter_logic.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/regional_settings.h"
#include "window/pictures.h"

namespace {

using namespace test_settings;
using window::ConverterLogic;
using window::FieldTexts;
using window::Key;
using window::Reaction;

const window::ControlDescription& Control(std::string_view name) {
    for (const auto& control : window::kConverterWindow.controls) {
        if (control.name == name) return control;
    }
    throw std::invalid_argument("no such control");
}

TEST(ConverterLogic, ShowsTheInitialNumbersInTheUsersFormat) {
    const ConverterLogic english(kEnglish);
    const ConverterLogic persian(kPersian);
    EXPECT_EQ(ConverterLogic(kGerman).InitialText(Control("I1")), "23,0");
    EXPECT_EQ(english.InitialText(Control("I2")), "8.6");
    EXPECT_EQ(persian.InitialText(Control("I1")), "\u06F2\u06F3\u066B\u06F0");
    EXPECT_EQ(persian.InitialText(Control("Text1")), "--- % rel");
}

// A minus sign that begins with a direction mark would be drawn after the number in a field that
// reads left to right ("٤٫٩- % rel"): shown without the mark, read with it.
TEST(ConverterLogic, NegativeResultsStartWithTheirSign) {
    const Reaction shown =
        ConverterLogic(kArabic).OnCalculateClicked({"\u0662\u0663", "\u061C-\u0661"});
    EXPECT_EQ(shown.result, "-\u0664\u066B\u0669 % rel");
}

// What a sequence of events shows: the result after each event ("" where it shows nothing new),
// "close" where it closes the window. A key's changes wait for the key to end: one recalculation.
TEST(ConverterLogic, RecalculatesOnceForEveryKeyAndEveryOtherChange) {
    const FieldTexts start{"23,0", "8,6"}, typed{"23,0", "8,65"}, wrong{"abc", "8,6"};
    const FieldTexts tooLarge{"-40", "8,6"};  // 4879.9: too large to show
    struct Step {
        const char* event;
        FieldTexts texts;
        const char* shown;
    };
    const std::vector<std::vector<Step>> cases = {
        {{"click", start, "41,8 % rel"}, {"click", wrong, "--- % rel"}},
        {{"key", typed, ""}, {"changed", typed, ""}, {"handled", typed, "42,1 % rel"}},
        {{"key", start, ""}, {"handled", start, "41,8 % rel"}},  // a key that changes nothing
        {{"changed", typed, "42,1 % rel"}, {"changed", tooLarge, "--- % rel"}},
        {{"tab", start, ""}, {"changed", typed, ""}, {"handled", typed, ""}},
        {{"escape", wrong, ""}, {"handled", wrong, "--- % rel | close"}},
        {{"handled", start, ""}},  // no key to end
    };
    for (const auto& steps : cases) {
        ConverterLogic logic(kGerman);
        for (const auto& [event, texts, shown] : steps) {
            const std::string name = event;
            Reaction reaction;
            if (name == "click") reaction = logic.OnCalculateClicked(texts);
            if (name == "key") reaction = logic.OnKeyDown(Key::Other);
            if (name == "tab") reaction = logic.OnKeyDown(Key::Tab);
            if (name == "escape") reaction = logic.OnKeyDown(Key::Escape);
            if (name == "changed") reaction = logic.OnTextChanged(texts);
            if (name == "handled") reaction = logic.OnKeyHandled(texts);
            const std::string got =
                reaction.result.value_or("") + (reaction.close ? " | close" : "");
            EXPECT_EQ(got, shown) << steps.front().event << " ... " << event;
        }
    }
}

// The keypad's decimal key types the separator of the settings in force, which may change.
TEST(ConverterLogic, KeypadDecimalAndSettingsChangesFollowTheUsersFormat) {
    ConverterLogic logic(kGerman);
    EXPECT_EQ(logic.OnKeyDown(Key::KeypadDecimal).typeInstead, ",");
    EXPECT_EQ(logic.OnKeyHandled({"23,0", "8,65"}).result, "42,1 % rel");
    EXPECT_EQ(logic.OnSettingsChanged(kEnglish, {"23.0", "8.6"}).result, "41.8 % rel");
    EXPECT_EQ(logic.OnKeyDown(Key::KeypadDecimal).typeInstead, ".");
    EXPECT_EQ(logic.OnSettingsChanged(kPersian, {"23", "8\u066B6"}).result,
              "\u06F4\u06F1\u066B\u06F8 % rel");
}

TEST(ConverterLogic, PastedTextKeepsItsFirstLine) {
    using namespace std::string_view_literals;
    for (const auto& [pasted, kept] : {std::pair{"9,1\r\n2"sv, "9,1"sv}, {"9,1\r"sv, "9,1"sv},
                                       {"9,1\n"sv, "9,1"sv}, {"9\0,1"sv, "9"sv},
                                       {"\n9"sv, ""sv}, {"9,1"sv, "9,1"sv}}) {
        EXPECT_EQ(window::FirstLine(pasted), kept);
    }
}

TEST(Pictures, ScaleAndBackgroundChooseTheDrawing) {
    const std::pair<int, int> scales[] = {{100, 100}, {101, 125}, {125, 125}, {150, 150},
                                          {175, 200}, {250, 300}, {400, 300}};
    for (const auto& [percent, drawn] : scales) EXPECT_EQ(window::PictureScaleFor(percent), drawn);
    EXPECT_FALSE(window::IsDarkBackground(0xF0, 0xF0, 0xF0));  // Windows' button face
    EXPECT_FALSE(window::IsDarkBackground(0x80, 0x80, 0x80));
    EXPECT_TRUE(window::IsDarkBackground(0x2D, 0x2D, 0x2D));
    EXPECT_TRUE(window::IsDarkBackground(0x00, 0x00, 0x00));   // high contrast black
    EXPECT_TRUE(window::IsDarkBackground(0x00, 0x00, 0x80));   // a dark blue
}

}  // namespace
