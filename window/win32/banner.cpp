#include "banner.h"

#include <wincodec.h>
#include <wrl/client.h>

#include <algorithm>
#include <utility>

#include "resource_ids.h"
#include "window/pictures.h"
#include "window/window_description.h"

namespace win32 {

namespace {

using Microsoft::WRL::ComPtr;

// The picture drawn for the scale the target's width asks for.
int ChoosePicture(int width, bool dark) {
    const auto& scales = window::kPictureScales;
    const int scale =
        window::PictureScaleFor(MulDiv(width, 100, window::kConverterWindow.bannerWidth));
    const auto index = std::find(scales.begin(), scales.end(), scale) - scales.begin();
    return (dark ? FEUCHTE_BANNER_DARK : FEUCHTE_BANNER) + static_cast<int>(index);
}

// The resource's picture, width x height, as a premultiplied 32-bit DIB section: pixel for pixel
// at its own size, else scaled smoothly, premultiplied first so that transparent pixels lend no
// colour to their neighbours. Null if the resource is missing or damaged. COM loads the codecs
// by the System32 path they are registered with, never by name from the program's folder, and
// Windows' own decoders come before any that another program has registered for GIF or PNG.
HBITMAP Decode(HINSTANCE instance, int resourceId, UINT width, UINT height) {
    const HRSRC resource = FindResourceW(instance, MAKEINTRESOURCEW(resourceId), RT_RCDATA);
    const HGLOBAL loaded = resource ? LoadResource(instance, resource) : nullptr;
    auto* const bytes = static_cast<BYTE*>(loaded ? LockResource(loaded) : nullptr);
    ComPtr<IWICImagingFactory> factory;
    ComPtr<IWICStream> stream;
    ComPtr<IWICBitmapDecoder> decoder;
    ComPtr<IWICBitmapFrameDecode> frame;
    ComPtr<IWICFormatConverter> premultiplied;
    ComPtr<IWICBitmapScaler> scaled;
    UINT ownWidth = 0;
    UINT ownHeight = 0;
    if (!bytes ||
        FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(&factory))) ||
        FAILED(factory->CreateStream(&stream)) ||
        FAILED(stream->InitializeFromMemory(bytes, SizeofResource(instance, resource))) ||
        FAILED(factory->CreateDecoderFromStream(stream.Get(), &GUID_VendorMicrosoftBuiltIn,
                                                WICDecodeMetadataCacheOnDemand, &decoder)) ||
        FAILED(decoder->GetFrame(0, &frame)) || FAILED(frame->GetSize(&ownWidth, &ownHeight)) ||
        FAILED(factory->CreateFormatConverter(&premultiplied)) ||
        FAILED(premultiplied->Initialize(frame.Get(), GUID_WICPixelFormat32bppPBGRA,
                                         WICBitmapDitherTypeNone, nullptr, 0,
                                         WICBitmapPaletteTypeCustom)) ||
        FAILED(factory->CreateBitmapScaler(&scaled)) ||
        FAILED(scaled->Initialize(premultiplied.Get(), width, height,
                                  ownWidth == width && ownHeight == height
                                      ? WICBitmapInterpolationModeNearestNeighbor
                                      : WICBitmapInterpolationModeFant))) {
        return nullptr;
    }
    // Top-down, as WIC hands out the rows.
    const BITMAPINFO info{
        {sizeof(BITMAPINFOHEADER), LONG(width), -LONG(height), 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
    void* pixels = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    if (bitmap && FAILED(scaled->CopyPixels(nullptr, width * 4, width * height * 4,
                                            static_cast<BYTE*>(pixels)))) {
        DeleteObject(std::exchange(bitmap, nullptr));
    }
    return bitmap;
}

}  // namespace

void Banner::Draw(HDC dc, const RECT& target, bool darkBackground) {
    const int width = target.right - target.left;
    const int height = target.bottom - target.top;
    const std::array wanted{ChoosePicture(width, darkBackground), width, height};
    if (wanted != loaded_) {
        DeleteObject(bitmap_);
        bitmap_ = Decode(instance_, wanted[0], UINT(width), UINT(height));
        loaded_ = wanted;
    }
    const HDC source = bitmap_ ? CreateCompatibleDC(dc) : nullptr;
    if (!source) return;
    const HGDIOBJ previous = SelectObject(source, bitmap_);
    GdiAlphaBlend(dc, target.left, target.top, width, height, source, 0, 0, width, height,
                  BLENDFUNCTION{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA});
    SelectObject(source, previous);
    DeleteDC(source);
}

}  // namespace win32
