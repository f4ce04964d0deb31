#pragma once

#include <windows.h>

#include <memory>

namespace Gdiplus {
class Bitmap;
}

namespace win32 {

// GDI+ for the lifetime of the program; the banner is decoded and drawn with it.
class GdiPlusSession {
  public:
    GdiPlusSession();
    ~GdiPlusSession();
    GdiPlusSession(const GdiPlusSession&) = delete;
    GdiPlusSession& operator=(const GdiPlusSession&) = delete;

    bool ok() const { return token_ != 0; }

  private:
    ULONG_PTR token_ = 0;
};

// The banner picture, decoded once from the program's own resources. Its transparent pixels stay
// transparent, so the window background shows through them.
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
    std::unique_ptr<Gdiplus::Bitmap> bitmap_;
};

}  // namespace win32
