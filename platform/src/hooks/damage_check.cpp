#include "damage_check.h"
#include <atomic>
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

bool DamageCheckRequested() { return requested; }

void ReportDamageDifference(const std::string& text) {
    ++differences;
    OutputDebugStringA(text.c_str());
}

}  // namespace platform
