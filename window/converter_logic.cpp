#include "window/converter_logic.h"

#include <algorithm>
#include <utility>

#include "conversion/recalculation.h"
#include "runtime/number_text.h"

namespace window {

ConverterLogic::ConverterLogic(ConverterView& view, runtime::RegionalSettings settings)
    : view_(view), settings_(std::move(settings)) {}

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
