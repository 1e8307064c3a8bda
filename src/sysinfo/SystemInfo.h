#pragma once
// What the system says about its own clocks, read from the kernel and the
// processor rather than measured: the cycle counter's rate as the kernel
// (or the processor) states it, the clocksources, the TSC's flags, the
// hypervisor. The accuracy benchmark uses it as its reference, the terminal
// report as its context.

#include <optional>
#include <string>

namespace sysinfo {

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

// The TSC rate from the kernel's log alone (no calibration); empty where
// the log cannot be read (it may need privileges) or does not say.
std::optional<double> kernelTscMHz();

// The kernel's current clocksource ("tsc", "kvm-clock", "hpet", ...), or
// "unknown".
std::string currentClocksource();
// Every clocksource the kernel offers, space-separated as the kernel lists
// them; empty where it does not say.
std::string availableClocksources();

struct TscFlags {
    bool known = false;      // false where the processor's flags cannot be read
    bool constant = false;   // ticks at a fixed rate whatever the core clock does
    bool nonstop = false;    // keeps ticking in deep sleep states
    bool invariant() const { return constant && nonstop; }
};
TscFlags tscFlags();

// The hypervisor's name ("KVM", "Microsoft Hyper-V", ...), "none" on bare
// metal, or "unknown".
std::string hypervisor();

// The processor architecture this program was built for.
std::string architecture();

// clock_getres of a clock, in ns.
long long clockResolutionNs(int clockId);

}  // namespace sysinfo
