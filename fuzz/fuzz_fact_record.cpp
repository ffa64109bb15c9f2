// Any text as the record of answers: whatever is read is sound (bounded
// numbers, at most ten outcomes a fact), summarises without overflow, and
// writes back as a record that reads again whole and the same.
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/Check.h"
#include "main/core/FactRecord.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FactRecord record;
    recordFromText(record, std::string_view(reinterpret_cast<const char*>(data), size));
    for (const FactHistory& h : record.facts) {
        FUZZ_CHECK(h.right >= 0 && h.right <= h.asked);
        FUZZ_CHECK(int(h.recent.size()) <= kRecentOutcomes && int(h.recent.size()) <= h.asked);
        const FactSummary s = summarise(h);
        FUZZ_CHECK(s.sharePercent >= 0 && s.sharePercent <= 100);
        FUZZ_CHECK(s.typicalMs >= 0);
    }
    FUZZ_CHECK(int(hardestFacts(record, 9).size()) <= 9);
    const std::string text = recordToText(record);
    FactRecord back;
    FUZZ_CHECK(recordFromText(back, text));
    FUZZ_CHECK(recordToText(back) == text);
    return 0;
}
