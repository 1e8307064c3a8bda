#pragma once
// Facts the processor states through CPUID, the same on every OS. On a
// processor without CPUID every answer is empty.

#include <optional>
#include <string>

namespace platform::cpuid {

// The hypervisor's 12-byte signature; an empty string on bare metal (the
// hypervisor bit is clear); no value where there is no CPUID.
std::optional<std::string> hypervisorSignature();
// Whether the TSC is invariant (leaf 0x80000007, EDX bit 8); empty where the
// processor does not say.
std::optional<bool> invariantTsc();
// The TSC rate from leaf 0x15 (crystal clock times the TSC ratio); empty
// where the leaf is missing or leaves the crystal frequency zero, as many
// processors and most VMs do.
std::optional<double> tscMHz();

}  // namespace platform::cpuid
