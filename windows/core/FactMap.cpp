#include "windows/core/FactMap.h"

#include <algorithm>
#include <cmath>

#include "main/core/FactTables.h"

namespace factmap {

namespace {
constexpr Rgb kSure{60, 200, 80};
constexpr Rgb kUnsure{255, 220, 40};
constexpr Rgb kHard{240, 70, 60};

int mix(int a, int b, double t) { return int(std::lround(a + (b - a) * t)); }
Rgb mix(const Rgb& a, const Rgb& b, double t) { return {mix(a.r, b.r, t), mix(a.g, b.g, t), mix(a.b, b.b, t)}; }
}  // namespace

Rgb hardnessColour(double hardness) {
    const double h = std::clamp(hardness, 0.0, 1.0);
    return h < 0.5 ? mix(kSure, kUnsure, h * 2) : mix(kUnsure, kHard, (h - 0.5) * 2);
}

std::string secondsText(int ms) {
    const int tenths = (std::max(ms, 0) + 50) / 100;
    return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + "秒";
}

GridCell cellAt(const FactRecord& record, int row, int column) {
    if (row < 0 || row >= kRows || column < 0 || column >= kColumns) return {"", kNeverFill};
    if (row == 0 && column == 0) return {"", kHeadingFill, kHeadingInk};
    if (row == 0) return {"×" + toFullWidthDigits(std::to_string(column)), kHeadingFill, kHeadingInk};
    if (column == 0) return {std::string(danNames[size_t(row - 1)]), kHeadingFill, kHeadingInk};
    const int q = (row - 1) * 9 + (column - 1);
    const std::string fact(formulaTable[size_t(q)]);
    const FactSummary s = summarise(record.facts[size_t(q)]);
    if (!s.asked) return {fact + "\nまだ", kNeverFill};
    return {fact + "\n" + std::to_string(s.sharePercent) + "%\n" + secondsText(s.typicalMs), hardnessColour(s.hardness)};
}

}  // namespace factmap
