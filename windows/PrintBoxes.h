// What a window says of its print job: nothing while it is on its way or
// has printed; a box naming the printer and why when there is none, the
// printer refuses it, holds it or loses it.
#pragma once

#include <QPixmap>
#include <QString>
#include <functional>
#include <vector>

class PrintJob;
class QPainter;
class QWidget;

// `what` names the printed thing as the box says it: 証明書, にがて九九マップ.
void tellPrint(QWidget* over, const PrintJob& job, const QString& what);

// A job of `window`, whose boxes it tells (above), and which ends when the
// window is closed: what becomes of it later is not followed.
PrintJob* newPrintJob(QWidget* window, const QString& what);

// Prints a picture of a window at its size on screen (smaller only where the
// paper is narrower), from the corner of the printable area, going on over
// as many pages as it is long; the job is a child of `window`, which tells
// what becomes of it. True once the printer has taken it.
// A page ends at the last of `breaks` (heights in the picture, such as the
// bottoms of a grid's rows) that fits on it, so that no row is cut in two.
// `heading`, when given, is drawn at the top of every page, `scale` page
// units to a pixel of the picture, `top` the height in the picture where the
// page's part of it starts; it returns the height it took.
using PageHeading = std::function<double(QPainter& painter, double pageWidth, double scale, double top)>;
bool printPicture(QWidget* window, const QPixmap& picture, const QString& what, const std::vector<int>& breaks = {},
                  const PageHeading& heading = {});

class QTableView;
// The whole grid, every row, as the window would show it were it tall
// enough; with the bottom of each row, where a page may end.
struct WholeGrid {
    QPixmap picture;
    std::vector<int> rowBottoms;
};
WholeGrid wholeGrid(QTableView* grid);
