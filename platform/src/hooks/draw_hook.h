#pragma once
#include <platform_hooks.h>

namespace platform {

// Tells the installed draw hook, if any, about a draw call the context was given.
void NotifyDraw(const DrawRecord& record);

}  // namespace platform
