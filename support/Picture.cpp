#include "support/Picture.h"

#include <QGuiApplication>
#include <QImage>
#include <QImageReader>

#include "support/JpegImage.h"

namespace {

QImage readImage(const QString& path) {
    if (path.endsWith(QStringLiteral(".jpg"), Qt::CaseInsensitive) ||
        path.endsWith(QStringLiteral(".jpeg"), Qt::CaseInsensitive))
        return loadJpegResource(path);
    QImageReader reader(path);
    return reader.read();
}

}  // namespace

QString doubleSizeName(const QString& path) {
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    const int dot = path.lastIndexOf(QLatin1Char('.'));
    if (dot <= slash + 1) return path + QStringLiteral("@2x");
    return path.left(dot) + QStringLiteral("@2x") + path.mid(dot);
}

QPixmap loadPicture(const QString& path, qreal devicePixelRatio) {
    if (devicePixelRatio > 1.0) {
        QImage dense = readImage(doubleSizeName(path));
        if (!dense.isNull()) {
            dense.setDevicePixelRatio(2.0);
            return QPixmap::fromImage(dense);
        }
    }
    QImage plain = readImage(path);
    plain.setDevicePixelRatio(1.0);
    return QPixmap::fromImage(plain);
}

QPixmap loadPicture(const QString& path) {
    return loadPicture(path, qApp ? qApp->devicePixelRatio() : 1.0);
}
