#pragma once

#include <windows.h>

#include <memory>

namespace Gdiplus {
class GpBitmap;
}

namespace win32 {

// The banner picture, decoded from the program's own resources with GDI+. Its transparent pixels
// stay transparent, so the window background shows through them.
class Banner {
  public:
    Banner(HINSTANCE instance, int resourceId);
    ~Banner();
    Banner(const Banner&) = delete;
    Banner& operator=(const Banner&) = delete;

    // Draws the picture into the given rectangle, scaled if the DPI asks for it. Without a
    // picture (a damaged resource, no GDI+) the window simply has no banner.
    void Draw(HDC dc, const RECT& target) const;

  private:
    struct GdiPlus;
    std::unique_ptr<GdiPlus> gdiPlus_;
    Gdiplus::GpBitmap* bitmap_ = nullptr;  // premultiplied 32-bit
};

}  // namespace win32
