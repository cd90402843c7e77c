#include "draw_hook.h"

namespace platform {
namespace {

DrawHook& InstalledHook() {
    static DrawHook hook;
    return hook;
}

}  // namespace

void SetDrawHook(DrawHook hook) { InstalledHook() = std::move(hook); }

void NotifyDraw(const DrawRecord& record) {
    if (InstalledHook()) InstalledHook()(record);
}

}  // namespace platform
