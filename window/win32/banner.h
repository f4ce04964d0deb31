#pragma once

#include <windows.h>

#include <array>

namespace win32 {

// The banner, decoded by Windows' own image codecs from the program's resources: the GIF at
// 100 % on a light background, at other sizes and on dark backgrounds a picture drawn for them.
// Transparent pixels stay transparent, so the window background shows through them.
class Banner {
  public:
    explicit Banner(HINSTANCE instance) : instance_(instance) {}
    ~Banner() { DeleteObject(bitmap_); }
    Banner(const Banner&) = delete;
    Banner& operator=(const Banner&) = delete;

    // Draws the picture that suits the rectangle's size and the background into it. A picture
    // is decoded at the rectangle's size when it is first needed and kept until another is.
    // Without a picture (a damaged resource, no COM on the thread) the window has no banner.
    void Draw(HDC dc, const RECT& target, bool darkBackground);

  private:
    HINSTANCE instance_;
    HBITMAP bitmap_ = nullptr;     // premultiplied 32-bit, at the size it is drawn
    std::array<int, 3> loaded_{};  // its resource id, width and height
};

}  // namespace win32
