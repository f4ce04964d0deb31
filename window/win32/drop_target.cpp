#include "drop_target.h"

#include <ole2.h>

#include <cstring>
#include <cwchar>
#include <optional>
#include <string>
#include <string_view>

#include "com_object.h"
#include "text.h"
#include "window/converter_logic.h"
#include "window/html_text.h"

namespace win32 {

namespace {

FORMATETC Format(UINT format) {
    return {static_cast<CLIPFORMAT>(format), nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
}

// The first line of the text a drop offers, or nothing if it offers none.
std::optional<std::wstring> FirstLine(IDataObject& data) {
    for (const UINT format : TextFormats()) {
        FORMATETC wanted = Format(format);
        STGMEDIUM medium{};
        if (data.GetData(&wanted, &medium) != S_OK) continue;
        std::optional<std::wstring> line = FirstLineOf(medium.hGlobal, format);
        ReleaseStgMedium(&medium);
        if (line) return line;
    }
    return std::nullopt;
}

class FieldDropTarget final : public ComObject<IDropTarget> {
  public:
    explicit FieldDropTarget(HWND field) : field_(field) {}

    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
        hasText_ = false;
        for (const UINT format : TextFormats()) {
            FORMATETC offered = Format(format);
            hasText_ = hasText_ || (data && data->QueryGetData(&offered) == S_OK);
        }
        // Copied, never moved: whatever it was dragged from keeps its text.
        *effect = hasText_ ? DROPEFFECT_COPY : DROPEFFECT_NONE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL, DWORD* effect) override {
        *effect = hasText_ ? DROPEFFECT_COPY : DROPEFFECT_NONE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragLeave() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD, POINTL at, DWORD* effect) override {
        *effect = DROPEFFECT_NONE;
        if (!data || !hasText_) return S_OK;
        const std::optional<std::wstring> line = FirstLine(*data);
        if (!line) return S_OK;
        POINT point{at.x, at.y};
        ScreenToClient(field_, &point);
        const auto index = static_cast<DWORD>(
            LOWORD(SendMessageW(field_, EM_CHARFROMPOS, 0, MAKELPARAM(point.x, point.y))));
        DWORD start = 0;
        DWORD end = 0;
        SendMessageW(field_, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                     reinterpret_cast<LPARAM>(&end));
        if (start == end || index < start || index > end) {
            SendMessageW(field_, EM_SETSEL, index, index);
        }
        SendMessageW(field_, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(line->c_str()));
        *effect = DROPEFFECT_COPY;
        return S_OK;
    }

  private:
    HWND field_;
    bool hasText_ = false;
};

}  // namespace

std::array<UINT, 2> TextFormats() {
    return {CF_UNICODETEXT, RegisterClipboardFormatW(L"HTML Format")};
}

std::optional<std::wstring> FirstLineOf(HGLOBAL data, UINT format) {
    const void* locked = data ? GlobalLock(data) : nullptr;
    if (!locked) return std::nullopt;
    const size_t size = GlobalSize(data);
    const auto* utf16 = static_cast<const wchar_t*>(locked);
    const auto* utf8 = static_cast<const char*>(locked);
    const std::string text = format == CF_UNICODETEXT
                                 ? Narrow({utf16, wcsnlen(utf16, size / sizeof *utf16)})
                                 : window::HtmlText({utf8, strnlen(utf8, size)});
    GlobalUnlock(data);
    if (text.empty()) return std::nullopt;
    return Widen(window::FirstLine(text));
}

void AcceptDroppedText(HWND field) {
    auto* target = new FieldDropTarget(field);
    RegisterDragDrop(field, target);  // holds its own reference while registered
    target->Release();
}

}  // namespace win32
