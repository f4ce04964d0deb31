#include "window/qt/pictures.h"

#include <QColor>
#include <QImageReader>
#include <QString>

#include <array>

namespace pictures {

namespace {

// The scales the artwork is drawn for, in percent.
constexpr std::array kScales{100, 125, 150, 200, 300};

// Reads a picture by the format its name ends in. Qt would otherwise ask every image plugin
// whether it reads the format before its own PNG reader gets the turn, and load them all.
QPixmap Decoded(const QString& file) {
    QImageReader reader(file, file.section(u'.', -1).toLatin1());
    reader.setAutoDetectImageFormat(false);
    return QPixmap::fromImage(reader.read());
}

}  // namespace

bool IsDark(const QColor& background) {
    return background.lightness() < 128;
}

QPixmap Banner(qreal devicePixelRatio, bool dark) {
    int scale = kScales.back();
    for (const int candidate : kScales) {
        if (candidate >= qRound(devicePixelRatio * 100)) {
            scale = candidate;
            break;
        }
    }
    if (scale == 100 && !dark) return Decoded(QStringLiteral(":/banner.gif"));
    QPixmap banner =
        Decoded(QStringLiteral(":/banner/%1%2.png").arg(dark ? "dark-" : "").arg(scale));
    // Drawn at the banner's own size; where the screen's scale lies between two drawings, Qt
    // shrinks the larger one.
    banner.setDevicePixelRatio(scale / 100.0);
    return banner;
}

QIcon WindowIcon(qreal devicePixelRatio) {
    // PNG needs no image plugin, as the icon file's format would.
    QIcon icon;
    for (const int size : {32, 48, 64, 128}) {
        if (size <= 48 || devicePixelRatio > 1) {
            icon.addPixmap(Decoded(QStringLiteral(":/icons/%1x%1.png").arg(size)));
        }
    }
    return icon;
}

}  // namespace pictures
