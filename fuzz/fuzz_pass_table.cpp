// Any RECCHECKARRAY text: 56 flags come out, written as 56 digits that read
// back to the same passes.
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/Check.h"
#include "main/core/TestRecord.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    StudyState st;
    recCheckFromText(st, std::string_view(reinterpret_cast<const char*>(data), size));
    const std::string text = recCheckToText(st);
    FUZZ_CHECK(text.size() == size_t(kRecCols * kRecRows));
    for (int c = 0; c < kRecCols; ++c)
        for (int r = 0; r < kRecRows; ++r) {
            FUZZ_CHECK(st.recCheckArray[c][r] >= 0 && st.recCheckArray[c][r] <= 9);
            const size_t pos = size_t(c * kRecRows + r);
            FUZZ_CHECK((text[pos] == '1') == (pos < size && data[pos] >= '1' && data[pos] <= '9'));
        }
    StudyState back;
    recCheckFromText(back, text);
    FUZZ_CHECK(recCheckToText(back) == text);
    return 0;
}
