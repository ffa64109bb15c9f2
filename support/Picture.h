// The windows' pictures, sharp on a dense screen.
#pragma once

#include <QPixmap>
#include <QString>
#include <QStringList>

// Loads a picture (a file or a ":/..." resource; JPEG through our own
// decoder, anything else through Qt). Above a device pixel ratio of 1 the
// picture drawn at twice the size, "name@2x.ext" beside "name.ext", is used
// when it exists, marked with a ratio of 2 so that it fills the same box.
// A missing or damaged picture gives a null pixmap.
QPixmap loadPicture(const QString& path, qreal devicePixelRatio);

// The same at the ratio of the application's densest screen.
QPixmap loadPicture(const QString& path);

// Starts decoding pictures on another thread at the application's ratio; a
// later loadPicture of one of them takes the result (waiting if need be)
// instead of decoding it again. Call after the application is made.
void preloadPictures(const QStringList& paths);

// "dir/name@2x.ext" for "dir/name.ext".
QString doubleSizeName(const QString& path);
