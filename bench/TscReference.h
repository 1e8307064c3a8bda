#pragma once
// Independent references for the accuracy benchmark: the cycle counter's
// rate as the kernel (or the processor) states it, and what backs the
// system clocks.

#include <optional>
#include <string>

namespace bench {

struct TscRate {
    double mhz = 0;
    std::string source;  // where the figure comes from, for the table
};

// The kernel's TSC rate from its log: the refined calibration where there
// is one, else the rate detected at boot. Empty when the log has neither.
std::optional<double> parseKernelTscMHz(const std::string& kernelLog);

// The best reference this machine offers: the kernel log, else CPUID leaf
// 0x15 (crystal clock times the TSC ratio), else a 2 s calibration against
// CLOCK_MONOTONIC_RAW. Empty only where the processor has no cycle counter
// this program can read.
std::optional<TscRate> tscReference();

// The kernel's current clocksource ("tsc", "kvm-clock", "hpet", ...).
std::string currentClocksource();

// clock_getres of a clock, in ns.
long long clockResolutionNs(int clockId);

}  // namespace bench
