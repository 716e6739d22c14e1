#pragma once

#include <csignal>
#include <sys/resource.h>

// Writes beyond `bytes` fail with EFBIG while it lives: a write failure even root cannot bypass.
struct FileSizeLimit {
    rlimit saved {};
    explicit FileSizeLimit(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &saved);
        const rlimit limit { bytes, saved.rlim_max };
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &saved); }
};
