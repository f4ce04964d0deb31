#pragma once

#include <string>
#include <string_view>

#include "runtime/regional_settings.h"
#include "window/window_description.h"

namespace window {

// What the event logic needs of a front end's converter window.
class ConverterView {
  public:
    virtual ~ConverterView() = default;
    // The current text of an input field, kTemperatureField or kHumidityField, as UTF-8.
    virtual std::string FieldText(std::string_view field) const = 0;
    // Replaces the whole text of the result field.
    virtual void ShowResult(std::string_view text) = 0;
    // Closes the window; the program ends with it.
    virtual void Close() = 0;
};

// Key codes as the window has always received them (Windows virtual-key codes).
inline constexpr int kEscapeKeyCode = 27;

// The window's behaviour, the same on every platform: the button and every key in an input field
// recalculate, and Escape in an input field closes the window.
class ConverterLogic {
  public:
    ConverterLogic(ConverterView& view, runtime::RegionalSettings settings);

    // The text a control shows when the window opens. The input fields show their initial
    // numbers with the user's decimal separator and digits, so that they read back as the same
    // numbers.
    std::string InitialText(const ControlDescription& control) const;

    // A click of the button, by mouse, by its access key or by the keyboard while it has focus.
    void OnCalculateClicked();
    // A key went down in an input field; called once the key has taken effect on the field's
    // text, so the result always belongs to the texts on screen.
    void OnInputKeyDown(int keyCode);
    // Any other change of an input field's text: paste, drag and drop, an input method.
    void OnInputEdited();

    // The unrounded relative humidity of the latest recalculation that got through the formula.
    double rel() const { return rel_; }
    void setRel(double value) { rel_ = value; }

    const runtime::RegionalSettings& settings() const { return settings_; }

  private:
    // A failure shows the no-result text rather than a result that belongs to other inputs.
    void Recalculate();

    ConverterView& view_;
    runtime::RegionalSettings settings_;
    double rel_ = 0.0;
};

}  // namespace window
