// The qualification check: which ranges were passed in which answer order,
// the rank they earn, and the certificates it hands out. Every decision is
// taken on the grid's texts, as the window shows them.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "main/core/StudyState.h"

inline constexpr int kCheckRows = kRecRows + 1;  // a header row above the pass table
inline constexpr int kCheckCols = kRecCols + 1;  // a column of row names before it
inline constexpr int kVerdictRow = kRecRows;     // 合否
inline constexpr int kAllTablesRow = 13;         // すべての段

inline constexpr std::string_view kPassedMark = "◎";
inline constexpr std::string_view kNotPassedMark = "―";  // U+2015
inline constexpr std::string_view kReservedMark = "--";
inline constexpr std::string_view kFailedMark = "×";
inline constexpr std::string_view kClearedMark = "－";  // U+FF0D

inline constexpr std::string_view kQualificationCaption = "□ごかくにん□";
inline constexpr std::string_view kNotBothOrdersText = "この段(級)は，まだ<順>と<乱>の\nテストの両方に通ってないよ。";
inline constexpr std::string_view kClearQuestionText = "成績の記録を消去します。いいですか。";

// 0 no rank, 1 九九術マスター, 2 九九術免許皆伝.
enum class Rank { None = 0, Master = 1, Kaiden = 2 };

// The window's working copy of the pass table, cell[row][column].
struct CheckGrid {
    std::array<std::array<std::string, kCheckCols>, kCheckRows> cell;
    const std::string& at(int column, int row) const { return cell[size_t(row)][size_t(column)]; }
    std::string& at(int column, int row) { return cell[size_t(row)][size_t(column)]; }
    bool passed(int column, int row) const { return at(column, row) == kPassedMark; }
};

// Headers, row names and the marks of the pass table; the check not yet run.
CheckGrid gridFromPasses(const StudyState& st);

// Row 13 passed, or each level passed as a level or table by table.
bool columnQualifies(const CheckGrid& grid, int column);

// Writes the verdict row and returns the rank it earns.
Rank runCheck(CheckGrid& grid);
std::string_view rankMessage(Rank rank);
inline bool masterCertificateAllowed(Rank rank) { return rank != Rank::None; }

// Range (0-12) whose pass is kept in a row (1-13); -1 for any other row.
int rangeIndexOfRow(int row);

enum class RangeCertificate { Ignored, NotBothOrders, Open };

// The range certificate for the selected cell. Ignored for the reserved
// columns, the verdict row and the fixed cells; refused unless both orders
// passed the row. When it opens, the study state asks for that range in
// that order and the certificate kind is chosen (master for all tables).
RangeCertificate requestRangeCertificate(const CheckGrid& grid, int column, int row, StudyState& st);

void requestMasterCertificate(StudyState& st);

// Every mark becomes "－" and every flag 0; the check is run again.
Rank clearRecords(CheckGrid& grid, StudyState& st);

// Only "◎" counts as passed, so the reserved columns always end as 0.
void writeBack(const CheckGrid& grid, StudyState& st);

// The main window's lists show a content and a range; after a window that
// may change the study state's, it re-selects what differs as if the child
// had chosen it (which also clears the answer record).
struct ListSelection {
    int contentIndex = 0;
    int rangeIndex = 0;
};
struct SelectionChange {
    bool content = false;
    bool range = false;
    bool any() const { return content || range; }
};
SelectionChange selectionChange(const ListSelection& shown, const StudyState& st);
