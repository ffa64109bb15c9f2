#include "support/Fonts.h"

#include <QFontDatabase>
#include <QStringList>

QString japaneseFamily() {
    static const QString chosen = [] {
        const QStringList families = QFontDatabase::families();
        for (const char* name : {"Noto Sans CJK JP", "IPAexGothic", "IPAGothic", "TakaoGothic", "VL Gothic",
                                 "Noto Sans JP", "MS UI Gothic", "Yu Gothic UI", "Meiryo"})
            if (families.contains(QString::fromUtf8(name))) return QString::fromUtf8(name);
        return QString();
    }();
    return chosen;
}

QFont japaneseFont(int pixelSize, bool bold) {
    QFont font(japaneseFamily());
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

QFont faceFont(Face face, int pixelSize, bool bold) {
    QFont font = japaneseFont(pixelSize, bold);
    QStringList families;
    if (face == Face::Mincho) families << QStringLiteral("IPAMincho") << QStringLiteral("IPAPMincho");
    if (face == Face::Gyousho) families << QStringLiteral("KouzanBrushFontGyousyo") << QStringLiteral("AoyagiKouzanFontT");
    if (families.isEmpty()) return font;
    families << japaneseFamily();
    font.setFamilies(families);
    return font;
}

QFont displayFont(int pixelSize) {
    static const bool installed = QFontDatabase::families().contains(QStringLiteral("RocknRoll One"));
    if (!installed) return japaneseFont(pixelSize, true);
    QFont font(QStringLiteral("RocknRoll One"));
    font.setPixelSize(pixelSize);
    return font;
}
