#include "window/qt/pictures.h"

#include <QImageReader>
#include <QPixmap>
#include <QString>

#include "window/pictures.h"
#include "window/qt/start_pictures.h"

namespace pictures {

namespace {

// Reads a picture by the format its name ends in. Qt would otherwise ask every image plugin
// whether it reads the format before its own PNG reader gets the turn, and load them all.
QImage Decoded(const QString& file) {
    QImageReader reader(file, file.section(u'.', -1).toLatin1());
    reader.setAutoDetectImageFormat(false);
    return reader.read().convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

// Drawn straight from the program's read-only data, never copied.
QImage Image(const Pixels& pixels) {
    return QImage(reinterpret_cast<const uchar*>(pixels.argb), pixels.width, pixels.height,
                  pixels.width * 4, QImage::Format_ARGB32_Premultiplied);
}

}  // namespace

QImage Banner(qreal devicePixelRatio, bool dark) {
    const int scale = window::PictureScaleFor(qRound(devicePixelRatio * 100));
    if (scale == 100 && !dark) return Image(kBanner);
    QImage banner =
        Decoded(QStringLiteral(":/banner/%1%2.png").arg(dark ? "dark-" : "").arg(scale));
    // Drawn at the banner's own size; where the screen's scale lies between two drawings, Qt
    // shrinks the larger one.
    banner.setDevicePixelRatio(scale / 100.0);
    return banner;
}

QIcon WindowIcon(qreal devicePixelRatio) {
    QIcon icon;
    icon.addPixmap(QPixmap::fromImage(Image(kIcon32)));
    icon.addPixmap(QPixmap::fromImage(Image(kIcon48)));
    if (devicePixelRatio > 1) {
        // PNG needs no image plugin, as the icon file's format would.
        for (const int size : {64, 128}) {
            icon.addPixmap(
                QPixmap::fromImage(Decoded(QStringLiteral(":/icons/%1x%1.png").arg(size))));
        }
    }
    return icon;
}

}  // namespace pictures
