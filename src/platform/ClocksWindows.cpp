// Windows backend of the clock layer: the Win32 services themselves.
//
// A short primer on what each call reads, since the labels report on them:
// - QueryPerformanceCounter reads the invariant TSC (or HPET/ACPI PM timer on
//   old machines) scaled by the kernel; its frequency is fixed at boot.
// - GetTickCount and GetSystemTimeAsFileTime are updated by the clock
//   interrupt, so they step at the timer tick (15.625 ms by default).
// - timeGetTime reads the interrupt time in ms; its resolution follows the
//   timer period that timeBeginPeriod raises.
// - GetSystemTimeAdjustment reports the per-interrupt increment and the
//   adjustment the time service applies.

#if !defined(_WIN32)
#error "This implementation is for Windows; the build picks one backend per OS."
#endif

#include "platform/Clocks.h"

#include "platform/CivilTime.h"

#include "platform/WindowsCommon.h"

#include <mmsystem.h>
#include <intrin.h>


namespace platform {
using win::toUtf8;

bool queryPerformanceFrequency(std::int64_t& frequency) {
    LARGE_INTEGER value;
    if (!QueryPerformanceFrequency(&value)) return false;
    frequency = value.QuadPart;
    return true;
}

std::int64_t queryPerformanceCounter() {
    LARGE_INTEGER value;
    QueryPerformanceCounter(&value);
    return value.QuadPart;
}

std::uint32_t tickCount() { return GetTickCount(); }

std::uint32_t multimediaTime() { return timeGetTime(); }

std::uint64_t systemFileTime() {
    FILETIME ft;
    GetSystemTimeAsFileTime(&ft);
    return (static_cast<std::uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

double localDateTime() {
    SYSTEMTIME st;
    GetLocalTime(&st);
    return civil::dateTimeFromCivil(st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond,
                                    st.wMilliseconds);
}

void sleepMs(std::uint32_t milliseconds) { Sleep(milliseconds); }

bool systemTimeAdjustment(TimeAdjustment& result) {
    DWORD adjustment = 0;
    DWORD increment = 0;
    BOOL disabled = FALSE;
    if (!GetSystemTimeAdjustment(&adjustment, &increment, &disabled)) return false;
    result.adjustment = static_cast<std::int32_t>(adjustment);
    result.increment = static_cast<std::int32_t>(increment);
    result.adjustmentDisabled = disabled != FALSE;
    return true;
}

std::uint32_t lastError() { return GetLastError(); }

std::string systemErrorMessage(std::uint32_t errorCode) {
    wchar_t buffer[256];
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, errorCode, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                                        buffer, 256, nullptr);
    return toUtf8(buffer, static_cast<int>(length));
}

std::uint32_t timerDevCaps(TimerCaps& caps) {
    TIMECAPS tc{};
    static_assert(sizeof(TIMECAPS) == 8);
    const MMRESULT result = timeGetDevCaps(&tc, sizeof(TIMECAPS));
    if (result == TIMERR_NOERROR) {
        caps.periodMin = tc.wPeriodMin;
        caps.periodMax = tc.wPeriodMax;
    }
    return result;
}

std::uint32_t timerBeginPeriod(std::uint32_t periodMs) { return timeBeginPeriod(periodMs); }
std::uint32_t timerEndPeriod(std::uint32_t periodMs) { return timeEndPeriod(periodMs); }

std::uint64_t readTimeStampCounter() { return __rdtsc(); }

}  // namespace platform
