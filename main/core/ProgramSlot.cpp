#include "main/core/ProgramSlot.h"

#include <QLockFile>

namespace {
// More programs of one account at once than any classroom computer runs.
constexpr int kSlots = 9;
}  // namespace

ProgramSlot::ProgramSlot() = default;
ProgramSlot::~ProgramSlot() = default;

std::string ProgramSlot::take(const std::string& familyDir, const std::string& computerId) {
    lock_.reset();
    for (int slot = 1; slot <= kSlots; ++slot) {
        const std::string suffix = slot == 1 ? "" : "-" + std::to_string(slot);
        auto lock = std::make_unique<QLockFile>(QString::fromStdString(familyDir + "kuku_computer" + suffix + ".lock"));
        // Held only by a live program: one that was killed leaves its slot free.
        lock->setStaleLockTime(0);
        if (lock->tryLock(0)) {
            lock_ = std::move(lock);
            return computerId + suffix;
        }
        if (lock->error() != QLockFile::LockFailedError) break;
    }
    return computerId;
}
