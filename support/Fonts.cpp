#include "support/Fonts.h"

#include <QFontDatabase>
#include <QStringList>

namespace {

// Each list in the order its families are preferred.
const std::vector<std::string> kJapaneseFamilies = {"Noto Sans CJK JP", "IPAexGothic", "IPAGothic",
                                                    "TakaoGothic",      "VL Gothic",   "Noto Sans JP",
                                                    "MS UI Gothic",     "Yu Gothic UI", "Meiryo"};
const std::vector<std::string> kMinchoFamilies = {"IPAMincho", "IPAPMincho"};
const std::vector<std::string> kProportionalMinchoFamilies = {"IPAPMincho", "IPAMincho"};
const std::vector<std::string> kGyoushoFamilies = {"KouzanBrushFontGyousyo", "AoyagiKouzanFontT"};
const std::string kDisplayFamily = "RocknRoll One";

QStringList qtNames(const std::vector<std::string>& families) {
    QStringList names;
    for (const std::string& family : families) names << QString::fromStdString(family);
    return names;
}

}  // namespace

const std::vector<std::string>& japaneseFamilies() { return kJapaneseFamilies; }

std::vector<std::string> familiesDrawnIn() {
    std::vector<std::string> all = kJapaneseFamilies;
    all.insert(all.end(), kMinchoFamilies.begin(), kMinchoFamilies.end());
    all.insert(all.end(), kGyoushoFamilies.begin(), kGyoushoFamilies.end());
    all.push_back(kDisplayFamily);
    return all;
}

QString japaneseFamily() {
    static const QString chosen = [] {
        const QStringList installed = QFontDatabase::families();
        for (const QString& name : qtNames(kJapaneseFamilies))
            if (installed.contains(name)) return name;
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
    if (face == Face::Mincho) families = qtNames(kMinchoFamilies);
    if (face == Face::ProportionalMincho) families = qtNames(kProportionalMinchoFamilies);
    if (face == Face::Gyousho) families = qtNames(kGyoushoFamilies);
    if (families.isEmpty()) return font;
    families << japaneseFamily();
    font.setFamilies(families);
    return font;
}

QFont displayFont(int pixelSize) {
    static const QString family = QString::fromStdString(kDisplayFamily);
    static const bool installed = QFontDatabase::families().contains(family);
    if (!installed) return japaneseFont(pixelSize, true);
    QFont font(family);
    font.setPixelSize(pixelSize);
    return font;
}
