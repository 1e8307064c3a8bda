#pragma once
// The operating-system clock layer: every clock, timer and system query the
// program measures, behind plain functions with Windows semantics. What the
// system states about itself (not measured) is in SystemFacts.h.
//
// Exactly one implementation is linked into a program: ClocksLinux.cpp,
// ClocksWindows.cpp or, in the tests, ClocksSimulated.cpp. The seam is the
// linker, so a measuring loop calls these functions directly: no virtual
// call, no function object, nothing between the loop and the clock.
//
// What these values do not promise: the performance counter frequency says
// nothing about the processor's speed, the time-stamp counter need not tick
// at the core clock, and the tick and file-time clocks advance in steps whose
// size is whatever the system's timer tick happens to be.

#include <cstdint>
#include <string>

namespace platform {

// Counts per second of the performance counter. False (and `frequency`
// untouched) when the system has no such counter.
bool queryPerformanceFrequency(std::int64_t& frequency);
// The performance counter's current reading, in counts.
std::int64_t queryPerformanceCounter();

// Milliseconds since an arbitrary start, wrapping at 2^32. Steps at the
// system's timer tick, like GetTickCount.
std::uint32_t tickCount();
// Multimedia timer milliseconds, wrapping at 2^32, like timeGetTime.
std::uint32_t multimediaTime();

// The system time as 100 ns units since 1601-01-01 UTC, stepping at the
// timer tick, like GetSystemTimeAsFileTime.
std::uint64_t systemFileTime();

// The local wall-clock time as days since 1899-12-30 with the time of day as
// the fraction, read to the millisecond like GetLocalTime.
double localDateTime();

// Suspends the thread for `milliseconds`; 0 gives up the rest of the time
// slice.
void sleepMs(std::uint32_t milliseconds);

struct TimeAdjustment {
    std::int32_t adjustment = 0;  // 100 ns units added per clock interrupt
    std::int32_t increment = 0;   // 100 ns units between clock interrupts
    bool adjustmentDisabled = false;
};
// Like GetSystemTimeAdjustment: false on failure, with the reason left for
// lastError().
bool systemTimeAdjustment(TimeAdjustment& result);

// The error code of the last failed call of this layer, like GetLastError.
std::uint32_t lastError();
// The system's message text for an error code, as the system gives it
// (trailing blanks and full stop included where the system writes them).
std::string systemErrorMessage(std::uint32_t errorCode);

struct TimerCaps {
    std::uint32_t periodMin = 0;  // ms
    std::uint32_t periodMax = 0;  // ms
};
// Like timeGetDevCaps: 0 on success, an error code otherwise.
std::uint32_t timerDevCaps(TimerCaps& caps);
// Like timeBeginPeriod / timeEndPeriod: 0 on success. Every begin is to be
// paired with an end of the same period.
std::uint32_t timerBeginPeriod(std::uint32_t periodMs);
std::uint32_t timerEndPeriod(std::uint32_t periodMs);

// The processor's cycle counter (RDTSC on x86, the virtual counter on Arm).
std::uint64_t readTimeStampCounter();

}  // namespace platform
