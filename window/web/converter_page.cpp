// The converter page's side in WebAssembly: the same window description and event logic as the
// desktop windows. The page's script calls these through emscripten's ccall: texts cross as
// NUL-terminated UTF-8, and each text handed back stays valid until the next call.
#include <emscripten/emscripten.h>

#include <optional>
#include <string>
#include <string_view>

#include "window/converter_logic.h"
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

void AppendQuoted(std::string& out, std::string_view text) {
    constexpr std::string_view kHex = "0123456789abcdef";
    out += '"';
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20) {
            out += "\\u00";
            out += kHex[byte >> 4];
            out += kHex[byte & 0xF];
        } else {
            out += c;
        }
    }
    out += '"';
}

void AppendField(std::string& out, std::string_view key, std::string_view text) {
    AppendQuoted(out, key);
    out += ':';
    AppendQuoted(out, text);
    out += ',';
}

void AppendField(std::string& out, std::string_view key, int number) {
    AppendQuoted(out, key);
    out += ':';
    out += std::to_string(number);
    out += ',';
}

std::string_view KindName(ControlKind kind) {
    switch (kind) {
        case ControlKind::TextBox:
            return "text";
        case ControlKind::Label:
            return "label";
        case ControlKind::CommandButton:
            return "button";
    }
    return "";
}

void AppendControl(std::string& out, const ControlDescription& control) {
    out += '{';
    AppendField(out, "name", control.name);
    AppendField(out, "kind", KindName(control.kind));
    AppendField(out, "left", TwipsToPixels(control.left));
    AppendField(out, "top", TwipsToPixels(control.top));
    AppendField(out, "width", TwipsToPixels(control.width));
    AppendField(out, "height", TwipsToPixels(control.height));
    AppendField(out, "text", logic->InitialText(control));
    AppendField(out, "accessibleName", control.accessibleName);
    AppendField(out, "input", window::IsInputField(control) ? 1 : 0);
    if (control.font) {
        AppendField(out, "face", control.font->face);
        AppendField(out, "points", control.font->points);
        AppendField(out, "weight", control.font->weight);
    }
    out.back() = '}';
}

// The window as JSON: its caption and size in pixels, and its controls in the order Tab visits
// them, followed by the labels, so that the page's document order is its tab order.
std::string DescribeWindow() {
    std::string out = "{";
    AppendField(out, "name", kConverterWindow.name);
    AppendField(out, "caption", kConverterWindow.caption);
    AppendField(out, "width", TwipsToPixels(kConverterWindow.clientWidth));
    AppendField(out, "height", TwipsToPixels(kConverterWindow.clientHeight));
    AppendField(out, "bannerWidth", kConverterWindow.bannerWidth);
    AppendField(out, "bannerHeight", kConverterWindow.bannerHeight);
    AppendField(out, "textLimit", window::kTextBoxLimit);
    out += "\"controls\":[";
    for (const auto* control : window::kTabOrder) {
        AppendControl(out, *control);
        out += ',';
    }
    for (const auto& control : kConverterWindow.controls) {
        if (control.kind != ControlKind::Label) continue;
        AppendControl(out, control);
        out += ',';
    }
    out.back() = ']';
    out += '}';
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

}  // extern "C"
