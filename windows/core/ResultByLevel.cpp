#include "windows/core/ResultByLevel.h"

#include <algorithm>

#include "main/core/FactTables.h"
#include "main/core/StudyState.h"

namespace {

constexpr const char* kKanji[] = {"一", "二", "三", "四", "五", "六", "七", "八", "九"};
constexpr int kPassRow = 10;

struct ShownLevel {
    const char* name;
    std::vector<int> tables;
};

// Any range that is not one of the three small levels shows all tables.
ShownLevel levelOf(int rangeIndex) {
    if (rangeKind(rangeIndex) != RangeKind::Level) return {"全級(１～９段)", {1, 2, 3, 4, 5, 6, 7, 8, 9}};
    const auto& tables = kLevels[size_t(rangeIndex - 9)].tables;
    return {rangeNames[size_t(rangeIndex)].data(), {tables.begin(), tables.end()}};
}

void putHeadings(LevelResult& r) {
    r.cells[0][0] = "[段]→";
    r.cells[0][kPassRow] = "合・否";
    for (int i = 1; i <= 9; ++i) {
        r.cells[i][0] = kKanji[i - 1];
        r.cells[0][i] = "×" + toFullWidthDigits(std::to_string(i));
    }
}

// Fills the column of table d and counts its 18 outcomes.
void putTable(LevelResult& r, const StudyState& st, int d) {
    bool faultless = true;
    for (int m = 1; m <= 9; ++m) {
        const int first = st.kekkaArray[d - 1][m - 1];
        const int second = st.kekkaArray[9 + d - 1][m - 1];
        for (int outcome : {first, second}) {
            if (outcome == 1) {
                ++r.right;
            } else {
                ++r.notRight;
                faultless = false;
            }
        }
        r.cells[d][m] = std::string(markOf(first)) + std::string(markOf(second));
    }
    r.cells[d][kPassRow] = faultless ? "◎" : "×";
}

// A three-table level passes once one of its tables is faultless in both
// passes; all tables together need every outcome right.
bool secondChance(const LevelResult& r) {
    if (r.tables.size() != 3) return r.notRight == 0;
    return std::any_of(r.tables.begin(), r.tables.end(), [&](int d) { return r.cells[d][kPassRow] == "◎"; });
}

}  // namespace

LevelResult readLevelResult(const StudyState& st) {
    LevelResult r;
    const ShownLevel level = levelOf(st.rangeIndex);
    r.tables = level.tables;
    r.title = std::string(level.name) + (st.contentIndex == 3 ? "（順）" : "（乱）") + "のテスト結果";
    putHeadings(r);
    for (int d : r.tables) putTable(r, st, d);
    if (r.right == 0) {
        r.verdict = "まだ１つもできてないよ。チャレンジ。がんぼ！";
    } else {
        r.verdict = r.notRight > 0 ? "できなかったところがあるよ。覚えちゃおう!!" : "★パーペキです。おみごと！ ワンダフル！";
        r.registrable = r.notRight == 0 || secondChance(r);
    }
    r.pass = passCellOf(st);
    return r;
}

void registerLevelResult(StudyState& st, const LevelResult& result, const std::function<void()>& openQualification) {
    registerTested(st, result.pass, openQualification);
}
