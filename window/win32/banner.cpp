#include "banner.h"

// GDI+'s headers need the COM declarations that WIN32_LEAN_AND_MEAN leaves out of windows.h.
#include <objidl.h>
#include <shlwapi.h>

#include <gdiplus.h>

namespace win32 {

GdiPlusSession::GdiPlusSession() {
    const Gdiplus::GdiplusStartupInput input;
    if (Gdiplus::GdiplusStartup(&token_, &input, nullptr) != Gdiplus::Ok) token_ = 0;
}

GdiPlusSession::~GdiPlusSession() {
    if (token_ != 0) Gdiplus::GdiplusShutdown(token_);
}

Banner::Banner(HINSTANCE instance, int resourceId) {
    const HRSRC resource = FindResourceW(instance, MAKEINTRESOURCEW(resourceId), RT_RCDATA);
    if (!resource) return;
    const HGLOBAL loaded = LoadResource(instance, resource);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    const DWORD size = SizeofResource(instance, resource);
    if (!bytes || size == 0) return;

    IStream* stream = SHCreateMemStream(static_cast<const BYTE*>(bytes), size);
    if (!stream) return;
    {
        // GDI+ decodes lazily and holds on to the stream; a copy in a premultiplied 32-bit
        // bitmap needs neither and is the quickest to draw on every WM_PAINT.
        Gdiplus::Bitmap decoded(stream);
        const auto width = static_cast<INT>(decoded.GetWidth());
        const auto height = static_cast<INT>(decoded.GetHeight());
        auto copy = std::make_unique<Gdiplus::Bitmap>(width, height, PixelFormat32bppPARGB);
        if (decoded.GetLastStatus() == Gdiplus::Ok && copy->GetLastStatus() == Gdiplus::Ok) {
            Gdiplus::Graphics graphics(copy.get());
            graphics.Clear(Gdiplus::Color(0, 0, 0, 0));
            if (graphics.DrawImage(&decoded, 0, 0, width, height) == Gdiplus::Ok) {
                bitmap_ = std::move(copy);
            }
        }
    }
    stream->Release();
}

Banner::~Banner() = default;

void Banner::Draw(HDC dc, const RECT& target) const {
    if (!bitmap_) return;
    Gdiplus::Graphics graphics(dc);
    const auto width = static_cast<INT>(bitmap_->GetWidth());
    const auto height = static_cast<INT>(bitmap_->GetHeight());
    const INT targetWidth = target.right - target.left;
    const INT targetHeight = target.bottom - target.top;
    // At 100 % every pixel lands on one screen pixel; scaled, smooth edges look better than
    // doubled steps.
    const bool unscaled = targetWidth == width && targetHeight == height;
    graphics.SetInterpolationMode(unscaled ? Gdiplus::InterpolationModeNearestNeighbor
                                           : Gdiplus::InterpolationModeHighQualityBicubic);
    graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
    graphics.DrawImage(bitmap_.get(),
                       Gdiplus::Rect(target.left, target.top, targetWidth, targetHeight), 0, 0,
                       width, height, Gdiplus::UnitPixel);
}

}  // namespace win32
