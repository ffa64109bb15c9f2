// A disk with no room left, while it lives: a file size limit of zero,
// which binds root too, refuses every byte a save writes, as a full disk
// does. The signal the limit raises is ignored so that the write fails.
#pragma once

#ifdef __unix__
#include <sys/resource.h>

#include <csignal>

class FullDisk {
public:
    // room: the bytes a file may still reach before the disk is full, so
    // that a write stops part of the way, as on a disk that fills under it.
    explicit FullDisk(rlim_t room = 0) {
        ok_ = getrlimit(RLIMIT_FSIZE, &saved_) == 0;
        rlimit none = saved_;
        none.rlim_cur = room;
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        ok_ = ok_ && setrlimit(RLIMIT_FSIZE, &none) == 0;
    }
    ~FullDisk() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, oldHandler_);
    }
    bool ok() const { return ok_; }

private:
    rlimit saved_{};
    void (*oldHandler_)(int) = nullptr;
    bool ok_ = false;
};
#endif
