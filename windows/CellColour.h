// The plain colours of the window logic's cells, as the toolkit's.
#pragma once

#include <QColor>

#include "windows/core/GridCell.h"

inline QColor cellColour(const Rgb& rgb) { return QColor(rgb.r, rgb.g, rgb.b); }
