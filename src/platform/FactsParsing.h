#pragma once
// The pure part of reading system facts: turning what the kernel or the
// processor wrote into facts. No system call here, so every rule is tested
// on text a test writes.

#include "platform/SystemFacts.h"

#include <optional>
#include <string>

namespace platform::parse {

// The kernel's TSC rate from its log: the refined calibration where there
// is one, else the rate detected at boot. Empty when the log has neither.
std::optional<double> kernelTscMHz(const std::string& kernelLog);

// The TSC flags from /proc/cpuinfo's first "flags" line; not known when
// there is none.
TscFlags cpuinfoTscFlags(const std::string& cpuinfo);

// A hypervisor's name from its 12-byte CPUID signature (leaf 0x40000000).
std::string hypervisorName(const std::string& signature);

}  // namespace platform::parse
