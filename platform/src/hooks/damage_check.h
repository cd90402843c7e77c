#pragma once
#include <platform_hooks.h>
#include <string>

namespace platform {

// True while SetDamageCheck(true) is in force, or PLATFORM_DAMAGE_CHECK is set.
bool DamageCheckOn();
void CountCheckedFrame();
// Writes a difference the check found to the debugger output and counts it.
void ReportDamageDifference(const std::string& text);

}  // namespace platform
