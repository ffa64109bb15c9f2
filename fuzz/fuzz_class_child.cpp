// Any two texts as one computer's files in a class child's folder (split at
// the first zero byte: settings file, then record), read as the teacher's
// window reads a child: without fault, marked only with the grid's marks,
// and a damaged pass table named.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdint>
#include <string>

#include "fuzz/Check.h"
#include "main/core/ChildFiles.h"
#include "support/core/WholeFile.h"
#include "windows/core/ClassRecord.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QTemporaryDir dir;  // the one child's folder of the whole run
    const std::string folder = dir.path().toStdString() + "/";
    const std::string all(reinterpret_cast<const char*>(data), size);
    const size_t cut = all.find('\0');
    const std::string settings = folder + computerFileName(ChildFileName::Kind::Settings, "pc-a");
    const std::string record = folder + computerFileName(ChildFileName::Kind::Record, "pc-a");
    FUZZ_CHECK(writeWholeFile(settings, all.substr(0, cut)).empty());
    if (cut == std::string::npos) QFile::remove(QString::fromStdString(record));
    else FUZZ_CHECK(writeWholeFile(record, all.substr(cut + 1)).empty());
    const ClassChild child = childOf("x", readChildFolder(folder));
    FUZZ_CHECK((child.state == ClassChild::State::Damaged) == !child.fault.empty());
    for (int r = 1; r <= kClassRanges; ++r)
        for (int c = 1; c <= kClassOrders; ++c)
            FUZZ_CHECK(child.grid.at(c, r) == kPassedMark || child.grid.at(c, r) == kNotPassedMark);
    ClassView view;
    view.children.push_back(child);
    FUZZ_CHECK(classCsv(view).size() > 3);
    return 0;
}
