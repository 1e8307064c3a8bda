#include "sysinfo/SystemInfo.h"

#include <time.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <regex>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#include <x86intrin.h>
#endif

namespace sysinfo {
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

std::optional<double> lastMatch(const std::string& text, const std::regex& pattern) {
    std::optional<double> found;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), pattern); it != std::sregex_iterator(); ++it) {
        found = std::strtod((*it)[1].str().c_str(), nullptr);
    }
    return found;
}

std::optional<double> cpuidTscMHz() {
#if defined(__x86_64__) || defined(__i386__)
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (__get_cpuid_max(0, nullptr) < 0x15) return std::nullopt;
    __cpuid_count(0x15, 0, eax, ebx, ecx, edx);
    // TSC = crystal * ebx / eax; many processors and most VMs leave the
    // crystal frequency (ecx) zero, and then this leaf says nothing exact.
    if (eax == 0 || ebx == 0 || ecx == 0) return std::nullopt;
    return static_cast<double>(ecx) * ebx / eax / 1e6;
#else
    return std::nullopt;
#endif
}

long long rawNs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC_RAW, &ts);
    return static_cast<long long>(ts.tv_sec) * 1000000000LL + ts.tv_nsec;
}

std::optional<double> calibratedTscMHz() {
#if defined(__x86_64__) || defined(__i386__)
    const long long n0 = rawNs();
    const unsigned long long t0 = __rdtsc();
    const timespec twoSeconds{2, 0};
    nanosleep(&twoSeconds, nullptr);
    const long long n1 = rawNs();
    const unsigned long long t1 = __rdtsc();
    return static_cast<double>(t1 - t0) * 1e3 / static_cast<double>(n1 - n0);
#else
    return std::nullopt;
#endif
}

}  // namespace

std::optional<double> parseKernelTscMHz(const std::string& kernelLog) {
    static const std::regex refined(R"(tsc: Refined TSC clocksource calibration: ([0-9]+(\.[0-9]+)?) MHz)");
    static const std::regex detected(R"(tsc: Detected ([0-9]+(\.[0-9]+)?) MHz processor)");
    if (auto mhz = lastMatch(kernelLog, refined)) return mhz;
    return lastMatch(kernelLog, detected);
}

std::optional<double> kernelTscMHz() {
    for (const char* command : {"dmesg 2>/dev/null", "journalctl -k -b 0 --no-pager -q 2>/dev/null"}) {
        if (auto mhz = parseKernelTscMHz(commandOutput(command))) return mhz;
    }
    return std::nullopt;
}

std::optional<TscRate> tscReference() {
    if (auto mhz = kernelTscMHz()) return TscRate{*mhz, "kernel log"};
    if (auto mhz = cpuidTscMHz()) return TscRate{*mhz, "CPUID 0x15"};
    if (auto mhz = calibratedTscMHz()) return TscRate{*mhz, "2 s vs CLOCK_MONOTONIC_RAW"};
    return std::nullopt;
}

namespace {
std::string firstLine(const char* path) {
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    while (!line.empty() && (line.back() == ' ' || line.back() == '\n')) line.pop_back();
    return line;
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
    TscFlags flags;
    std::ifstream in("/proc/cpuinfo");
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("flags", 0) != 0) continue;
        const std::string list = " " + line.substr(line.find(':') + 1) + " ";
        flags.known = true;
        flags.constant = list.find(" constant_tsc ") != std::string::npos;
        flags.nonstop = list.find(" nonstop_tsc ") != std::string::npos;
        break;
    }
    return flags;
}

std::string hypervisor() {
#if defined(__x86_64__) || defined(__i386__)
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    __cpuid(1, eax, ebx, ecx, edx);
    if ((ecx & (1U << 31)) == 0) return "none";
    __cpuid(0x40000000, eax, ebx, ecx, edx);
    char signature[13] = {};
    std::memcpy(signature, &ebx, 4);
    std::memcpy(signature + 4, &ecx, 4);
    std::memcpy(signature + 8, &edx, 4);
    const std::string id(signature);
    if (id == "KVMKVMKVM") return "KVM";
    if (id == "Microsoft Hv") return "Microsoft Hyper-V";
    if (id == "VMwareVMware") return "VMware";
    if (id == "XenVMMXenVMM") return "Xen";
    if (id == "TCGTCGTCGTCG") return "QEMU (TCG)";
    if (id == "VBoxVBoxVBox") return "VirtualBox";
    if (id == "ACRNACRNACRN") return "ACRN";
    return id.empty() ? "unknown" : id;
#else
    const std::string type = firstLine("/sys/hypervisor/type");
    return type.empty() ? "unknown" : type;
#endif
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

long long clockResolutionNs(int clockId) {
    timespec res{};
    if (clock_getres(static_cast<clockid_t>(clockId), &res) != 0) return 0;
    return static_cast<long long>(res.tv_sec) * 1000000000LL + res.tv_nsec;
}

}  // namespace sysinfo
