#pragma once

#include <algorithm>
#include <array>
#include <optional>
#include <string_view>

namespace window {

// Positions and sizes are in twips: 1440 make an inch, so 15 make one pixel at 96 dots per inch.
inline constexpr int kTwipsPerPixel = 15;

constexpr int TwipsToPixels(int twips) {
    return twips / kTwipsPerPixel;
}

enum class ControlKind { TextBox, Label, CommandButton };

struct FontDescription {
    std::string_view face;
    int points;
    int weight;  // 400 regular, 700 bold
};

inline constexpr std::string_view kDesignedFace = "MS Sans Serif";
inline constexpr FontDescription kRegularFont{kDesignedFace, 12, 400};
inline constexpr FontDescription kBoldFont{kDesignedFace, 12, 700};

struct ControlDescription {
    std::string_view name;
    ControlKind kind;
    int left;  // twips from the client area's top-left corner
    int top;
    int width;
    int height;
    int tabIndex;
    std::string_view text;                // UTF-8; '&' marks a button's access key
    std::optional<FontDescription> font;  // none: the platform's default
    std::string_view accessibleName;      // what a screen reader says; empty: the text
};

struct WindowDescription {
    std::string_view name;
    std::string_view caption;
    int clientWidth;  // twips
    int clientHeight;
    // The banner picture is drawn at the top-left corner of the client area.
    int bannerWidth;  // pixels
    int bannerHeight;
    std::array<ControlDescription, 6> controls;
};

// The converter window, as it was designed. Input fields hold their initial numbers with a
// decimal comma; InitialText() shows them in the user's own format.
inline constexpr WindowDescription kConverterWindow{
    .name = "CALC_ABS_REL",
    .caption = "Feuchte abs -> rel",
    .clientWidth = 3720,
    .clientHeight = 2355,
    .bannerWidth = 246,
    .bannerHeight = 51,
    .controls = {{
        {"I1", ControlKind::TextBox, 240, 840, 615, 375, 0, "23,0", kRegularFont,
         "Temperatur in °C"},
        {"Label1", ControlKind::Label, 840, 840, 495, 375, 2, "°C", kRegularFont, ""},
        {"I2", ControlKind::TextBox, 1440, 840, 615, 375, 1, "8,6", kRegularFont,
         "Absolute Feuchte in g/m³"},
        {"Label2", ControlKind::Label, 2040, 840, 615, 375, 3, "%  a", kRegularFont, ""},
        {"Text1", ControlKind::TextBox, 240, 1320, 3255, 375, 4, "--- % rel", kBoldFont,
         "Relative Feuchte"},
        {"Command1", ControlKind::CommandButton, 240, 1800, 3255, 375, 5, "&berechnen",
         std::nullopt, ""},
    }},
};

// The designer's names of the controls the event logic deals with.
inline constexpr std::string_view kTemperatureField = "I1";
inline constexpr std::string_view kHumidityField = "I2";
inline constexpr std::string_view kResultField = "Text1";
inline constexpr std::string_view kCalculateButton = "Command1";

// The two fields the user types the inputs into; every key there recalculates.
constexpr bool IsInputField(const ControlDescription& control) {
    return control.name == kTemperatureField || control.name == kHumidityField;
}

// The order in which a window creates its controls: those that take the focus in the order Tab
// visits them, by tab index, then the labels, which take none. Windows' dialog manager, Qt and
// the browser all move the focus in the order of creation, so none of them sets it apart.
inline constexpr auto kCreationOrder = [] {
    std::array<const ControlDescription*, kConverterWindow.controls.size()> order{};
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = &kConverterWindow.controls[i];
    std::sort(order.begin(), order.end(), [](const auto* a, const auto* b) {
        const bool aLabel = a->kind == ControlKind::Label, bLabel = b->kind == ControlKind::Label;
        return aLabel != bLabel ? bLabel : aLabel ? a < b : a->tabIndex < b->tabIndex;
    });
    return order;
}();

// The most characters a text box holds, as Windows' edit fields always have; a longer paste is
// cut there on every platform alike.
inline constexpr int kTextBoxLimit = 32767;

}  // namespace window
