#include "windows/core/Certificate.h"

#include <iterator>

#include "main/core/FactTables.h"
#include "main/core/StudyState.h"
#include "main/core/TestRecord.h"

namespace {

std::string levelName(int rangeIndex) {
    const int row = passRowOf(rangeIndex);
    return row >= 1 && row <= int(danNames.size()) ? std::string(danNames[size_t(row - 1)]) : std::string();
}

struct Era {
    int fromYear, fromMonth, fromDay;
    const char* name;
};
// Newest first: the first whose first day is not after the date is in force.
constexpr Era kEras[] = {
    {2019, 5, 1, "令和"},
    {1989, 1, 8, "平成"},
    {1926, 12, 25, "昭和"},
};

bool onOrAfter(int year, int month, int day, const Era& era) {
    if (year != era.fromYear) return year > era.fromYear;
    if (month != era.fromMonth) return month > era.fromMonth;
    return day >= era.fromDay;
}

}  // namespace

CertificateText certificateText(const StudyState& st) {
    CertificateText text;
    text.line3 = "　ここに証する。";
    text.holder = st.studentName;
    text.number = std::to_string(st.studentNo);
    switch (st.certKind) {
    case -1:
        text.kind = CertKind::Range;
        text.title = "九九術 段級位認定書";
        text.tulipBands = true;
        text.line1 = "九九術 " + levelName(st.rangeIndex) + " を";
        text.line2 = "　達成したことを";
        return text;
    case 1:
        text.kind = CertKind::Master;
        text.title = "九九術 マスター認定書";
        text.oliveBands = true;
        text.line1 = "九九術 マスター位を";
        text.line2 = "　習得したことを";
        return text;
    default:
        text.kind = CertKind::Kaiden;
        text.title = "九九術 免許皆伝書";
        text.tulipBands = text.oliveBands = true;
        text.line1 = "九九術 免許皆伝を";
        text.line2 = "　取得したことを";
        return text;
    }
}

std::string dateLine(int year, int month, int day) {
    const Era* era = &kEras[std::size(kEras) - 1];
    for (const Era& e : kEras)
        if (onOrAfter(year, month, day, e)) {
            era = &e;
            break;
        }
    const auto padded = [](int value, size_t width) {
        std::string digits = std::to_string(value);
        return std::string(width > digits.size() ? width - digits.size() : 0, '0') + digits;
    };
    return era->name + std::to_string(year - era->fromYear + 1) + "(" + padded(year, 4) + ")年" + padded(month, 2) +
           "月" + std::to_string(day) + "日";
}

int printedLength(int pixels, int printerDpi, int screenDpi) {
    if (screenDpi <= 0) return 0;
    const long long scaled = static_cast<long long>(pixels) * printerDpi;
    return static_cast<int>((scaled + screenDpi / 2) / screenDpi);
}
