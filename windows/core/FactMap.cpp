#include "windows/core/FactMap.h"

#include <algorithm>

#include "main/core/FactTables.h"

namespace factmap {

namespace {
bool isFactCell(int row, int column) { return row >= 1 && row < kRows && column >= 1 && column < kColumns; }
int factAt(int row, int column) { return (row - 1) * 9 + (column - 1); }
// The time of the right answers; a time of wrong answers or none would read
// as quick to a parent.
std::string rightTime(const FactSummary& s) { return s.rightCount > 0 ? secondsText(s.typicalMs) : "―"; }
}  // namespace

Rgb bandColour(Band band) {
    switch (band) {
    case Band::Sure: return kSureFill;
    case Band::Unsure: return kUnsureFill;
    case Band::Hard: return kHardFill;
    case Band::NotAsked: break;
    }
    return kNeverFill;
}

std::string secondsText(int ms) {
    const int tenths = (std::clamp(ms, 0, 10'000'000) + 50) / 100;
    return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + "秒";
}

std::string marksText(const FactHistory& history, int count) {
    std::string marks;
    const size_t n = history.recent.size(), from = n > size_t(count) ? n - size_t(count) : 0;
    for (size_t i = from; i < n; ++i) {
        switch (history.recent[i].kind) {
        case Outcome::Kind::Right: marks += "◎"; break;
        case Outcome::Kind::Wrong: marks += "×"; break;
        case Outcome::Kind::Passed: marks += "－"; break;
        }
    }
    return marks;
}

std::string speedWord(Speed speed) {
    switch (speed) {
    case Speed::Quick: return "はやい";
    case Speed::Usual: return "ふつう";
    case Speed::Slow: return "ゆっくり";
    case Speed::None: break;
    }
    return "";
}

GridCell cellAt(const FactRecord& record, int row, int column, View view) {
    if (row == 0 && column == 0) return {"", kHeadingFill, kHeadingInk};
    if (row == 0 && column > 0 && column < kColumns) return {"×" + toFullWidthDigits(std::to_string(column)), kHeadingFill, kHeadingInk};
    if (column == 0 && row > 0 && row < kRows) return {std::string(danNames[size_t(row - 1)]), kHeadingFill, kHeadingInk};
    if (!isFactCell(row, column)) return {"", kNeverFill, {}};
    const int q = factAt(row, column);
    const std::string fact(formulaTable[size_t(q)]);
    const FactHistory& history = record.facts[size_t(q)];
    const FactSummary s = summarise(history);
    if (!s.asked()) return {fact + "\nまだ", kNeverFill, {}};
    if (view == View::Parent)
        return {fact + "\n" + std::to_string(s.sharePercent) + "%\n" + rightTime(s), bandColour(s.band), {}};
    return {fact + "\n" + marksText(history, kMarksShown) + "\n" + speedWord(s.speed), bandColour(s.band), {}};
}

std::string cellDetails(const FactRecord& record, int row, int column) {
    if (!isFactCell(row, column)) return "";
    const FactSummary s = summarise(record.facts[size_t(factAt(row, column))]);
    if (!s.asked()) return "まだテストで出ていません";
    // Passed questions tell no limit of an answer: none is named.
    const std::string limit = s.typicalLimitMs > 0 ? "（制限時間 " + secondsText(s.typicalLimitMs) + "）" : "";
    return "正解 " + std::to_string(s.rightCount) + "/" + std::to_string(s.outcomes) + "回（" +
           std::to_string(s.sharePercent) + "%）・答えの速さ " + rightTime(s) + limit;
}

}  // namespace factmap
