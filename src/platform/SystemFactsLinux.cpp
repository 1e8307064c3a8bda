// Linux side of the system facts: /sys, /proc, the kernel log, CPUID.

#if !defined(__linux__)
#error "This implementation is for Linux; the build picks one per OS."
#endif

#include "platform/SystemFacts.h"

#include "ZentoraVersion.h"
#include "platform/Clocks.h"
#include "platform/Cpuid.h"
#include "platform/FactsParsing.h"
#include "platform/LinuxTime.h"

#include <unistd.h>

#include <array>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <sstream>

namespace platform {
namespace {

std::string commandOutput(const char* command) {
    std::string out;
    FILE* pipe = popen(command, "r");
    if (pipe == nullptr) return out;
    std::array<char, 4096> buffer{};
    std::size_t n = 0;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) out.append(buffer.data(), n);
    pclose(pipe);
    return out;
}

std::string firstLine(const char* path) {
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    while (!line.empty() && (line.back() == ' ' || line.back() == '\n')) line.pop_back();
    return line;
}

std::int64_t rawNs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC_RAW, &ts);
    return static_cast<std::int64_t>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

// Two seconds of cycles against the clock the kernel never slews.
double calibratedTscMHz() {
    const std::int64_t n0 = rawNs();
    const std::uint64_t t0 = readTimeStampCounter();
    const timespec twoSeconds{2, 0};
    nanosleep(&twoSeconds, nullptr);
    const std::int64_t n1 = rawNs();
    const std::uint64_t t1 = readTimeStampCounter();
    return static_cast<double>(t1 - t0) * 1e3 / static_cast<double>(n1 - n0);
}

}  // namespace

std::string currentClocksource() {
    const std::string name = firstLine("/sys/devices/system/clocksource/clocksource0/current_clocksource");
    return name.empty() ? "unknown" : name;
}

std::string availableClocksources() {
    return firstLine("/sys/devices/system/clocksource/clocksource0/available_clocksource");
}

TscFlags tscFlags() {
    std::ifstream in("/proc/cpuinfo");
    std::stringstream text;
    text << in.rdbuf();
    return parse::cpuinfoTscFlags(text.str());
}

std::string hypervisor() {
    if (const auto signature = cpuid::hypervisorSignature()) {
        return signature->empty() ? "none" : parse::hypervisorName(*signature);
    }
    const std::string type = firstLine("/sys/hypervisor/type");
    return type.empty() ? "unknown" : type;
}

std::string architecture() {
#if defined(__x86_64__)
    return "x86_64";
#elif defined(__i386__)
    return "x86";
#elif defined(__aarch64__)
    return "aarch64";
#else
    return "other";
#endif
}

std::optional<double> kernelTscMHz() {
    for (const char* command : {"dmesg 2>/dev/null", "journalctl -k -b 0 --no-pager -q 2>/dev/null"}) {
        if (auto mhz = parse::kernelTscMHz(commandOutput(command))) return mhz;
    }
    return std::nullopt;
}

std::optional<TscRate> tscReference() {
    if (auto mhz = kernelTscMHz()) return TscRate{*mhz, "kernel log"};
    if (auto mhz = cpuid::tscMHz()) return TscRate{*mhz, "CPUID 0x15"};
    return TscRate{calibratedTscMHz(), "2 s vs CLOCK_MONOTONIC_RAW"};
}

std::int64_t kernelTickNs() { return linux_time::resolutionNs(CLOCK_MONOTONIC_COARSE); }

bool outputIsTerminal() { return isatty(STDOUT_FILENO) != 0; }

std::string programFileVersion() { return ZENTORA_FILE_VERSION; }

std::optional<FontSpec> desktopIconTitleFont() { return std::nullopt; }

std::vector<ClockBacking> clockBacking() {
    return {
        {"QueryPerformanceCounter", "CLOCK_MONOTONIC in ns (frequency 1000000000)"},
        {"GetTickCount", "CLOCK_MONOTONIC_COARSE in ms (steps at the kernel tick)"},
        {"timeGetTime", "CLOCK_MONOTONIC in ms"},
        {"GetSystemTimeAsFileTime", "CLOCK_REALTIME_COARSE in 100 ns units since 1601 (steps at the kernel tick)"},
        {"Now()", "CLOCK_REALTIME with localtime_r"},
        {"RDTSC", "the processor's cycle counter"},
        {"GetSystemTimeAdjustment", "adjtimex, read only"},
        {"timeGetDevCaps", "clock_getres(CLOCK_MONOTONIC), in whole ms"},
        {"timeBeginPeriod", "accepted, changes nothing: Linux has no system-wide timer period"},
    };
}

}  // namespace platform
