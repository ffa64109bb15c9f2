// JPEG pictures of the windows, decoded with libjpeg itself.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// Decodes a JPEG image in memory into an RGB888 image. A damaged or
// truncated file gives a null image; it never ends the program.
QImage decodeJpeg(const QByteArray& bytes);

// Reads a JPEG file (also a ":/..." resource) and decodes it; null when the
// file cannot be read or decoded.
QImage loadJpegResource(const QString& path);
