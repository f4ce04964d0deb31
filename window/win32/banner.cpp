#include "banner.h"

// GDI+'s headers need the COM declarations that WIN32_LEAN_AND_MEAN leaves out of windows.h.
#include <objidl.h>
#include <shlwapi.h>

#include <gdiplus.h>

#include <algorithm>
#include <string_view>
#include <utility>

#include "dpi.h"
#include "resource_ids.h"
#include "window/pictures.h"
#include "window/window_description.h"

namespace win32 {

namespace api = Gdiplus::DllExports;

// gdiplus.dll is not one of the DLLs that every Windows takes from System32 only, so it is not
// imported but loaded from there by hand, and its flat functions looked up.
struct Banner::GdiPlus {
    // wine's GDI+ loads the image codecs by name when it first decodes, from the program's folder
    // first, whatever the program has said; loaded from System32 beforehand, they are found loaded.
    HMODULE codecs = LoadSystemLibrary(L"windowscodecs.dll");
    HMODULE module = LoadSystemLibrary(L"gdiplus.dll");
    int missing = 0;  // functions not found

    template <typename Function>
    Function Find(const char* name) {
        const auto function = Lookup<Function>(module, name);
        missing += function ? 0 : 1;
        return function;
    }
#define FEUCHTE_GDIPLUS(name) decltype(&api::name) name = Find<decltype(&api::name)>(#name)
    FEUCHTE_GDIPLUS(GdipCreateBitmapFromStream);
    FEUCHTE_GDIPLUS(GdipCreateBitmapFromScan0);
    FEUCHTE_GDIPLUS(GdipGetImageWidth);
    FEUCHTE_GDIPLUS(GdipGetImageHeight);
    FEUCHTE_GDIPLUS(GdipGetImageGraphicsContext);
    FEUCHTE_GDIPLUS(GdipCreateFromHDC);
    FEUCHTE_GDIPLUS(GdipGraphicsClear);
    FEUCHTE_GDIPLUS(GdipSetInterpolationMode);
    FEUCHTE_GDIPLUS(GdipSetPixelOffsetMode);
    FEUCHTE_GDIPLUS(GdipDrawImageRectI);
    FEUCHTE_GDIPLUS(GdipDrawImageRectRectI);
    FEUCHTE_GDIPLUS(GdipDeleteGraphics);
    FEUCHTE_GDIPLUS(GdipDisposeImage);
#undef FEUCHTE_GDIPLUS
    decltype(&Gdiplus::GdiplusShutdown) shutdown =
        Find<decltype(&Gdiplus::GdiplusShutdown)>("GdiplusShutdown");
    // Looked up, not imported: newer Windows and wine forward it to shcore.dll, which the loader
    // would look for beside the program before the program could forbid that.
    HMODULE shlwapi = LoadSystemLibrary(L"shlwapi.dll");
    decltype(&SHCreateMemStream) createMemStream =
        Lookup<decltype(&SHCreateMemStream)>(shlwapi, "SHCreateMemStream");
    ULONG_PTR token = 0;  // 0 unless GDI+ started and every function above was found

