#include "damage_check.h"
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <windows.h>

namespace platform {
namespace {

std::atomic<bool> requested{false};
std::atomic<uint64_t> differences{0};
std::atomic<uint64_t> checked{0};

}  // namespace

void SetDamageCheck(bool on) {
    requested = on;
    differences = 0;
    checked = 0;
}

uint64_t DamageCheckDifferences() { return differences; }

uint64_t DamageCheckedFrames() { return checked; }

void CountCheckedFrame() { ++checked; }

bool DamageCheckOn() {
    static const bool fromEnvironment = [] {
        const char* value = std::getenv("PLATFORM_DAMAGE_CHECK");
        return value && std::strcmp(value, "0") != 0;
    }();
    return fromEnvironment || requested;
}

void ReportDamageDifference(const std::string& text) {
    ++differences;
    OutputDebugStringA(text.c_str());
}

}  // namespace platform
