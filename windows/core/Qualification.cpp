#include "windows/core/Qualification.h"

#include "main/core/FactTables.h"
#include "main/core/TestRecord.h"

namespace {

constexpr int kInOrder = 1;
constexpr int kRandom = 2;

bool isTestColumn(int column) { return column == kInOrder || column == kRandom; }


}  // namespace

CheckGrid gridFromPasses(const StudyState& st) {
    CheckGrid grid;
    grid.cell[0] = {"▼達成段階▼", "答え(順)", "答え(乱)", " (予備) ", " (予備) "};
    for (int r = 1; r < kVerdictRow; ++r) grid.at(0, r) = danNames[size_t(r - 1)];
    grid.at(0, kVerdictRow) = "合否";
    for (int c = 1; c < kCheckCols; ++c)
        for (int r = 1; r <= kVerdictRow; ++r) {
            if (!isTestColumn(c))
                grid.at(c, r) = kReservedMark;
            else
                grid.at(c, r) = st.recCheckArray[c - 1][r - 1] != 0 ? kPassedMark : kNotPassedMark;
        }
    return grid;
}

bool columnQualifies(const CheckGrid& grid, int column) {
    if (grid.passed(column, kAllTablesRow)) return true;
    // Each level passes as a level test or as its three tables one by one;
    // a table's row is its number.
    for (const Level& level : kLevels) {
        if (grid.passed(column, passRowOf(level.rangeIndex))) continue;
        for (int table : level.tables)
            if (!grid.passed(column, table)) return false;
    }
    return true;
}

Rank runCheck(CheckGrid& grid) {
    bool qualifies[kCheckCols] = {};
    for (int c = 1; c < kCheckCols; ++c) {
        qualifies[c] = columnQualifies(grid, c);
        grid.at(c, kVerdictRow) = qualifies[c] ? kPassedMark : kFailedMark;
    }
    if (!(qualifies[1] && qualifies[2])) return Rank::None;
    return qualifies[3] && qualifies[4] ? Rank::Kaiden : Rank::Master;
}

std::string_view rankMessage(Rank rank) {
    switch (rank) {
    case Rank::Master:
        return "おめでとう。<九九術マスター> の資格をゲットできるぞ。";
    case Rank::Kaiden:
        return "でかした。<九九術免許皆伝> をゲットできるぞ。";
    case Rank::None:
        break;
    }
    return "<九九術マスター>をめざしてがんぼ。";
}

int rangeIndexOfRow(int row) {
    for (int range = 0; range < kRangeCount; ++range)
        if (passRowOf(range) == row) return range;
    return -1;
}

RangeCertificate requestRangeCertificate(const CheckGrid& grid, int column, int row, StudyState& st) {
    if (!isTestColumn(column) || row < 1 || row >= kVerdictRow) return RangeCertificate::Ignored;
    const int partner = column == kInOrder ? kRandom : kInOrder;
    if (!grid.passed(column, row) || !grid.passed(partner, row)) return RangeCertificate::NotBothOrders;
    st.contentIndex = column + 2;
    st.rangeIndex = rangeIndexOfRow(row);
    st.certKind = row == kAllTablesRow ? 1 : -1;
    return RangeCertificate::Open;
}

void requestMasterCertificate(StudyState& st) { st.certKind = 1; }

Rank clearRecords(CheckGrid& grid, StudyState& st) {
    for (int c = 1; c < kCheckCols; ++c)
        for (int r = 1; r <= kVerdictRow; ++r) {
            grid.at(c, r) = kClearedMark;
            st.recCheckArray[c - 1][r - 1] = 0;
        }
    return runCheck(grid);
}

void writeBack(const CheckGrid& grid, StudyState& st) {
    for (int c = 1; c < kCheckCols; ++c)
        for (int r = 1; r <= kVerdictRow; ++r) st.recCheckArray[c - 1][r - 1] = grid.passed(c, r) ? 1 : 0;
}

SelectionChange selectionChange(const ListSelection& shown, const StudyState& st) {
    return {shown.contentIndex != st.contentIndex, shown.rangeIndex != st.rangeIndex};
}
