// Japanese text needs a Japanese font; this picks the installed one.
#pragma once

#include <QFont>
#include <QString>

QString japaneseFamily();
QFont japaneseFont(int pixelSize, bool bold = false);

// A bold, rounded display face for big headings (RocknRoll One); the
// Japanese font in bold when it is not installed.
QFont displayFont(int pixelSize);
