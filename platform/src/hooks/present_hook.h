#pragma once
#include <platform_hooks.h>

namespace platform {

// Tells the installed present hook, if any, that a frame reached its window.
void NotifyPresent();

}  // namespace platform
