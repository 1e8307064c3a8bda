// The system facts of the simulated machine; see SimulatedClocks.h. Facts
// the simulation does not set are unknown, as on a system that cannot say.

#include "platform/SimulatedClocks.h"
#include "platform/SystemFacts.h"

namespace platform {

std::string currentClocksource() { return "unknown"; }
std::string availableClocksources() { return {}; }
TscFlags tscFlags() { return {}; }
std::string hypervisor() { return "unknown"; }
std::string architecture() { return "simulated"; }
std::optional<double> kernelTscMHz() { return std::nullopt; }
std::optional<TscRate> tscReference() {
    return TscRate{static_cast<double>(sim::config().timeStampHz) / 1e6, "the simulated clock"};
}
std::int64_t kernelTickNs() { return sim::config().tickPeriod; }
bool outputIsTerminal() { return false; }
std::string programFileVersion() { return sim::config().fileVersion; }
std::optional<FontSpec> desktopIconTitleFont() { return std::nullopt; }
std::vector<ClockBacking> clockBacking() {
    return {{"QueryPerformanceCounter", "the simulated clock"}, {"GetTickCount", "the simulated clock"}};
}

}  // namespace platform
