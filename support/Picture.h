// The windows' pictures, sharp on a dense screen.
#pragma once

#include <QPixmap>
#include <QString>

// Loads a picture (a file or a ":/..." resource; JPEG through our own
// decoder, anything else through Qt). Above a device pixel ratio of 1 the
// picture drawn at twice the size, "name@2x.ext" beside "name.ext", is used
// when it exists, marked with a ratio of 2 so that it fills the same box.
// A missing or damaged picture gives a null pixmap.
QPixmap loadPicture(const QString& path, qreal devicePixelRatio);

// The same at the ratio of the application's densest screen.
QPixmap loadPicture(const QString& path);

// "dir/name@2x.ext" for "dir/name.ext".
QString doubleSizeName(const QString& path);
