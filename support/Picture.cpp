#include "support/Picture.h"

#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <future>
#include <map>

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

namespace {

QImage decodePicture(const QString& path, qreal devicePixelRatio) {
    if (devicePixelRatio > 1.0) {
        QImage dense = readImage(doubleSizeName(path));
        if (!dense.isNull()) {
            dense.setDevicePixelRatio(2.0);
            return dense;
        }
    }
    QImage plain = readImage(path);
    plain.setDevicePixelRatio(1.0);
    return plain;
}

struct Preloaded {
    qreal ratio;
    std::future<QImage> image;
};
// Touched by the thread that builds windows only; the decoding itself is in
// the futures.
std::map<QString, Preloaded> preloaded;

}  // namespace

void preloadPictures(const QStringList& paths) {
    const qreal ratio = qApp ? qApp->devicePixelRatio() : 1.0;
    for (const QString& path : paths)
        preloaded[path] = {ratio, std::async(std::launch::async, decodePicture, path, ratio)};
}

QPixmap loadPicture(const QString& path, qreal devicePixelRatio) {
    const auto early = preloaded.find(path);
    if (early != preloaded.end()) {
        Preloaded taken = std::move(early->second);
        preloaded.erase(early);
        QImage image = taken.image.get();
        if (taken.ratio == devicePixelRatio) return QPixmap::fromImage(image);
    }
    return QPixmap::fromImage(decodePicture(path, devicePixelRatio));
}

QPixmap loadPicture(const QString& path) {
    return loadPicture(path, qApp ? qApp->devicePixelRatio() : 1.0);
}
