#include "window/qt/pictures.h"

#include <QColor>
#include <QString>

#include <array>

namespace pictures {

namespace {

// The scales the artwork is drawn for, in percent.
constexpr std::array kScales{100, 125, 150, 200, 300};

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
    if (scale == 100 && !dark) return QPixmap(QStringLiteral(":/banner.gif"));
    QPixmap banner(QStringLiteral(":/banner/%1%2.png").arg(dark ? "dark-" : "").arg(scale));
    // Drawn at the banner's own size; where the screen's scale lies between two drawings, Qt
    // shrinks the larger one.
    banner.setDevicePixelRatio(scale / 100.0);
    return banner;
}

QIcon WindowIcon(qreal devicePixelRatio) {
    // PNG needs no image plugin loaded at start-up, as the icon file's format would.
    QIcon icon;
    for (const int size : {32, 48, 64, 128}) {
        if (size <= 48 || devicePixelRatio > 1) {
            icon.addFile(QStringLiteral(":/icons/%1x%1.png").arg(size), QSize(size, size));
        }
    }
    return icon;
}

}  // namespace pictures
