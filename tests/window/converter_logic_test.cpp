#include "window/converter_logic.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>

#include "tests/support/regional_settings.h"

namespace {

using namespace test_settings;
using window::ConverterLogic;
using window::kEscapeKeyCode;

constexpr int kDigitFiveKeyCode = 0x35;

class FakeWindow : public window::ConverterView {
  public:
    std::string FieldText(std::string_view field) const override {
        return fields.at(std::string(field));
    }
    void ShowResult(std::string_view text) override { result = text; }
    void Close() override { closed = true; }

    std::map<std::string, std::string> fields{{"I1", "23,0"}, {"I2", "8,6"}};
    std::string result = "--- % rel";
    bool closed = false;
};

TEST(ConverterLogic, ShowsTheInitialNumbersInTheUsersFormat) {
    FakeWindow view;
    const ConverterLogic english(view, kEnglish);
    const ConverterLogic persian(view, kPersian);
    EXPECT_EQ(ConverterLogic(view, kGerman).InitialText(window::Control("I1")), "23,0");
    EXPECT_EQ(english.InitialText(window::Control("I2")), "8.6");
    EXPECT_EQ(persian.InitialText(window::Control("I1")), "\u06F2\u06F3\u066B\u06F0");
    EXPECT_EQ(persian.InitialText(window::Control("Text1")), "--- % rel");
}

// A minus sign that begins with a direction mark would be drawn after the number in a field that
// reads left to right ("٤٫٩- % rel"): shown without the mark, read with it.
TEST(ConverterLogic, NegativeResultsStartWithTheirSign) {
    FakeWindow view;
    view.fields = {{"I1", "\u0662\u0663"}, {"I2", "\u061C-\u0661"}};
    ConverterLogic(view, kArabic).OnCalculateClicked();
    EXPECT_EQ(view.result, "-\u0664\u066B\u0669 % rel");
}

// The button, a key (which has already taken effect when the logic hears of it) and any other
// edit all show the result of the texts on screen, or the no-result text, and keep the window open.
TEST(ConverterLogic, EveryPathShowsTheResultOfTheTextsOnScreen) {
    const std::function<void(ConverterLogic&)> paths[] = {
        [](ConverterLogic& logic) { logic.OnCalculateClicked(); },
        [](ConverterLogic& logic) { logic.OnInputKeyDown(kDigitFiveKeyCode); },
        [](ConverterLogic& logic) { logic.OnInputEdited(); },
    };
    const struct {
        const char* temperature;
        const char* humidity;
        const char* shown;
    } cases[] = {
        {"23,0", "8,65", "42,1 % rel"}, {"20", "17,3", "100,0 % rel"}, {"abc", "8,6", "--- % rel"},
        {"-243,5", "8,6", "--- % rel"}, {"-40", "8,6", "--- % rel"},  // 4879.9: too large to show
    };
    for (const auto& path : paths) {
        for (const auto& [temperature, humidity, shown] : cases) {
            FakeWindow view;
            view.fields = {{"I1", temperature}, {"I2", humidity}};
            view.result = "41,8 % rel";
            ConverterLogic logic(view, kGerman);
            path(logic);
            EXPECT_EQ(view.result, shown) << temperature << " / " << humidity;
            EXPECT_FALSE(view.closed);
        }
    }
}

// Escape recalculates and closes the window, also when the recalculation fails.
TEST(ConverterLogic, EscapeInAnInputFieldRecalculatesThenCloses) {
    for (const auto& [temperature, shown] :
         {std::pair{"23,0", "41,8 % rel"}, {"abc", "--- % rel"}}) {
        FakeWindow view;
        view.fields["I1"] = temperature;
        ConverterLogic(view, kGerman).OnInputKeyDown(kEscapeKeyCode);
        EXPECT_EQ(view.result, shown);
        EXPECT_TRUE(view.closed);
    }
}

}  // namespace
