#pragma once

#include <QIcon>
#include <QImage>

// The window's pictures for the screen it is on, decoded only when asked for.
namespace pictures {

// The banner, 246 x 51 device-independent pixels, premultiplied: at 100 % on a light background
// the GIF as it has always been; at other scales the picture drawn for the next scale up from the
// same artwork, and the variant whose lettering stands out on dark backgrounds where the
// background is dark.
QImage Banner(qreal devicePixelRatio, bool dark);

// The window icon at the designed sizes, and larger ones on scaled screens.
QIcon WindowIcon(qreal devicePixelRatio);

}  // namespace pictures
