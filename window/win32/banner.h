#pragma once

#include <windows.h>

#include <memory>

namespace Gdiplus {
class GpBitmap;
}

namespace win32 {

// The banner, decoded with GDI+ from the program's own resources: the GIF at 100 % on a light
// background, at other sizes and on dark backgrounds a picture drawn for them. Transparent pixels
// stay transparent, so the window background shows through them.
class Banner {
  public:
    explicit Banner(HINSTANCE instance);
    ~Banner();
    Banner(const Banner&) = delete;
    Banner& operator=(const Banner&) = delete;

    // Draws the picture that suits the rectangle's size and the background into it. A picture
    // is decoded when it is first needed and kept until another one is. Without a picture (a
    // damaged resource, no GDI+) the window simply has no banner.
    void Draw(HDC dc, const RECT& target, bool darkBackground);

  private:
    void Load(int resourceId);

    struct GdiPlus;
    HINSTANCE instance_;
    std::unique_ptr<GdiPlus> gdiPlus_;
    int loaded_ = 0;                       // the resource id of bitmap_
    Gdiplus::GpBitmap* bitmap_ = nullptr;  // premultiplied 32-bit
};

}  // namespace win32
