#pragma once

#include <windows.h>

#include <array>
#include <string>
#include <string_view>
#include <utility>

#include "banner.h"
#include "runtime/regional_settings.h"
#include "window/converter_logic.h"
#include "window/window_description.h"

namespace win32 {

// The converter window built from the shared description with plain Win32 controls. It only
// translates: Windows messages into the logic's events, the logic's answers into control calls.
class ConverterWindow final {
  public:
    ConverterWindow(HINSTANCE instance, runtime::RegionalSettings settings);
    ~ConverterWindow();
    ConverterWindow(const ConverterWindow&) = delete;
    ConverterWindow& operator=(const ConverterWindow&) = delete;

    // Creates the window on the monitor Windows picks, laid out for that monitor's DPI, shows it
    // and puts the keyboard focus into the first field. False if Windows refuses.
    bool Open(int showCommand);
    HWND hwnd() const { return hwnd_; }  // null once the window is gone

    struct TextSelection {
        DWORD start = 0;
        DWORD end = 0;
    };

  private:
    static constexpr size_t kControlCount = window::kConverterWindow.controls.size();

    // The class's window procedure: finds the object behind the window and hands it the message.
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK InputFieldProc(HWND field, UINT message, WPARAM wParam, LPARAM lParam,
                                           UINT_PTR subclassId, DWORD_PTR self);
    LRESULT OnInputKeyDown(HWND field, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnInputChar(HWND field, WPARAM wParam, LPARAM lParam);
    // Shows what the logic answers to an event reported with the fields' texts as they stand.
    template <typename Event, typename... Arguments>
    void Report(Event happened, Arguments&&... arguments) {
        const std::string temperature = TextOf(Control(window::kTemperatureField));
        const std::string humidity = TextOf(Control(window::kHumidityField));
        Show((logic_.*happened)(std::forward<Arguments>(arguments)..., {temperature, humidity}));
    }
    void Show(const window::Reaction& reaction);
    static std::string TextOf(HWND control);  // as UTF-8
    // Scrolls a field back to its first character if the whole text fits.
    void ShowStartIfItFits(HWND field);
    // Gives an input field, controls_[index], a font in which a number of five characters fits
    // whole, and shows its start if its text fits.
    void FitNumbers(size_t index);
    bool IsInputField(HWND control) const;

    bool CreateControls();
    // Positions, sizes and fonts for a DPI; called at creation and whenever the window moves to
    // a monitor with another DPI.
    void ApplyDpi(UINT dpi);
    // The window's big and small icons in the sizes this DPI asks for.
    void ApplyIcons(UINT dpi);
    void NameControlsForScreenReaders();
    HWND Control(std::string_view name) const;
    int Scale(int twips) const { return MulDiv(twips, static_cast<int>(dpi_), 1440); }

    HINSTANCE instance_;
    HWND hwnd_ = nullptr;
    window::ConverterLogic logic_;
    Banner banner_;
    UINT dpi_ = USER_DEFAULT_SCREEN_DPI;
    std::array<HWND, kControlCount> controls_{};  // in the description's order
    std::array<HFONT, kControlCount> fonts_{};    // each control's own, for the current DPI
    std::array<HICON, 2> icons_{};                // big and small, for the current DPI
    // The selection of the input field that lost the focus last, given back when it returns.
    HWND selectionOwner_ = nullptr;
    TextSelection selection_;
    bool controlsReady_ = false;
};

}  // namespace win32
