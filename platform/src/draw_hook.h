#pragma once
#include <cstdint>

namespace platform {

// Tells the installed draw hook, if any, about a draw the context just issued.
void NotifyDraw(uint32_t indexCount, uint32_t startIndex);

}  // namespace platform
