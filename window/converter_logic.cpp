#include "window/converter_logic.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <utility>

#include "conversion/recalculation.h"
#include "runtime/number_text.h"

namespace window {
namespace {

// The window reads left to right on every platform. Some locales begin their minus sign with an
// invisible direction mark (ar_EG: U+061C) that turns a negative result around, "٤٫٩- % rel";
// without the mark the sign stands before the number, as the locale means it to be read.
runtime::RegionalSettings LeftToRight(runtime::RegionalSettings settings) {
    for (const std::string_view mark : {"\u200E", "\u200F", "\u061C"}) {
        for (auto at = settings.minusSign.find(mark); at != std::string::npos;
             at = settings.minusSign.find(mark)) {
            settings.minusSign.erase(at, mark.size());
        }
    }
    return settings;
}

}  // namespace

ConverterLogic::ConverterLogic(ConverterView& view, runtime::RegionalSettings settings)
    : view_(view), settings_(LeftToRight(std::move(settings))) {}

std::string ConverterLogic::InitialText(const ControlDescription& control) const {
    std::string text(control.text);
    if (!IsInputField(control)) return text;
    // Designed with a decimal comma; shown with the user's separator and digits.
    std::replace(text.begin(), text.end(), ',', '.');
    return runtime::WriteRegional(text, settings_);
}

void ConverterLogic::OnCalculateClicked() {
    Recalculate();
}

void ConverterLogic::OnInputKeyDown(int keyCode) {
    Recalculate();
    if (keyCode == kEscapeKeyCode) view_.Close();
}

void ConverterLogic::OnInputEdited() {
    Recalculate();
}

void ConverterLogic::Recalculate() {
    const auto result = conversion::Recalculate(view_.FieldText(kTemperatureField),
                                                view_.FieldText(kHumidityField), rel_, settings_);
    view_.ShowResult(result.ok() ? std::string_view(*result) : conversion::kNoResultText);
}

}  // namespace window
