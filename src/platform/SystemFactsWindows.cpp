// Windows side of the system facts: what Windows and the processor state.
// Windows has no clocksource list and no kernel log; those are unknown.

#if !defined(_WIN32)
#error "This implementation is for Windows; the build picks one per OS."
#endif

#include "platform/SystemFacts.h"

#include "platform/Clocks.h"
#include "platform/Cpuid.h"
#include "platform/FactsParsing.h"
#include "platform/WindowsCommon.h"

#include <io.h>

#include <cstdio>
#include <vector>

namespace platform {
using win::toUtf8;

std::string currentClocksource() { return "unknown"; }

std::string availableClocksources() { return {}; }

TscFlags tscFlags() {
    // Windows has no per-flag list; the processor's invariant-TSC bit is
    // what Linux derives both flags from.
    TscFlags flags;
    if (const auto invariant = cpuid::invariantTsc()) {
        flags.known = true;
        flags.constant = flags.nonstop = *invariant;
    }
    return flags;
}

std::string hypervisor() {
    const auto signature = cpuid::hypervisorSignature();
    if (!signature) return "unknown";
    return signature->empty() ? "none" : parse::hypervisorName(*signature);
}

std::string architecture() {
#if defined(_M_X64) || defined(__x86_64__)
    return "x86_64";
#elif defined(_M_ARM64) || defined(__aarch64__)
    return "aarch64";
#else
    return "other";
#endif
}

std::optional<double> kernelTscMHz() { return std::nullopt; }

std::optional<TscRate> tscReference() {
    if (auto mhz = cpuid::tscMHz()) return TscRate{*mhz, "CPUID 0x15"};
    std::int64_t frequency = 0;
    if (!queryPerformanceFrequency(frequency) || frequency <= 0) return std::nullopt;
    // Two seconds of cycles against the performance counter.
    const std::int64_t c0 = queryPerformanceCounter();
    const std::uint64_t t0 = readTimeStampCounter();
    sleepMs(2000);
    const std::int64_t c1 = queryPerformanceCounter();
    const std::uint64_t t1 = readTimeStampCounter();
    const double seconds = static_cast<double>(c1 - c0) / static_cast<double>(frequency);
    return TscRate{static_cast<double>(t1 - t0) / seconds / 1e6, "2 s vs QueryPerformanceCounter"};
}

std::int64_t kernelTickNs() {
    // The clock interrupt's current period, as GetSystemTimeAdjustment
    // gives it in 100 ns units.
    TimeAdjustment adjustment;
    if (!systemTimeAdjustment(adjustment) || adjustment.increment <= 0) return 0;
    return static_cast<std::int64_t>(adjustment.increment) * 100;
}

bool outputIsTerminal() { return _isatty(_fileno(stdout)) != 0; }

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
