// Small helpers for how the windows look.
#pragma once

#include <QColor>

class QWidget;

// The widget paints its whole area in the colour.
void fillBackground(QWidget* widget, const QColor& colour);
