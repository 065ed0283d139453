#pragma once

#include <csignal>
#include <sys/resource.h>

// While it lives, no file of this process may grow past the limit: a write that reaches it
// fails with "File too large" (EFBIG) instead of raising SIGXFSZ. This is how a full disk is met
// halfway through a write, also by root, whom a read-only folder does not stop.
class FileSizeLimit final {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        mOldSignal = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &mOld);
        rlimit limit = mOld;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &mOld);
        std::signal(SIGXFSZ, mOldSignal);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit mOld {};
    void (*mOldSignal)(int) = nullptr;
};
