#include "platform/Cpuid.h"

#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#define ZENTORA_HAS_CPUID 1
#endif

namespace platform::cpuid {

#if defined(ZENTORA_HAS_CPUID)

std::optional<std::string> hypervisorSignature() {
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    __cpuid(1, eax, ebx, ecx, edx);
    if ((ecx & (1U << 31)) == 0) return std::string();
    __cpuid(0x40000000, eax, ebx, ecx, edx);
    std::string signature(12, '\0');
    std::memcpy(signature.data(), &ebx, 4);
    std::memcpy(signature.data() + 4, &ecx, 4);
    std::memcpy(signature.data() + 8, &edx, 4);
    return signature;
}

std::optional<bool> invariantTsc() {
    if (__get_cpuid_max(0x80000000, nullptr) < 0x80000007) return std::nullopt;
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    __cpuid(0x80000007, eax, ebx, ecx, edx);
    return (edx & (1U << 8)) != 0;
}

std::optional<double> tscMHz() {
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (__get_cpuid_max(0, nullptr) < 0x15) return std::nullopt;
    __cpuid_count(0x15, 0, eax, ebx, ecx, edx);
    if (eax == 0 || ebx == 0 || ecx == 0) return std::nullopt;
    return static_cast<double>(ecx) * ebx / eax / 1e6;
}

#else

std::optional<std::string> hypervisorSignature() { return std::nullopt; }
std::optional<bool> invariantTsc() { return std::nullopt; }
std::optional<double> tscMHz() { return std::nullopt; }

#endif

}  // namespace platform::cpuid
