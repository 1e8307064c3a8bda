// Linux backend of the clock layer.
//
// Each Windows service the program reports on is mapped onto the Linux clock
// that behaves like it, so the labels keep their Windows names and still say
// something true about this machine:
//
// - The performance counter is CLOCK_MONOTONIC in nanoseconds (frequency
//   1e9): the finest steady clock, read through the vDSO like QPC is read
//   through the TSC page.
// - GetTickCount is CLOCK_MONOTONIC_COARSE in ms: it is only updated by the
//   kernel tick, which is what makes GetTickCount step at 15.6 ms on Windows.
// - timeGetTime is CLOCK_MONOTONIC in ms: a 1 ms-resolution steady clock.
// - The file time is CLOCK_REALTIME_COARSE, again tick-driven like the
//   Windows file time, converted to 100 ns units since 1601.
// - GetSystemTimeAdjustment reads adjtimex() without changing anything; see
//   systemTimeAdjustment() below for how its three outputs are derived.
// - timeBeginPeriod/timeEndPeriod: Linux has no system-wide timer period, so
//   they are accepted and change nothing.

#if !defined(__linux__)
#error "This implementation is for Linux; the build picks one backend per OS."
#endif

#include "platform/Clocks.h"

#include "platform/CivilTime.h"
#include "platform/LinuxTime.h"

#include <sched.h>
#include <sys/timex.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <ctime>

#if defined(__x86_64__) || defined(__i386__)
#include <x86intrin.h>
#endif

namespace platform {
namespace {

thread_local std::uint32_t tLastError = 0;

inline std::int64_t nanoseconds(clockid_t clock) {
    timespec ts{};
    clock_gettime(clock, &ts);
    return static_cast<std::int64_t>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

inline std::uint32_t milliseconds32(clockid_t clock) {
    timespec ts{};
    clock_gettime(clock, &ts);
    // Unsigned arithmetic wraps at 2^32 just like the Windows tick counts.
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(ts.tv_sec) * 1000U +
                                      static_cast<std::uint64_t>(ts.tv_nsec) / 1000000U);
}

// strerror_r comes in a GNU flavour (returns the text) and an XSI one
// (fills the buffer); these overloads accept whichever the C library has.
[[maybe_unused]] const char* errorText(const char* gnuResult, const char*) { return gnuResult; }
[[maybe_unused]] const char* errorText(int xsiResult, const char* buffer) {
    return xsiResult == 0 ? buffer : "Unknown error";
}

}  // namespace

bool queryPerformanceFrequency(std::int64_t& frequency) {
    frequency = 1000000000;
    return true;
}

std::int64_t queryPerformanceCounter() { return nanoseconds(CLOCK_MONOTONIC); }

std::uint32_t tickCount() { return milliseconds32(CLOCK_MONOTONIC_COARSE); }

std::uint32_t multimediaTime() { return milliseconds32(CLOCK_MONOTONIC); }

std::uint64_t systemFileTime() {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME_COARSE, &ts);
    return civil::kFileTimeUnixEpoch + static_cast<std::uint64_t>(ts.tv_sec) * 10000000U +
           static_cast<std::uint64_t>(ts.tv_nsec) / 100U;
}

double localDateTime() {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    tm local{};
    localtime_r(&ts.tv_sec, &local);
    return civil::dateTimeFromCivil(local.tm_year + 1900, static_cast<unsigned>(local.tm_mon + 1),
                                    static_cast<unsigned>(local.tm_mday),
                                    static_cast<unsigned>(local.tm_hour),
                                    static_cast<unsigned>(local.tm_min),
                                    // A leap second reads as :59, as Windows never shows :60.
                                    static_cast<unsigned>(local.tm_sec > 59 ? 59 : local.tm_sec),
                                    static_cast<unsigned>(ts.tv_nsec / 1000000));
}

void sleepMs(std::uint32_t milliseconds) {
    if (milliseconds == 0) {
        sched_yield();
        return;
    }
    timespec remaining{static_cast<time_t>(milliseconds / 1000),
                       static_cast<long>(milliseconds % 1000) * 1000000L};
    // A signal cuts nanosleep short; carry on with what is left so the
    // caller always sleeps the whole time.
    while (nanosleep(&remaining, &remaining) != 0 && errno == EINTR) {
    }
}

// The Windows figures are per clock interrupt: the increment is the interval
// between interrupts, the adjustment what the kernel actually adds to the
// clock at each one. On Linux the interrupt interval is the resolution of the
// coarse clocks (the kernel tick), and the kernel's discipline shows in two
// adjtimex fields: `tick` (µs per USER_HZ tick, nominally 1e6/USER_HZ) and
// `freq` (frequency offset in ppm with a 16-bit fraction). The adjustment is
// the increment scaled by both. "Disabled" means no one is disciplining the
// clock (STA_UNSYNC), which is what the Windows flag means too.
bool systemTimeAdjustment(TimeAdjustment& result) {
    timex tx{};
    tx.modes = 0;  // read only
    if (adjtimex(&tx) == -1) {
        tLastError = static_cast<std::uint32_t>(errno);
        return false;
    }
    const std::int64_t tickNs = linux_time::resolutionNs(CLOCK_MONOTONIC_COARSE);
    const double increment = static_cast<double>(tickNs) / 100.0;
    const long userHz = sysconf(_SC_CLK_TCK);
    const double nominalTickUs = userHz > 0 ? 1e6 / static_cast<double>(userHz) : 10000.0;
    const double tickScale = static_cast<double>(tx.tick) / nominalTickUs;
    const double freqScale = 1.0 + static_cast<double>(tx.freq) / 65536.0 / 1e6;
    result.increment = static_cast<std::int32_t>(std::lround(increment));
    result.adjustment = static_cast<std::int32_t>(std::lround(increment * tickScale * freqScale));
    result.adjustmentDisabled = (tx.status & STA_UNSYNC) != 0;
    return true;
}

std::uint32_t lastError() { return tLastError; }

std::string systemErrorMessage(std::uint32_t errorCode) {
    char buffer[256] = {};
    return errorText(strerror_r(static_cast<int>(errorCode), buffer, sizeof buffer), buffer);
}

std::uint32_t timerDevCaps(TimerCaps& caps) {
    const std::int64_t res = linux_time::resolutionNs(CLOCK_MONOTONIC);
    const std::int64_t minMs = (res + 999999) / 1000000;
    caps.periodMin = static_cast<std::uint32_t>(minMs < 1 ? 1 : minMs);
    caps.periodMax = 1000000;
    return 0;
}

std::uint32_t timerBeginPeriod(std::uint32_t) { return 0; }
std::uint32_t timerEndPeriod(std::uint32_t) { return 0; }

std::uint64_t readTimeStampCounter() {
#if defined(__x86_64__) || defined(__i386__)
    return __rdtsc();
#elif defined(__aarch64__)
    std::uint64_t value;
    asm volatile("mrs %0, cntvct_el0" : "=r"(value));
    return value;
#else
#error "No cycle counter read for this processor"
#endif
}

}  // namespace platform
