#include "windows/core/DanTable.h"

#include <algorithm>

#include <QString>

#include "main/core/FactTables.h"

namespace dantable {

namespace {

const Rgb kYellow{255, 255, 0};
const Rgb kBlack{0, 0, 0};
const Rgb kGrey{128, 128, 128};
const Rgb kBlue{0, 0, 255};
const Rgb kRed{255, 0, 0};
const Rgb kWhite{255, 255, 255};


// Characters first..first+count-1 (0-based) of a reading, without the
// ideographic spaces that pad it to a fixed width.
std::string readingPart(std::string_view reading, int first, int count) {
    QString part = QString::fromUtf8(reading.data(), qsizetype(reading.size())).mid(first, count);
    part.remove(QChar(0x3000));
    return part.toStdString();
}

}  // namespace

bool isLit(int refFromContent, int rangeIndex, int dan) {
    if (refFromContent == 0) return true;
    switch (rangeKind(rangeIndex)) {
    case RangeKind::Table: return danOfRange[size_t(rangeIndex)] == dan;
    case RangeKind::Level: {
        const auto& tables = kLevels[size_t(rangeIndex - 9)].tables;
        return std::find(tables.begin(), tables.end(), dan) != tables.end();
    }
    case RangeKind::All: return true;
    default: return false;
    }
}

std::string factText(int dan, int multiplier) {
    const size_t q = size_t((dan - 1) * 9 + (multiplier - 1));
    std::string text(formulaTable[q]);
    text += "＝";
    text += productTable[q];
    // Character 9 (index 8) is the "・" in front of the product's reading.
    text += "\n" + readingPart(readingTable[q], 0, 8);
    text += "\n" + readingPart(readingTable[q], 9, 7);
    return text;
}

GridCell cellAt(const StudyState& st, int row, int column) {
    const int dan = column + 1;
    const bool lit = isLit(st.refFromContent, st.rangeIndex, dan);
    if (row == 0) return {std::string(danNames[size_t(column)]), lit ? kYellow : kGrey, lit ? kBlack : kBlue};
    const Rgb fill = !lit ? kGrey : (dan % 2 == 1 ? kBlue : kRed);
    return {factText(dan, row), fill, kWhite};
}

}  // namespace dantable
