// What a certificate says: its kind, title, bands and lines, the holder's
// name and number, and the date line with the era of the day.
#pragma once

#include <string>

struct StudyState;

enum class CertKind { Range = -1, Kaiden = 0, Master = 1 };

struct CertificateText {
    CertKind kind = CertKind::Kaiden;
    std::string title;
    bool tulipBands = false;
    bool oliveBands = false;
    std::string line1;
    std::string line2;
    std::string line3;
    std::string holder;
    std::string number;
};

// From certKind (an unknown value shows the 免許皆伝 layout, as laid out),
// rangeIndex, studentName and studentNo.
CertificateText certificateText(const StudyState& st);

// "令和8(2026)年12月07日"-style: the era in force that day (令和 from
// 1 May 2019, 平成 from 8 January 1989, 昭和 before), the four-digit year,
// a two-digit month and the day without a leading zero.
std::string dateLine(int year, int month, int day);

// Pixels laid out at screenDpi, in printer dots, rounded to the nearest dot.
int printedLength(int pixels, int printerDpi, int screenDpi = 96);
