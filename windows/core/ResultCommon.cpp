#include "windows/core/ResultCommon.h"

#include "main/core/StudyState.h"
#include "main/core/TestRecord.h"

std::string_view markOf(int outcome) {
    if (outcome == 1) return "◎";
    if (outcome == 0) return "×";
    return "－";
}

PassCell passCellOf(const StudyState& st) { return {st.contentIndex - 2, passRowOf(st.rangeIndex)}; }

void registerTested(StudyState& st, PassCell cell, const std::function<void()>& openQualification) {
    registerPass(st, cell.column, cell.row, openQualification);
}
