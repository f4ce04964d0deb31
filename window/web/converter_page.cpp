// The converter page's side in WebAssembly: the same window description and event logic as the
// desktop windows. The page's script calls these through emscripten's ccall: texts cross as
// NUL-terminated UTF-8, and each text handed back stays valid until the next call.
#include <emscripten/emscripten.h>

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "window/converter_logic.h"
#include "window/html_text.h"
#include "window/window_description.h"

namespace {

using window::ControlDescription;
using window::ControlKind;
using window::kConverterWindow;
using window::TwipsToPixels;

std::optional<window::ConverterLogic> logic;
std::string handedBack;

const char* HandBack(std::string_view text) {
    handedBack = text;
    return handedBack.c_str();
}

// The result field's new text after an event, or an empty text where it stays.
const char* Show(const window::Reaction& reaction) {
    return HandBack(reaction.result.value_or(""));
}

// Each text of the description is a field of a line, apart from the next by a tab.
constexpr bool Plain(std::string_view text) {
    return text.find_first_of("\t\n") == std::string_view::npos;
}
static_assert(Plain(kConverterWindow.name) && Plain(kConverterWindow.caption) &&
              std::all_of(kConverterWindow.controls.begin(), kConverterWindow.controls.end(),
                          [](const auto& control) {
                              return Plain(control.text) && Plain(control.accessibleName) &&
                                     Plain(control.font.value_or(window::kRegularFont).face);
                          }));

template <typename... Fields>
void AppendLine(std::string& out, const Fields&... fields) {
    ((out += fields, out += '\t'), ...);
    out.back() = '\n';
}

std::string Pixels(int twips) {
    return std::to_string(TwipsToPixels(twips));
}

// The window in lines: its name, caption, size in pixels, banner size and the fields' limit;
// then each control (name, kind, place and size in pixels, text, accessible name, whether it is
// an input field, font), in the order of creation, so that the page's document order is its tab
// order.
std::string DescribeWindow() {
    std::string out;
    AppendLine(out, kConverterWindow.name, kConverterWindow.caption,
               Pixels(kConverterWindow.clientWidth), Pixels(kConverterWindow.clientHeight),
               std::to_string(kConverterWindow.bannerWidth),
               std::to_string(kConverterWindow.bannerHeight), std::to_string(window::kTextBoxLimit));
    constexpr std::array<std::string_view, 3> kKinds{"text", "label", "button"};
    for (const ControlDescription* control : window::kCreationOrder) {
        const auto font = control->font;
        AppendLine(out, control->name, kKinds[static_cast<std::size_t>(control->kind)],
                   Pixels(control->left), Pixels(control->top), Pixels(control->width),
                   Pixels(control->height), logic->InitialText(*control), control->accessibleName,
                   window::IsInputField(*control) ? "1" : "",
                   font ? font->face : "", font ? std::to_string(font->points) : "",
                   font ? std::to_string(font->weight) : "");
    }
    out.pop_back();  // no empty line at the end
    return out;
}

}  // namespace

extern "C" {

// Takes the user's number format and describes the window in it.
EMSCRIPTEN_KEEPALIVE const char* Start(const char* decimalSeparator, const char* minusSign,
                                       const char* zeroDigit) {
    logic.emplace(runtime::RegionalSettings{decimalSeparator, minusSign, zeroDigit});
    return HandBack(DescribeWindow());
}

// Each event takes the input fields' texts as they stand and returns the result field's new
// text. A page cannot close the browser's tab: Escape recalculates like any other key.
EMSCRIPTEN_KEEPALIVE const char* TextChanged(const char* temperature, const char* humidity) {
    return Show(logic->OnTextChanged({temperature, humidity}));
}

// Keys as the logic tells them apart: 0 any other, 1 Escape, 2 Tab, 3 the keypad's decimal key;
// returns the text that key types instead of its own, or an empty text.
EMSCRIPTEN_KEEPALIVE const char* KeyDown(int key) {
    return HandBack(logic->OnKeyDown(static_cast<window::Key>(key)).typeInstead.value_or(""));
}

EMSCRIPTEN_KEEPALIVE const char* KeyHandled(const char* temperature, const char* humidity) {
    return Show(logic->OnKeyHandled({temperature, humidity}));
}

EMSCRIPTEN_KEEPALIVE const char* CalculateClicked(const char* temperature, const char* humidity) {
    return Show(logic->OnCalculateClicked({temperature, humidity}));
}

EMSCRIPTEN_KEEPALIVE const char* SettingsChanged(const char* decimalSeparator,
                                                 const char* minusSign, const char* zeroDigit,
                                                 const char* temperature, const char* humidity) {
    return Show(logic->OnSettingsChanged({decimalSeparator, minusSign, zeroDigit},
                                         {temperature, humidity}));
}

// What a field keeps of a pasted or dropped text. The text arrives cut at its first NUL, which
// ends the first line as a line break does.
EMSCRIPTEN_KEEPALIVE const char* FirstLine(const char* text) {
    return HandBack(window::FirstLine(text));
}

// The text of HTML offered without plain text, parsed apart from the page: nothing in it runs.
EMSCRIPTEN_KEEPALIVE const char* HtmlText(const char* html) {
    return HandBack(window::HtmlText(html));
}

}  // extern "C"
