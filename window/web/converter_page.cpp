// The converter page's side in WebAssembly: the same window description and event logic as the
// desktop windows. The page's script hands in the texts on screen and writes back what comes out;
// texts cross as UTF-8 in buffers this side owns.
#include <emscripten/emscripten.h>

#include <array>
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

// What the page's script writes into before a call.
enum Slot {
    kTemperatureSlot,
    kHumiditySlot,
    kDecimalSeparatorSlot,
    kMinusSignSlot,
    kZeroDigitSlot,
    kSlotCount
};
std::array<std::string, kSlotCount> slots;

std::optional<window::ConverterLogic> logic;
std::string description;
std::string shown;
std::string typed;

window::FieldTexts Texts() {
    return {slots[kTemperatureSlot], slots[kHumiditySlot]};
}

// The result field's text after an event: the new one, or the one it had.
const char* Show(const window::Reaction& reaction) {
    if (reaction.result) shown = *reaction.result;
    return shown.c_str();
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

// Room for a text of the given length in UTF-8, plus its terminating NUL, in one of the slots.
EMSCRIPTEN_KEEPALIVE char* ReserveText(int slot, int bytes) {
    if (slot < 0 || slot >= kSlotCount || bytes < 0) return nullptr;
    auto& text = slots[static_cast<std::size_t>(slot)];
    text.assign(static_cast<std::size_t>(bytes), '\0');
    return text.data();
}

// Takes the regional settings from their slots and describes the window in them.
EMSCRIPTEN_KEEPALIVE const char* Start() {
    logic.emplace(runtime::RegionalSettings{slots[kDecimalSeparatorSlot],
                                                  slots[kMinusSignSlot], slots[kZeroDigitSlot]});
    description = DescribeWindow();
    return description.c_str();
}

// Each returns the result field's text after the event, from the texts in the field slots. A
// page cannot close the browser's tab: Escape recalculates like any other key.
EMSCRIPTEN_KEEPALIVE const char* TextChanged() {
    return Show(logic->OnTextChanged(Texts()));
}

// Keys as the logic tells them apart: 0 any other, 1 Escape, 2 Tab, 3 the keypad's decimal key;
// returns the text that key types instead of its own, or an empty text.
EMSCRIPTEN_KEEPALIVE const char* KeyDown(int key) {
    const window::Reaction reaction = logic->OnKeyDown(static_cast<window::Key>(key));
    typed = reaction.typeInstead.value_or("");
    return typed.c_str();
}

EMSCRIPTEN_KEEPALIVE const char* KeyHandled() {
    return Show(logic->OnKeyHandled(Texts()));
}

EMSCRIPTEN_KEEPALIVE const char* CalculateClicked() {
    return Show(logic->OnCalculateClicked(Texts()));
}

}  // extern "C"
