// Any hints file: the table is filled from pieces of at most 52 bytes and
// nothing is read or written outside it.
#include <cstdint>
#include <string_view>

#include "fuzz/Check.h"
#include "support/core/Codec.h"
#include "support/core/Mnemonics.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    MnemonicTable table;
    table[5] = "left over from before";
    fillMnemonics(table, std::string_view(reinterpret_cast<const char*>(data), size));
    for (const std::string& hint : table) FUZZ_CHECK(codec::toCp932(hint).size() <= size_t(kMnemonicPieceBytes));
    if (size == 0) FUZZ_CHECK(table[5].empty());
    return 0;
}
