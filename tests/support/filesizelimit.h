#pragma once

#include <csignal>
#include <sys/resource.h>

// While it lives, a write that would grow any file of this process past the limit fails with
// "File too large" rather than raising SIGXFSZ: a full disk met halfway, even by root.
class FileSizeLimit final {
public:
    explicit FileSizeLimit(rlim_t bytes)
        : mOldSignal(std::signal(SIGXFSZ, SIG_IGN))
    {
        getrlimit(RLIMIT_FSIZE, &mOld);
        const rlimit limit { bytes, mOld.rlim_max };
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
    void (*mOldSignal)(int);
    rlimit mOld {};
};
