#include "window/converter_logic.h"

#include <utility>

#include "conversion/recalculation.h"

namespace window {

ConverterLogic::ConverterLogic(ConverterView& view, runtime::RegionalSettings settings)
    : view_(view), settings_(std::move(settings)) {}

std::string ConverterLogic::InitialText(const ControlDescription& control) const {
    std::string text(control.text);
    if (!IsInputField(control)) return text;
    std::string localized;
    for (const char c : text) {
        if (c == ',') {
            localized += settings_.decimalSeparator;
        } else {
            localized += c;
        }
    }
    return localized;
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
