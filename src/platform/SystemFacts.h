#pragma once
// What the system says about its clocks and about this program, read rather
// than measured: the kernel's clocksource and tick, the TSC's flags and rate
// as the kernel or the processor states them, the hypervisor, the program's
// version, and the desktop's icon-title font.
//
// One implementation is linked into a program, as for the clocks:
// SystemFactsLinux.cpp, SystemFactsWindows.cpp or, in the tests,
// SystemFactsSimulated.cpp. What a system cannot say is reported as
// unknown ("unknown", empty, 0), never guessed.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// The kernel's current clocksource ("tsc", "kvm-clock", "hpet", ...), or
// "unknown".
std::string currentClocksource();
// Every clocksource the kernel offers, space-separated as the kernel lists
// them; empty where it does not say.
std::string availableClocksources();

struct TscFlags {
    bool known = false;     // false where the processor's flags cannot be read
    bool constant = false;  // ticks at a fixed rate whatever the core clock does
    bool nonstop = false;   // keeps ticking in deep sleep states
    bool invariant() const { return constant && nonstop; }
};
TscFlags tscFlags();

// The hypervisor's name ("KVM", "Microsoft Hyper-V", ...), "none" on bare
// metal, or "unknown".
std::string hypervisor();

// The processor architecture this program was built for.
std::string architecture();

// The TSC rate the kernel states (Linux: its log); empty where it cannot be
// read (it may need privileges) or does not say.
std::optional<double> kernelTscMHz();

struct TscRate {
    double mhz = 0;
    std::string source;  // where the figure comes from, for tables
};
// The best reference for the TSC rate this machine offers: the kernel,
// else CPUID leaf 0x15, else a 2 s calibration against the steadiest
// clock the system has. Empty only where the processor has no cycle
// counter this program can read.
std::optional<TscRate> tscReference();

// The kernel's timer tick in ns: how often the coarse clocks step. 0 where
// it is unknown.
std::int64_t kernelTickNs();

// True when the program's standard output is a terminal (not a file or a
// pipe).
bool outputIsTerminal();

// The program's version as a four-part "FileVersion" string, such as
// "1.0.0.0". On Windows it is read back from the program file's own version
// resource; empty when that resource or its entry is missing.
std::string programFileVersion();

// What the clock layer reads for each Windows service the program names, for
// reports that explain the figures.
struct ClockBacking {
    const char* windowsName;
    const char* backing;
};
std::vector<ClockBacking> clockBacking();

// The font the desktop uses for icon titles, where the system has such a
// setting. Empty where the window toolkit's own general font is the answer.
struct FontSpec {
    std::string family;
    int pixelHeight = 0;
};
std::optional<FontSpec> desktopIconTitleFont();

}  // namespace platform
