// Any two texts as one child's files in a class folder (split at the first
// zero byte: settings file, then record): the child is read without fault,
// marked only with the grid's marks, and a damaged pass table is named.
#include <cstdint>
#include <string>

#include "fuzz/Check.h"
#include "windows/core/ClassRecord.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string all(reinterpret_cast<const char*>(data), size);
    const size_t cut = all.find('\0');
    const std::string settings = all.substr(0, cut);
    const std::string record = cut == std::string::npos ? std::string() : all.substr(cut + 1);
    const ClassChild child = readClassChild("x", settings, true, record, cut != std::string::npos);
    FUZZ_CHECK((child.state == ClassChild::State::Damaged) == !child.fault.empty());
    for (int r = 1; r <= kClassRanges; ++r)
        for (int c = 1; c <= kClassOrders; ++c)
            FUZZ_CHECK(child.grid.at(c, r) == kPassedMark || child.grid.at(c, r) == kNotPassedMark);
    ClassView view;
    view.children.push_back(child);
    FUZZ_CHECK(classCsv(view).size() > 3);
    return 0;
}
