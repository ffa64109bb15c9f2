#include "windows/core/ResultByTable.h"

#include "main/core/FactTables.h"
#include "main/core/StudyState.h"

namespace {

constexpr const char* kPassHeadings[] = {"１回目", "２回目", "３回目"};

// A table number outside 1-9 never reaches here from the menus; the first
// table keeps the window readable if it does.
int danShown(const StudyState& st) { return st.currentDan >= 1 && st.currentDan <= 9 ? st.currentDan : 1; }

std::string verdictOf(const TableResult& r) {
    if (r.answered == 0) return "まだ１つもやってないよ。テストしよう!!";
    if (r.wrong > 0) return "★できなかったところがあるよ。さいチャ!!";
    return "☆パーペキだね。いうことなし!!";
}

}  // namespace

TableResult readTableResult(const StudyState& st) {
    TableResult r;
    const int d = danShown(st);
    r.title = "「" + std::string(danNames[d - 1]) + "」" + (st.contentIndex % 2 != 0 ? "（順）" : "（乱）") +
              "のテスト結果";
    r.cells[0][0] = "【九・九】";
    for (int p = 1; p < TableResult::kColumns; ++p) r.cells[p][0] = kPassHeadings[p - 1];
    for (int m = 1; m < TableResult::kRows; ++m) {
        r.cells[0][m] = std::string(formulaTable[(d - 1) * 9 + (m - 1)]) + "　";
        for (int p = 1; p < TableResult::kColumns; ++p) {
            const int outcome = st.kekkaArray[p - 1][m - 1];
            r.cells[p][m] = markOf(outcome);
            if (outcome == 0) ++r.wrong;
            if (outcome < 2) ++r.answered;
        }
    }
    r.verdict = verdictOf(r);
    r.registrable = r.answered > 0 && r.wrong == 0;
    r.pass = passCellOf(st);
    return r;
}

std::string registerTableResult(StudyState& st, const TableResult& result, RegisterFrom from,
                                const std::function<void()>& openQualification) {
    if (result.wrong > 0)
        return from == RegisterFrom::Button ? "全問正解でないと，証明書の発行はできません。"
                                            : "全問正解でないと，登録はできません。";
    registerTested(st, result.pass, openQualification);
    return {};
}
