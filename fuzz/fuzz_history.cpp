// Any text as a child's history: every line read is sound (fields within
// their ranges), writes back as a line that reads again the same, and the
// days summed from it stay within their bounds.
#include <cstdint>
#include <string_view>

#include "fuzz/Check.h"
#include "main/core/History.h"
#include "windows/core/Progress.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const HistoryRead read = historyFromText(std::string_view(reinterpret_cast<const char*>(data), size));
    FUZZ_CHECK(read.skipped >= 0);
    for (const HistoryEntry& e : read.entries) {
        FUZZ_CHECK(e.range >= kHardFactsTestRange && e.range <= 12 && e.order >= 0 && e.order <= 2);
        FUZZ_CHECK(e.right >= 0 && e.wrong >= 0 && e.passed >= 0 && e.typicalMs >= 0);
        const HistoryRead again = historyFromText(historyLine(e));
        FUZZ_CHECK(again.skipped == 0 && again.entries.size() == 1 && again.entries[0] == e);
    }
    for (const DayProgress& d : progressByDay(read.entries)) {
        FUZZ_CHECK(d.sharePercent() >= 0 && d.sharePercent() <= 100);
        FUZZ_CHECK(d.tests > 0 && d.fullMarks <= d.tests);
        FUZZ_CHECK(!shortDay(d.day).empty());
    }
    return 0;
}
