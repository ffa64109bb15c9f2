// What a window says of its print job: nothing while it is on its way or
// has printed; a box naming the printer and why when there is none, the
// printer refuses it, holds it or loses it.
#pragma once

#include <QString>

class PrintJob;
class QWidget;

// `what` names the printed thing as the box says it: 証明書, にがて九九マップ.
void tellPrint(QWidget* over, const PrintJob& job, const QString& what);
