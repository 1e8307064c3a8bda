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

#include <vector>

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

// The "FileVersion" string of the first translation in the program file's
// own version resource.
std::string programFileVersion() {
    const std::wstring path = win::moduleFileName();
    if (path.empty()) return {};
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &handle);
    if (size == 0) return {};
    std::vector<unsigned char> data(size);
    if (!GetFileVersionInfoW(path.c_str(), 0, size, data.data())) return {};

    struct Translation {
        WORD language;
        WORD codePage;
    };
    Translation* translations = nullptr;
    UINT translationBytes = 0;
    if (!VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation",
                        reinterpret_cast<void**>(&translations), &translationBytes) ||
        translationBytes < sizeof(Translation)) {
        return {};
    }
    wchar_t query[64];
    wsprintfW(query, L"\\StringFileInfo\\%04x%04x\\FileVersion", translations[0].language,
              translations[0].codePage);
    wchar_t* value = nullptr;
    UINT valueChars = 0;
    if (!VerQueryValueW(data.data(), query, reinterpret_cast<void**>(&value), &valueChars) ||
        valueChars == 0) {
        return {};
    }
    // The stored length counts the terminating zero.
    return toUtf8(value, static_cast<int>(lstrlenW(value)));
}

std::vector<ClockBacking> clockBacking() {
    return {
        {"QueryPerformanceCounter", "QueryPerformanceCounter"},
        {"GetTickCount", "GetTickCount"},
        {"timeGetTime", "timeGetTime"},
        {"GetSystemTimeAsFileTime", "GetSystemTimeAsFileTime"},
        {"Now()", "GetLocalTime"},
        {"RDTSC", "the processor's cycle counter"},
        {"GetSystemTimeAdjustment", "GetSystemTimeAdjustment"},
        {"timeGetDevCaps", "timeGetDevCaps"},
        {"timeBeginPeriod", "timeBeginPeriod"},
    };
}

std::optional<FontSpec> desktopIconTitleFont() {
    LOGFONTW font{};
    if (!SystemParametersInfoW(SPI_GETICONTITLELOGFONT, sizeof font, &font, 0)) return std::nullopt;
    FontSpec iconFont;
    iconFont.family = toUtf8(font.lfFaceName, lstrlenW(font.lfFaceName));
    iconFont.pixelHeight = font.lfHeight < 0 ? -font.lfHeight : font.lfHeight;
    return iconFont;
}

}  // namespace platform
