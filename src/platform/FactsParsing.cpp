#include "platform/FactsParsing.h"

#include <cstdlib>
#include <regex>
#include <sstream>

namespace platform::parse {
namespace {

std::optional<double> lastMatch(const std::string& text, const std::regex& pattern) {
    std::optional<double> found;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), pattern); it != std::sregex_iterator(); ++it) {
        found = std::strtod((*it)[1].str().c_str(), nullptr);
    }
    return found;
}

}  // namespace

std::optional<double> kernelTscMHz(const std::string& kernelLog) {
    static const std::regex refined(R"(tsc: Refined TSC clocksource calibration: ([0-9]+(\.[0-9]+)?) MHz)");
    static const std::regex detected(R"(tsc: Detected ([0-9]+(\.[0-9]+)?) MHz processor)");
    if (auto mhz = lastMatch(kernelLog, refined)) return mhz;
    return lastMatch(kernelLog, detected);
}

TscFlags cpuinfoTscFlags(const std::string& cpuinfo) {
    TscFlags flags;
    std::istringstream in(cpuinfo);
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

std::string hypervisorName(const std::string& signature) {
    const std::string id = signature.substr(0, signature.find('\0'));
    if (id == "KVMKVMKVM") return "KVM";
    if (id == "Microsoft Hv") return "Microsoft Hyper-V";
    if (id == "VMwareVMware") return "VMware";
    if (id == "XenVMMXenVMM") return "Xen";
    if (id == "TCGTCGTCGTCG") return "QEMU (TCG)";
    if (id == "VBoxVBoxVBox") return "VirtualBox";
    if (id == "ACRNACRNACRN") return "ACRN";
    return id.empty() ? "unknown" : id;
}

}  // namespace platform::parse
