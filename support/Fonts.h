// Japanese text needs a Japanese font; this picks the installed one.
#pragma once

#include <QFont>
#include <QString>

QString japaneseFamily();
QFont japaneseFont(int pixelSize, bool bold = false);
