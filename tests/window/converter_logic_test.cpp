#include "window/converter_logic.h"

#include <gtest/gtest.h>

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

TEST(ConverterLogic, EveryPathRecalculatesFromTheTextsOnScreen) {
    FakeWindow view;
    ConverterLogic logic(view, kGerman);
    logic.OnCalculateClicked();
    EXPECT_EQ(view.result, "41,8 % rel");

    view.fields["I2"] = "8,65";  // the key has already taken effect when the logic hears of it
    logic.OnInputKeyDown(kDigitFiveKeyCode);
    EXPECT_EQ(view.result, "42,1 % rel");

    view.fields = {{"I1", "20"}, {"I2", "17,3"}};
    logic.OnInputEdited();
    EXPECT_EQ(view.result, "100,0 % rel");
    EXPECT_FALSE(view.closed);
}

TEST(ConverterLogic, AFailureShowsNoResultOnEveryPathAndKeepsTheWindowOpen) {
    FakeWindow view;
    ConverterLogic logic(view, kGerman);
    logic.OnCalculateClicked();
    const double lastRel = logic.rel();

    for (const auto& [temperature, humidity] :
         {std::pair{"abc", "8,6"}, {"", "8,6"}, {"23,0", "8.6"}, {"-243,5", "8,6"}}) {
        view.fields = {{"I1", temperature}, {"I2", humidity}};
        view.result = "41,8 % rel";
        logic.OnCalculateClicked();
        EXPECT_EQ(view.result, "--- % rel") << temperature << " / " << humidity;
        view.result = "41,8 % rel";
        logic.OnInputKeyDown(kDigitFiveKeyCode);
        EXPECT_EQ(view.result, "--- % rel") << temperature << " / " << humidity;
        EXPECT_EQ(logic.rel(), lastRel) << "the formula never ran";
    }
    EXPECT_FALSE(view.closed);

    view.fields = {{"I1", "-40"}, {"I2", "8,6"}};  // the formula gives 4879.9: too large to show
    logic.OnInputEdited();
    EXPECT_EQ(view.result, "--- % rel");
    EXPECT_NEAR(logic.rel(), 4879.92, 0.01);
}

TEST(ConverterLogic, EscapeInAnInputFieldRecalculatesThenCloses) {
    FakeWindow view;
    ConverterLogic logic(view, kGerman);
    logic.OnInputKeyDown(kEscapeKeyCode);
    EXPECT_EQ(view.result, "41,8 % rel");
    EXPECT_TRUE(view.closed);

    FakeWindow failing;
    failing.fields["I1"] = "abc";
    ConverterLogic failingLogic(failing, kGerman);
    failingLogic.OnInputKeyDown(kEscapeKeyCode);
    EXPECT_TRUE(failing.closed) << "a failing recalculation must not keep the window open";
}

}  // namespace
