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

ConverterLogic::ConverterLogic(runtime::RegionalSettings settings)
    : settings_(LeftToRight(std::move(settings))) {}

std::string ConverterLogic::InitialText(const ControlDescription& control) const {
    std::string text(control.text);
    if (!IsInputField(control)) return text;
    // Designed with a decimal comma; shown with the user's separator and digits.
    std::replace(text.begin(), text.end(), ',', '.');
    return runtime::WriteRegional(text, settings_);
}

std::string ConverterLogic::WidestNumber() const {
    return runtime::WriteRegional("100.0", settings_);
}

Reaction ConverterLogic::OnCalculateClicked(FieldTexts texts) {
    return Recalculate(texts);
}

Reaction ConverterLogic::OnKeyDown(Key key) {
    keyBeingHandled_ = key;
    Reaction reaction;
    if (key == Key::KeypadDecimal) reaction.typeInstead = settings_.decimalSeparator;
    return reaction;
}

Reaction ConverterLogic::OnKeyHandled(FieldTexts texts) {
    const std::optional<Key> key = std::exchange(keyBeingHandled_, std::nullopt);
    if (!key || *key == Key::Tab) return {};
    Reaction reaction = Recalculate(texts);
    reaction.close = *key == Key::Escape;
    return reaction;
}

Reaction ConverterLogic::OnTextChanged(FieldTexts texts) {
    if (keyBeingHandled_) return {};  // the key recalculates once it has been handled
    return Recalculate(texts);
}

Reaction ConverterLogic::OnSettingsChanged(runtime::RegionalSettings settings, FieldTexts texts) {
    settings_ = LeftToRight(std::move(settings));
    return Recalculate(texts);
}

Reaction ConverterLogic::Recalculate(FieldTexts texts) {
    const auto result =
        conversion::Recalculate(texts.temperature, texts.humidity, rel_, settings_);
    Reaction reaction;
    reaction.result = result.ok() ? *result : std::string(conversion::kNoResultText);
    return reaction;
}

std::string_view FirstLine(std::string_view text) {
    return text.substr(0, text.find_first_of(std::string_view("\r\n\0", 3)));
}

}  // namespace window
