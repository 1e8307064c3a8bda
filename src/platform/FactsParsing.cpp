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

// "wordword…" or "word word …" as the word once; anything else unchanged.
std::string spelledOnce(const std::string& id) {
    for (std::size_t length = 1; length <= id.size() / 2; ++length) {
        const std::string word = id.substr(0, length);
        for (const char* separator : {"", " "}) {
            std::string spelled = word;
            while (spelled.size() < id.size()) spelled += separator + word;
            if (spelled == id) return word;
        }
    }
    return id;
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
    // The signature is padded with blanks or NULs, and many hypervisors
    // spell their name twice or three times to fill its 12 bytes.
    std::string id = signature.substr(0, signature.find('\0'));
    while (!id.empty() && id.back() == ' ') id.pop_back();
    while (!id.empty() && id.front() == ' ') id.erase(0, 1);
    id = spelledOnce(id);
    if (id == "Microsoft Hv") return "Microsoft Hyper-V";
    if (id == "XenVMM") return "Xen";
    if (id == "TCG") return "QEMU (TCG)";
    if (id == "VBox") return "VirtualBox";
    return id.empty() ? "unknown" : id;
}

}  // namespace platform::parse
