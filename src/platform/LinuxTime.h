#pragma once
// Linux only: clock_getres as a number, shared by the Linux backends (and
// by the accuracy benchmark, whose references are the kernel's own).

#if !defined(__linux__)
#error "This header is for the Linux backends only."
#endif

#include <cstdint>
#include <ctime>

namespace platform::linux_time {

// The resolution of `clock` in ns; 0 when the kernel does not say.
inline std::int64_t resolutionNs(clockid_t clock) {
    timespec res{};
    if (clock_getres(clock, &res) != 0) return 0;
    return static_cast<std::int64_t>(res.tv_sec) * 1000000000 + res.tv_nsec;
}

}  // namespace platform::linux_time
