#include "main/core/TestRecord.h"

#include "main/core/FactTables.h"

void setKekka(StudyState& st, int passNo, int q, int right) {
    if (q < 0 || q >= kFactCount || passNo < 1) return;
    int row = 0;
    const RangeKind kind = rangeKind(st.rangeIndex);
    if (kind == RangeKind::Unknown) return;
    row = kind == RangeKind::Table ? passNo - 1 : (passNo - 1) * 9 + q / 9;
    if (row >= kKekkaRows) return;
    st.kekkaArray[row][q % 9] = right ? 1 : 0;
}

int passRowOf(int rangeIndex) {
    static constexpr int kRows[kRangeCount] = {1, 2, 5, 3, 4, 6, 8, 7, 9, 10, 11, 12, 13};
    if (rangeIndex < 0 || rangeIndex >= kRangeCount) return 0;
    return kRows[rangeIndex];
}

void registerPass(StudyState& st, int column, int row, const std::function<void()>& openQualification) {
    if (column >= 1 && column <= kRecCols && row >= 1 && row <= kRecRows) {
        st.recCheckArray[column - 1][row - 1] = 1;
        ++st.passRegistrations[column - 1][row - 1];
    }
    st.certKind = -1;
    if (openQualification) openQualification();
}

void recCheckFromText(StudyState& st, std::string_view text) {
    for (int col = 0; col < kRecCols; ++col)
        for (int row = 0; row < kRecRows; ++row) {
            const size_t pos = size_t(col * kRecRows + row);
            const char c = pos < text.size() ? text[pos] : '0';
            st.recCheckArray[col][row] = (c >= '0' && c <= '9') ? c - '0' : 0;
        }
}

std::string recCheckToText(const StudyState& st) {
    std::string text;
    text.reserve(kRecCols * kRecRows);
    for (int col = 0; col < kRecCols; ++col)
        for (int row = 0; row < kRecRows; ++row) text += st.recCheckArray[col][row] != 0 ? '1' : '0';
    return text;
}
