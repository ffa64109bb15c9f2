// What a window says of its print job: nothing while it is on its way or
// has printed; a box naming the printer and why when there is none, the
// printer refuses it, holds it or loses it.
#pragma once

#include <QString>

class PrintJob;
class QWidget;

// `what` names the printed thing as the box says it: 証明書, にがて九九マップ.
void tellPrint(QWidget* over, const PrintJob& job, const QString& what);

class QPixmap;
// Prints a picture of a window at its size on screen (smaller only where the
// paper is narrower), from the corner of the printable area, going on over
// as many pages as it is long; the job is a child of `window`, which tells
// what becomes of it. True once the printer has taken it.
bool printPicture(QWidget* window, const QPixmap& picture, const QString& what);
