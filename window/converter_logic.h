#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "runtime/regional_settings.h"
#include "window/window_description.h"

namespace window {

// The keys the window's behaviour tells apart; the front ends report every other key as Other.
enum class Key { Other, Escape, Tab, KeypadDecimal };

// The input fields' texts as they stand on screen when an event is reported, as UTF-8.
struct FieldTexts {
    std::string_view temperature;
    std::string_view humidity;
};

// What a front end does after reporting an event.
struct Reaction {
    std::optional<std::string> result;       // the result field's new text; none: it stays
    std::optional<std::string> typeInstead;  // the text a key types in place of its own
    bool close = false;                      // close the window, which ends the program
};

// The window's behaviour, the same on every platform. Front ends report what happens together
// with the texts as they now stand, and do what the reaction says; nothing here reaches back into
// a window.
//
// When to recalculate: after every change of an input field's text, whatever made it, and once
// after every key in an input field, whether it changed the text or not, so that the result
// always belongs to the texts on screen. A key's own changes wait for the end of the key: one
// recalculation a key. Tab only moves the focus. Escape in an input field closes the window.
class ConverterLogic {
  public:
    explicit ConverterLogic(runtime::RegionalSettings settings);

    // The text a control shows when the window opens. The input fields show their initial
    // numbers with the user's decimal separator and digits, so that they read back as the same
    // numbers.
    std::string InitialText(const ControlDescription& control) const;

    // The widest number the input fields show whole, in the user's format: four digits and the
    // decimal separator, "100,0". Fields whose font is wider than the designed face are fitted
    // to it.
    std::string WidestNumber() const;

    // A click of the button, by mouse, by its access key or by the keyboard while it has focus.
    Reaction OnCalculateClicked(FieldTexts texts);
    // A key goes down in an input field, before the field has handled it. The keypad's decimal
    // key types the user's decimal separator, whatever the keyboard layout gives it.
    Reaction OnKeyDown(Key key);
    // The input field has handled the key reported last, whether it changed the text or not.
    Reaction OnKeyHandled(FieldTexts texts);
    // An input field's text changed: typing, paste, drag and drop, undo, an input method.
    Reaction OnTextChanged(FieldTexts texts);
    // The user changed the regional settings: the texts stay, the result follows the new format.
    Reaction OnSettingsChanged(runtime::RegionalSettings settings, FieldTexts texts);

    // The unrounded relative humidity of the latest recalculation that got through the formula.
    double rel() const { return rel_; }
    void setRel(double value) { rel_ = value; }

  private:
    // A failure shows the no-result text rather than a result that belongs to other inputs.
    Reaction Recalculate(FieldTexts texts);

    runtime::RegionalSettings settings_;
    double rel_ = 0.0;
    std::optional<Key> keyBeingHandled_;
};

// The text up to its first line break (CR, LF) or NUL: what a one-line field keeps of a pasted or
// dropped text, as Windows' edit fields always have.
std::string_view FirstLine(std::string_view text);

}  // namespace window
