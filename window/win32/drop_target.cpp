#include "drop_target.h"

#include <ole2.h>

#include <cwchar>
#include <optional>
#include <string>
#include <string_view>

#include "com_object.h"
#include "text.h"
#include "window/converter_logic.h"

namespace win32 {

namespace {

FORMATETC TextFormat() {
    return {CF_UNICODETEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
}

// The first line of the text a drop offers, or nothing if it offers none.
std::optional<std::wstring> FirstLine(IDataObject& data) {
    FORMATETC format = TextFormat();
    STGMEDIUM medium{};
    if (data.GetData(&format, &medium) != S_OK) return std::nullopt;
    std::optional<std::wstring> line = FirstLineOf(medium.hGlobal);
    ReleaseStgMedium(&medium);
    return line;
}

class FieldDropTarget final : public ComObject<IDropTarget> {
  public:
    explicit FieldDropTarget(HWND field) : field_(field) {}

    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
        FORMATETC format = TextFormat();
        hasText_ = data && data->QueryGetData(&format) == S_OK;
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

std::optional<std::wstring> FirstLineOf(HGLOBAL text) {
    const auto* characters = static_cast<const wchar_t*>(text ? GlobalLock(text) : nullptr);
    if (!characters) return std::nullopt;
    const std::wstring all(characters, wcsnlen(characters, GlobalSize(text) / sizeof *characters));
    GlobalUnlock(text);
    return Widen(window::FirstLine(Narrow(all)));
}

void AcceptDroppedText(HWND field) {
    auto* target = new FieldDropTarget(field);
    RegisterDragDrop(field, target);  // holds its own reference while registered
    target->Release();
}

}  // namespace win32