    GdiPlus() {
        const auto startup = Find<decltype(&Gdiplus::GdiplusStartup)>("GdiplusStartup");
        const Gdiplus::GdiplusStartupInput input;
        missing += createMemStream ? 0 : 1;
        if (missing > 0 || startup(&token, &input, nullptr) != 0) token = 0;
    }
    ~GdiPlus() {
        if (token != 0) shutdown(token);
        if (module) FreeLibrary(module);
        if (shlwapi) FreeLibrary(shlwapi);
        if (codecs) FreeLibrary(codecs);
    }
    GdiPlus(const GdiPlus&) = delete;
    GdiPlus& operator=(const GdiPlus&) = delete;
};

namespace {

using Gdiplus::GpBitmap;
using Gdiplus::GpGraphics;

// The resource's bytes, or an empty view.
std::basic_string_view<BYTE> ResourceBytes(HINSTANCE instance, int resourceId) {
    const HRSRC resource = FindResourceW(instance, MAKEINTRESOURCEW(resourceId), RT_RCDATA);
    const HGLOBAL loaded = resource ? LoadResource(instance, resource) : nullptr;
    const auto* bytes = static_cast<const BYTE*>(loaded ? LockResource(loaded) : nullptr);
    return bytes ? std::basic_string_view<BYTE>(bytes, SizeofResource(instance, resource))
                 : std::basic_string_view<BYTE>();
}

// The picture drawn for the scale the target's width asks for.
int ChoosePicture(int width, bool dark) {
    const auto& scales = window::kPictureScales;
    const int scale =
        window::PictureScaleFor(MulDiv(width, 100, window::kConverterWindow.bannerWidth));
    const auto index = std::find(scales.begin(), scales.end(), scale) - scales.begin();
    return (dark ? FEUCHTE_BANNER_DARK : FEUCHTE_BANNER) + static_cast<int>(index);
}

}  // namespace

Banner::Banner(HINSTANCE instance) : instance_(instance), gdiPlus_(std::make_unique<GdiPlus>()) {}

void Banner::Load(int resourceId) {
    const GdiPlus& gdi = *gdiPlus_;
    if (bitmap_) gdi.GdipDisposeImage(std::exchange(bitmap_, nullptr));
    loaded_ = resourceId;
    const auto bytes = ResourceBytes(instance_, resourceId);
    if (gdi.token == 0 || bytes.empty()) return;
    IStream* stream = gdi.createMemStream(bytes.data(), static_cast<UINT>(bytes.size()));
    if (!stream) return;
    // GDI+ decodes lazily and holds on to the stream; a copy in a premultiplied 32-bit bitmap
    // needs neither and is the quickest to draw on every WM_PAINT.
    GpBitmap* decoded = nullptr;
    UINT width = 0;
    UINT height = 0;
    GpBitmap* copy = nullptr;
    GpGraphics* graphics = nullptr;
    if (gdi.GdipCreateBitmapFromStream(stream, &decoded) == 0 &&
        gdi.GdipGetImageWidth(decoded, &width) == 0 &&
        gdi.GdipGetImageHeight(decoded, &height) == 0 &&
        gdi.GdipCreateBitmapFromScan0(static_cast<INT>(width), static_cast<INT>(height), 0,
                                      PixelFormat32bppPARGB, nullptr, &copy) == 0 &&
        gdi.GdipGetImageGraphicsContext(copy, &graphics) == 0 &&
        gdi.GdipGraphicsClear(graphics, 0) == 0 &&
        gdi.GdipDrawImageRectI(graphics, decoded, 0, 0, static_cast<INT>(width),
                               static_cast<INT>(height)) == 0) {
        bitmap_ = std::exchange(copy, nullptr);
    }
    if (graphics) gdi.GdipDeleteGraphics(graphics);
    if (copy) gdi.GdipDisposeImage(copy);
    if (decoded) gdi.GdipDisposeImage(decoded);
    stream->Release();
}

Banner::~Banner() {
    if (bitmap_) gdiPlus_->GdipDisposeImage(bitmap_);
}

void Banner::Draw(HDC dc, const RECT& target, bool darkBackground) {
    const GdiPlus& gdi = *gdiPlus_;
    const int wanted = ChoosePicture(target.right - target.left, darkBackground);
    if (wanted != loaded_) Load(wanted);
    GpBitmap* const bitmap = bitmap_;
    UINT width = 0;
    UINT height = 0;
    GpGraphics* graphics = nullptr;
    if (!bitmap || gdi.GdipGetImageWidth(bitmap, &width) != 0 ||
        gdi.GdipGetImageHeight(bitmap, &height) != 0 || gdi.GdipCreateFromHDC(dc, &graphics) != 0) {
        return;
    }
    const INT targetWidth = target.right - target.left;
    const INT targetHeight = target.bottom - target.top;
    // At 100 % every pixel lands on one screen pixel; scaled, smooth edges look better than
    // doubled steps.
    const bool unscaled =
        targetWidth == static_cast<INT>(width) && targetHeight == static_cast<INT>(height);
    gdi.GdipSetInterpolationMode(graphics, unscaled ? Gdiplus::InterpolationModeNearestNeighbor
                                                    : Gdiplus::InterpolationModeHighQualityBicubic);
    gdi.GdipSetPixelOffsetMode(graphics, Gdiplus::PixelOffsetModeHalf);
    gdi.GdipDrawImageRectRectI(graphics, bitmap, target.left, target.top, targetWidth, targetHeight,
                               0, 0, static_cast<INT>(width), static_cast<INT>(height),
                               Gdiplus::UnitPixel, nullptr, nullptr, nullptr);
    gdi.GdipDeleteGraphics(graphics);
}

}  // namespace win32
